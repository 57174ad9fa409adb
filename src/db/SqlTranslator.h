#pragma once

#include "db/SqlDialect.h"

#include <QString>
#include <QStringList>

struct TranslatedSql
{
    QString text;
    // The outer select list's own column names, one entry per item: the alias or column name
    // in the letter case the query writes; an empty string for an expression without a name;
    // "*" for a wildcard. Empty when the statement has no plain outer select list.
    QStringList selectNames;
};

// Checks that a statement only reads (one SELECT, nothing that writes or runs code) and, for
// SQLite, rewrites SQL Server's dialect into a statement of the same meaning:
//   ISNULL(a, b)        -> IFNULL(a, b)
//   LEFT(text, n)       -> a registered function (or substr(text, 1, n) where none can be
//                          registered, as over ODBC)
//   A JOIN B JOIN C ON c1 ON c2 -> A JOIN (B JOIN C ON c1) ON c2, to any depth
//   N'text'             -> 'text'
//   1AND                -> 1 AND (SQL Server reads a number and a word there)
// Literals and quoted names pass through untouched. In either dialect the text that comes out
// is re-rendered from the checked tokens: comments become spaces, a closing ";" goes, and "{"
// outside a string literal is refused, so that a driver rewriting escape sequences cannot read
// a statement other than the one checked. Anything whose meaning would differ, or that the
// translation does not understand, throws Failure.
class SqlTranslator
{
public:
    enum class LeftFunction { Registered, Substr };

    [[nodiscard]] static TranslatedSql translate(const QString &sql, SqlDialect target,
                                                 LeftFunction left = LeftFunction::Registered);

    // Name of the SQL Server LEFT function as registered on embedded connections.
    [[nodiscard]] static QString registeredLeftName();
};
