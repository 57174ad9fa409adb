#include "criteria/PendingReportWindow.h"

#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PendingReportWindow::PendingReportWindow(const ReportEntry &entry, ReportContext &context)
    : ReportWindow(entry, context)
{
    auto *layout = new QVBoxLayout(this);
    auto *note =
        new QLabel(tr("The criteria of this report are not available in this version."), this);
    note->setWordWrap(true);
    note->setMinimumWidth(320);
    layout->addWidget(note);
    auto *close = new QPushButton(u"&Close"_s, this);
    close->setObjectName(u"CmdClose"_s);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(close, 0, Qt::AlignRight);
}
