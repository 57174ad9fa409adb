#pragma once

#include <QString>

// The lookup dialogs' queries, free of widgets. A filtering lookup queries again at every
// change of its filter text: its query for that text, apostrophes doubled ("" for none). A
// seeking lookup reads its whole list once per opening.
namespace LookupQueries {

// Which products the product lookup lists, read at every fill: every product, bardana items,
// broker items, or (none set) the products that are not crops.
struct ProductFlags
{
    bool isBardana = false;
    bool both = false;
    bool isBroker = false;
};

[[nodiscard]] QString customers(const QString &filterText);
[[nodiscard]] QString products(const QString &filterText, ProductFlags flags);
[[nodiscard]] QString towns();
[[nodiscard]] QString sectors();
[[nodiscard]] QString companies();

} // namespace LookupQueries
