#pragma once

#include <QSet>
#include <QStringList>

// Access keys (the underlined letter of a menu item) that are unique within a menu.
namespace AccessKeys {

// The texts with an access key marked in each: the first letter of a word not yet taken,
// else any letter not yet taken, else none. Ampersands in a text are kept as ampersands.
// taken: keys already used in the same menu, lower case.
[[nodiscard]] QStringList assign(const QStringList &texts, QSet<QChar> taken = {});

// The access key of a menu text ("Sales &Register" gives 'r'), lower case; a null QChar
// when it has none.
[[nodiscard]] QChar of(const QString &text);

} // namespace AccessKeys
