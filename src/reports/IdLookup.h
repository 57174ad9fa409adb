#pragma once

#include "reports/CriteriaField.h"

#include <QString>

// The look-up of a typed id: its query and the column that holds the name shown. Numeric ids
// enter as the number at the start of the text; text ids enter between quotes, each
// apostrophe doubled so that a typed id is always one literal.
namespace IdLookup {
[[nodiscard]] QString query(const CriteriaField &field, const QString &id);
[[nodiscard]] QString nameField(LookupKind kind);
// What a search for such an id lists: "customers", "sectors" and so on.
[[nodiscard]] QString listed(LookupKind kind);
// The number at the start of the text as plain digits: "0012" gives 12, "12ab" 12, "abc" 0.
// Leading blanks are passed over.
[[nodiscard]] QString leadingNumber(const QString &text);
// A text as one SQL literal's inside: every "'" doubled.
[[nodiscard]] QString quoted(const QString &text);
} // namespace IdLookup
