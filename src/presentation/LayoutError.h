#pragma once

#include "db/Failure.h"

// A layout file that cannot be used: which file, where in it (a JSON path such as
// $.bands[2].objects[0].column, or a line), and what is wrong.
class LayoutError : public Failure
{
public:
    LayoutError(const QString &file, const QString &where, const QString &message);

    [[nodiscard]] const QString &file() const { return m_file; }
    [[nodiscard]] const QString &where() const { return m_where; }
    [[nodiscard]] const QString &message() const { return m_message; }


private:
    QString m_file;
    QString m_where;
    QString m_message;
};
