#pragma once

#include "lookup/LookupDialog.h"

// Supplier companies, moved to the first name that begins with the text typed.
class SchCompany : public LookupDialog
{
    Q_OBJECT
public:
    explicit SchCompany(SharedConnection &connection);
    [[nodiscard]] const QString &ParaOutCompanyID() const { return idOutput(); }
    [[nodiscard]] const QString &ParaOutCompanyName() const { return nameOutput(); }

protected:
    QString listQuery() const override;
};
