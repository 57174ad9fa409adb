#pragma once

#include "lookup/LookupDialog.h"

// Towns, the whole list, moved to the first name that begins with the text typed.
class SchTowns : public LookupDialog
{
    Q_OBJECT
public:
    explicit SchTowns(SharedConnection &connection);
    [[nodiscard]] const QString &ParaOutTownID() const { return idOutput(); }
    [[nodiscard]] const QString &ParaOutTownName() const { return nameOutput(); }

protected:
    QString listQuery() const override;
};
