#pragma once

#include "presentation/ReportLayout.h"

#include <QString>

// One object of a report (an instance of a layout object): its name and kind, and what a
// report window may change after preparation: the text of a text object and the background
// and fill colours (OLE colour values; -1 for none).
class ReportObject
{
public:
    enum class Kind { Text, Field, Box, Other };

    explicit ReportObject(const LayoutObject &layout);

    [[nodiscard]] const QString &Name() const { return m_layout.name; }
    [[nodiscard]] Kind kind() const { return m_kind; }
    [[nodiscard]] const LayoutObject &layout() const { return m_layout; }

    [[nodiscard]] int BackColor() const { return m_backColor; }
    void SetBackColor(int colour) { m_backColor = colour; }
    [[nodiscard]] int FillColor() const { return m_fillColor; }
    void SetFillColor(int colour) { m_fillColor = colour; }

    // Text objects only: the text printed from now on. Throws Failure on other objects.
    void SetText(const QString &text);
    [[nodiscard]] const QString &text() const { return m_text; }

private:
    const LayoutObject &m_layout;
    Kind m_kind;
    QString m_text;
    int m_backColor;
    int m_fillColor;
};
