#pragma once

#include <QRectF>
#include <QString>
#include <map>
#include <utility>
#include <vector>

// The words of pages first to last (0-based) of a PDF, as pdftotext's bounding boxes give them
// (points from the page's top left), by page.
std::map<int, std::vector<std::pair<QRectF, QString>>> pdfWords(const QString &pdf, int first,
                                                                int last);
