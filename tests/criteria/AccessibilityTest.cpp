#include "CriteriaWindowTest.h"
#include "criteria/CriteriaWindow.h"
#include "preview/PreviewSlot.h"
#include "preview/RptReportViewer.h"
#include "reports/ReportCatalog.h"
#include "reports/ReportDefinition.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QWidget>
#include <set>

using namespace Qt::StringLiterals;

namespace {

// What a screen reader announces as something to work: boxes, buttons and lists.
bool isControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::ComboBox:
    case QAccessible::PushButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
        return true;
    default:
        return false;
    }
}

// Every visible control under the interface that a screen reader could not name, or whose
// purpose it could not tell: "class objectName".
void collectNameless(QAccessibleInterface *node, QStringList &found)
{
    if (!node || node->state().invisible)
        return;
    if (isControl(node->role()) && (node->text(QAccessible::Name).trimmed().isEmpty() ||
                                    node->text(QAccessible::Description).trimmed().isEmpty())) {
        QObject *object = node->object();
        found.append(object ? QString::fromLatin1(object->metaObject()->className()) + u' ' +
                                  object->objectName()
                            : u"role %1"_s.arg(int(node->role())));
    }
    for (int i = 0; i < node->childCount(); ++i)
        collectNameless(node->child(i), found);
}

QStringList nameless(QWidget *window)
{
    QStringList found;
    collectNameless(QAccessible::queryAccessibleInterface(window), found);
    return found;
}

} // namespace

class Accessibility : public CriteriaWindowTest
{
};

// Every control of every criteria window, of each lookup dialog and of the preview has a name
// and a description a screen reader can announce.
TEST_F(Accessibility, EveryControlSaysWhatItIsAndWhatItIsFor)
{
    ModalWatcher watcher;
    std::set<LookupKind> looked;
    for (const ReportEntry &entry : ReportCatalog::entries()) {
        SCOPED_TRACE(entry.caption.toStdString());
        CriteriaWindow *criteria = open(entry.kind);
        ASSERT_NE(criteria, nullptr);
        EXPECT_EQ(nameless(criteria), QStringList());
        for (const CriteriaField &field : criteria->definition().fields()) {
            IdBox *idBox = field.isIdBox() ? criteria->idBox(field.control) : nullptr;
            if (!idBox || !looked.insert(field.lookup).second)
                continue;
            bool seen = false;
            watcher.then([&](QWidget *dialog) {
                QApplication::processEvents();
                EXPECT_EQ(nameless(dialog), QStringList()) << field.control.toStdString();
                seen = true;
                ModalWatcher::close(dialog);
            });
            idBox->searchButton()->click();
            EXPECT_TRUE(seen) << field.control.toStdString();
        }
        criteria->closeButton()->click();
    }
    EXPECT_EQ(looked.size(), 5u);

    open(ReportKind::SalesRegister);
    setPeriod(QDate(2026, 6, 1), QDate(2026, 6, 30));
    window->previewButton()->click();
    RptReportViewer *viewer = reports.preview().current();
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(viewer->isVisible());
    EXPECT_EQ(nameless(viewer), QStringList());
    viewer->close();
}
