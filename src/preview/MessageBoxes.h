#pragma once

#include <QMessageBox>

// Message boxes as the component shows them: never narrower than their title, which the
// title bar then shows whole ("Sale Returns Register Invoice Wise" over "No record exists.").
namespace MessageBoxes {

// Shows a modal message box and returns the button pressed.
QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                 const QString &text,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                 QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// Says that an export wrote a file ("PDF of 3 pages written to ..."), offering to open its
// folder.
void tellWritten(QWidget *parent, const QString &title, const QString &path, const QString &what);

// Gives a box the width its title needs, with room for the title bar's buttons.
void fitTitle(QMessageBox &box);

// Pixels a window needs to show this title whole in its title bar.
[[nodiscard]] int titleWidth(const QString &title);

} // namespace MessageBoxes
