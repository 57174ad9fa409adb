#pragma once

#include "lookup/LookupDialog.h"

// Products with their company, filtered by a part of the name. The input flags, read at every
// fill, choose the list: every product, bardana items, broker items, or (none set) the
// products that are not crops.
class SchProducts : public LookupDialog
{
    Q_OBJECT
public:
    explicit SchProducts(SharedConnection &connection);
    [[nodiscard]] const QString &ParaOutProductID() const { return idOutput(); }
    [[nodiscard]] const QString &ParaOutProductName() const { return nameOutput(); }

    bool ParaInIsBardana = false;
    bool ParaInBoth = false;
    bool ParaInIsBroker = false;

protected:
    QString filteringQuery(const QString &filterText) const override;
};
