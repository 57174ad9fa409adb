#pragma once

#include <QString>
#include <QTextStream>

// The database used when none is named: the demo company database in the user's data folder
// ($XDG_DATA_HOME/nvrptsales/demo.sqlite), created on first use.
class DefaultDatabase
{
public:
    [[nodiscard]] static QString path();
    // Creates the demo database when it is missing (telling so on the log stream) and
    // returns its path. Throws Failure when it cannot be created.
    static QString ensure(QTextStream &log);
};
