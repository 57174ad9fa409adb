#pragma once

#include <QString>

// A parameter field of a report: the value the report window gives it is printed wherever
// the layout shows that field; the user is never prompted.
class ParameterField
{
public:
    explicit ParameterField(QString name) : m_name(std::move(name)) {}

    [[nodiscard]] const QString &Name() const { return m_name; }
    void AddCurrentValue(const QString &value)
    {
        m_value = value;
        m_hasValue = true;
    }
    [[nodiscard]] const QString &currentValue() const { return m_value; }
    [[nodiscard]] bool hasCurrentValue() const { return m_hasValue; }

private:
    QString m_name;
    QString m_value;
    bool m_hasValue = false;
};
