#pragma once

#include "lookup/LookupDialog.h"

// Sectors with their town (only sectors whose town exists), moved to the first name that
// begins with the text typed. Enter selects only from the grid.
class SchSectors : public LookupDialog
{
    Q_OBJECT
public:
    explicit SchSectors(SharedConnection &connection);
    [[nodiscard]] const QString &ParaOutSectorID() const { return idOutput(); }
    [[nodiscard]] const QString &ParaOutSectorName() const { return nameOutput(); }

protected:
    QString listQuery() const override;
};
