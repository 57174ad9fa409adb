#pragma once

#include "db/SqlTokenizer.h"

#include <QStringList>
#include <vector>

// The column names a query gives its result, read from its outer select list, so that a
// result column is named as the query writes it ("SalesBody.ProductID" is ProductID, "x as
// NetValue" is NetValue) rather than as an engine renames or re-spells it.
class SelectListNames
{
public:
    // One entry per item of the outer select list: its name, "" for an unnamed expression,
    // "*" for a wildcard. Empty when the statement has no plain outer select list.
    [[nodiscard]] static QStringList extract(const QString &sql,
                                             const std::vector<SqlToken> &tokens);

    // The final column names: the query's own where it gives one, the engine's elsewhere
    // (wildcards, unnamed expressions, or a list that does not line up with the columns).
    [[nodiscard]] static QStringList resolve(const QStringList &queryNames,
                                             const QStringList &engineNames);
};
