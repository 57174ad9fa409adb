#pragma once

#include "presentation/ReportLayout.h"

#include <QString>
#include <QStringList>
#include <memory>

// Where report layouts come from: NAME.json in the user's layout folder when it is there
// (so a layout can be adjusted without rebuilding), otherwise the one built in.
class LayoutLibrary
{
public:
    // Parses the layout afresh; throws LayoutError when it is faulty, Failure when missing.
    [[nodiscard]] static std::shared_ptr<const ReportLayout> load(const QString &name);
    [[nodiscard]] static QStringList builtInNames();
    // $NVRPTSALES_LAYOUTS, or <data folder>/nvrptsales/layouts.
    [[nodiscard]] static QString userFolder();
};
