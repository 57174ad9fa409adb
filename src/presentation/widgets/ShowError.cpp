#include "presentation/widgets/ShowError.h"

#include "db/Failure.h"

#include <QMessageBox>

using namespace Qt::StringLiterals;

void ShowError(const Failure &failure, QWidget *parent)
{
    QMessageBox::critical(parent, failure.source(), failure.description());
}

void ShowError(const std::exception &error, QWidget *parent)
{
    if (const auto *failure = dynamic_cast<const Failure *>(&error)) {
        ShowError(*failure, parent);
        return;
    }
    QMessageBox::critical(parent, Failure::componentSource(), QString::fromLocal8Bit(error.what()));
}
