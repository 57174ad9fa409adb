#pragma once

#include "criteria/IdBox.h"
#include "criteria/ReportWindow.h"
#include "db/Recordset.h"
#include "reports/ReportDefinition.h"

#include <memory>
#include <vector>

class Connection;
class DatePicker;
class LookupDialog;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class Report;
class RptReportViewer;

// A report's criteria window, declared by its report's definition: date pickers, id boxes
// with their name boxes and search buttons, range boxes, Preview, Print and Close. Keys are
// seen by the window first: Enter moves on to the next control, Ctrl+Q closes, F1 in an id box
// opens its lookup. Leaving an id box looks its id up and, for an id that does not exist,
// opens the lookup dialog; the focus stays in the box until it holds an existing id or nothing.
// BuildReport runs the report's query into the window's result set and, for reports built
// whole, prepares the report object; the others prepare it in FillReport.
class CriteriaWindow : public ReportWindow
{
    Q_OBJECT
public:
    CriteriaWindow(const ReportDefinition &definition, ReportContext &context);
    ~CriteriaWindow() override;

    [[nodiscard]] const ReportDefinition &definition() const { return m_definition; }

    // True when the report is ready: in the preview window slot for reports built whole, in
    // the window's result set for the others.
    bool BuildReport();
    // Reports built in two steps: a new report object from the result set into the preview
    // window the slot holds (a new one when the one held is open elsewhere).
    bool FillReport();
    // Looks the box's id up (mode 1), or first lets the user pick one (modes 2 and 3). True
    // when the id was found and its name shown.
    bool lookup(IdBox &box, int mode);

    // The criteria as they stand: the period, each box's text and name.
    [[nodiscard]] ReportCriteria criteria() const;

    // The controls, for the host's tests and for keyboard use.
    [[nodiscard]] QDateEdit *fromDate() const;
    [[nodiscard]] QDateEdit *toDate() const;
    [[nodiscard]] IdBox *idBox(const QString &control) const;
    [[nodiscard]] QLineEdit *numberBox(const QString &control) const;
    [[nodiscard]] QPushButton *previewButton() const { return m_preview; }
    [[nodiscard]] QPushButton *printButton() const { return m_print; }
    [[nodiscard]] QPushButton *closeButton() const { return m_close; }
    // The window's status line: where the last Print sent its pages.
    [[nodiscard]] QLabel *statusLine() const { return m_statusLine; }
    [[nodiscard]] const Recordset &resultSet() const { return m_resultSet; }
    [[nodiscard]] const QString &sqlText() const { return m_sql; }

protected:
    void Load() override;
    [[nodiscard]] const Connection &connection() const;

    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // An id box of the grid, its search button wired to the look-up.
    void addIdBox(IdBox *box);
    void addCommandButtons();

    void Preview();
    void Print();
    // The report's refusal for this action, shown as the window shows it; true when refused.
    bool refused(ReportAction action);
    void showMessage(const Refusal &message);
    void printReport();
    bool keyPreview(QKeyEvent *key);
    // Leaving an id box; false keeps the focus in it.
    bool leaveIdBox();
    [[nodiscard]] IdBox *focusedIdBox() const;
    [[nodiscard]] QWidget *control(const QString &name) const;
    LookupDialog &dialogFor(LookupKind kind);
    void pressF1(IdBox &box);
    // Runs a window operation, reporting anything that escapes it through ShowError.
    template<typename Operation> void guarded(Operation operation);

    const ReportDefinition &m_definition;
    DatePicker *m_fromDate = nullptr;
    DatePicker *m_toDate = nullptr;
    std::vector<IdBox *> m_idBoxes;
    std::vector<std::pair<QString, QLineEdit *>> m_rangeBoxes; // by criterion key
    std::vector<std::pair<QString, QComboBox *>> m_choices;    // by criterion key
    QPushButton *m_preview = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_close = nullptr;
    QLabel *m_statusLine = nullptr;
    bool m_validating = false;
    bool m_filtersInstalled = false;
    Recordset m_resultSet;
    QString m_sql;
};
