#pragma once

#include <QString>
#include <exception>
#include <string>

// A run-time failure: what went wrong (description) and who raised it (source: the database
// driver, or the part of the component). ShowError shows exactly these two.
class Failure : public std::exception
{
public:
    Failure(QString description, QString source);

    [[nodiscard]] const QString &description() const noexcept { return m_description; }
    [[nodiscard]] const QString &source() const noexcept { return m_source; }
    const char *what() const noexcept override { return m_what.c_str(); }

    // Sources used by this component's own parts.
    static QString componentSource();   // "NVRptSales"
    static QString recordsetSource();   // "NVRptSales.Recordset"
    static QString translationSource(); // "NVRptSales.SqlTranslator"
    static QString engineSource();      // "NVRptSales.ReportEngine"
    static QString layoutSource();      // "NVRptSales.Layouts"
    static QString exportSource();      // "NVRptSales.Export"
    static QString printingSource();    // "NVRptSales.Printing"

private:
    QString m_description;
    QString m_source;
    std::string m_what;
};
