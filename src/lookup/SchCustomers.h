#pragma once

#include "lookup/LookupDialog.h"

// Customers, filtered by a part of the name.
class SchCustomers : public LookupDialog
{
    Q_OBJECT
public:
    explicit SchCustomers(SharedConnection &connection);
    [[nodiscard]] const QString &ParaOutCustomerID() const { return idOutput(); }
    [[nodiscard]] const QString &ParaOutCustomerName() const { return nameOutput(); }

protected:
    QString filteringQuery(const QString &filterText) const override;
};
