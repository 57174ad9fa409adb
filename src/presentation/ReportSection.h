#pragma once

#include <QString>
#include <vector>

class ReportObject;

// A section of a report (one band of its layout) and the objects in it, in layout order.
class ReportSection
{
public:
    ReportSection(QString name, std::vector<ReportObject *> objects)
        : m_name(std::move(name)), m_objects(std::move(objects))
    {
    }
    [[nodiscard]] const QString &Name() const { return m_name; }
    [[nodiscard]] const std::vector<ReportObject *> &ReportObjects() const { return m_objects; }

private:
    QString m_name;
    std::vector<ReportObject *> m_objects;
};
