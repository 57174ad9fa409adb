#include "preview/MessageBoxes.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <QUrl>

namespace MessageBoxes {

namespace {

constexpr int kTitleBarButtons = 140; // pixels: window menu, close button and margins

} // namespace

int titleWidth(const QString &title)
{
    // Window managers set titles in a bold face of about the system font's size.
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + kTitleBarButtons;
}

void fitTitle(QMessageBox &box)
{
    const int wanted = titleWidth(box.windowTitle());
    // QMessageBox sizes itself to its text on showing; a spacer across its grid is what it
    // keeps to.
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                 const QString &text, QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    fitTitle(box);
    const int pressed = box.exec();
    return static_cast<QMessageBox::StandardButton>(pressed);
}

void tellWritten(QWidget *parent, const QString &title, const QString &path, const QString &what)
{
    QMessageBox box(QMessageBox::Information, title,
                    QObject::tr("%1 written to\n%2").arg(what, QDir::toNativeSeparators(path)),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ExportWritten"));
    QPushButton *open = box.addButton(QObject::tr("Open &Folder"), QMessageBox::ActionRole);
    open->setObjectName(QStringLiteral("OpenFolder"));
    box.setDefaultButton(QMessageBox::Ok);
    fitTitle(box);
    box.exec();
    if (box.clickedButton() == open)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace MessageBoxes
