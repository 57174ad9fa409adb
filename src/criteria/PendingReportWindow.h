#pragma once

#include "criteria/ReportWindow.h"

// The window of a report whose criteria this version does not offer yet: its caption, a
// word saying so, and Close.
class PendingReportWindow : public ReportWindow
{
    Q_OBJECT
public:
    PendingReportWindow(const ReportEntry &entry, ReportContext &context);

protected:
    void Load() override {}
};
