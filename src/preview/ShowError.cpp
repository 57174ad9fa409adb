#include "preview/ShowError.h"

#include "db/Failure.h"
#include "preview/MessageBoxes.h"

using namespace Qt::StringLiterals;

void ShowError(const Failure &failure, QWidget *parent)
{
    MessageBoxes::show(parent, QMessageBox::Critical, failure.source(), failure.description());
}

void ShowError(const std::exception &error, QWidget *parent)
{
    if (const auto *failure = dynamic_cast<const Failure *>(&error)) {
        ShowError(*failure, parent);
        return;
    }
    MessageBoxes::show(parent, QMessageBox::Critical, Failure::componentSource(),
                       QString::fromLocal8Bit(error.what()));
}
