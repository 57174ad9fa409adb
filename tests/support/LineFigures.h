#pragma once

#include "db/ResultTable.h"

// An invoice or return line's figures worked out from its stored columns, as every report must
// work them out: gross is quantity times price; discount and sales tax are each a ratio (per
// cent) of the price plus a value, per unit; net is gross less discount plus tax.
struct LineFigures
{
    double gross = 0, discount = 0, tax = 0, net = 0;

    // From the columns Qty, Price, Discratio, Discvalue, stratio and stvalue, in that order
    // from `first`.
    static LineFigures of(const ResultTable &t, int first, int row)
    {
        const double qty = t.number(first, row), price = t.number(first + 1, row);
        const double discount = price * t.number(first + 2, row) / 100 + t.number(first + 3, row);
        const double tax = price * t.number(first + 4, row) / 100 + t.number(first + 5, row);
        return {qty * price, qty * discount, qty * tax, qty * (price - discount + tax)};
    }

    LineFigures &operator+=(const LineFigures &line)
    {
        gross += line.gross;
        discount += line.discount;
        tax += line.tax;
        net += line.net;
        return *this;
    }
};
