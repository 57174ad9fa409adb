#pragma once

#include <QDate>
#include <QHash>
#include <QString>

// What a report is built from: the period, and each box's text as typed (untrimmed) with the
// name shown beside it, by the box's key (customer, sector, invoice-from ...).
struct ReportCriteria
{
    QDate from;
    QDate to;
    QHash<QString, QString> texts;
    QHash<QString, QString> names;

    [[nodiscard]] QString text(const QString &key) const { return texts.value(key); }
    [[nodiscard]] QString name(const QString &key) const { return names.value(key); }
    // Whether the box holds something besides blanks: the test every report makes before a
    // clause enters its query.
    [[nodiscard]] bool given(const QString &key) const { return !text(key).trimmed().isEmpty(); }
};
