#pragma once

#include "criteria/IdBox.h"
#include "criteria/ReportWindow.h"
#include "db/Recordset.h"

#include <memory>
#include <vector>

class Connection;
class LookupDialog;
class QDateEdit;
class QGridLayout;
class QLineEdit;
class QPushButton;
class Report;

// The shared way of working of the report windows: date pickers, id boxes with their name
// boxes and search buttons, number boxes, Preview, Print and Close. Keys are seen by the
// window first: Enter moves on to the next control, Ctrl+Q closes, F1 in an id box opens its
// lookup. Leaving an id box looks its id up and, for an id that does not exist, opens the
// lookup dialog; the focus stays in the box until it holds an existing id or nothing.
// BuildReport runs one query into the window's result set and prepares the report object.
class CriteriaWindow : public ReportWindow
{
    Q_OBJECT
public:
    CriteriaWindow(const ReportEntry &entry, ReportContext &context);
    ~CriteriaWindow() override;

    // True when the report object is ready in the preview window slot.
    bool BuildReport();
    // Looks the box's id up (mode 1), or first lets the user pick one (modes 2 and 3). True
    // when the id was found and its name shown.
    bool lookup(IdBox &box, int mode);

    // The controls, for the host's tests and for keyboard use.
    [[nodiscard]] QDateEdit *fromDate() const { return m_fromDate; }
    [[nodiscard]] QDateEdit *toDate() const { return m_toDate; }
    [[nodiscard]] IdBox *idBox(const QString &idName) const;
    [[nodiscard]] QLineEdit *numberBox(const QString &name) const;
    [[nodiscard]] QPushButton *previewButton() const { return m_preview; }
    [[nodiscard]] QPushButton *printButton() const { return m_print; }
    [[nodiscard]] QPushButton *closeButton() const { return m_close; }
    [[nodiscard]] const Recordset &resultSet() const { return m_resultSet; }
    [[nodiscard]] const QString &sqlText() const { return m_sql; }

protected:
    // --- building the window (report windows, in their constructors) ----------------------
    void addDateRow(const QString &fromName, const QString &toName);
    IdBox *addIdBox(IdBoxSpec spec);
    // Number boxes (invoice numbers): digits only, unless the report lets any text in.
    void addNumberRow(const QString &fromName, const QString &fromLabel, const QString &toName,
                      const QString &toLabel, int maxLength, bool digitsOnly);
    void addCommandButtons(const QString &previewCaption, const QString &printCaption,
                           const QString &closeCaption);
    void setDiscardEnter(bool discard) { m_discardEnter = discard; }

    // --- the report's part of the build ----------------------------------------------------
    // The query of the report, from the criteria as they stand.
    virtual QString composeQuery() = 0;
    // A new report object prepared from the window's (open, not empty) result set.
    virtual std::unique_ptr<Report> prepareReport() = 0;

    void Load() override;
    [[nodiscard]] const Connection &connection() const;
    [[nodiscard]] Recordset &resultSetForBuild() { return m_resultSet; }

    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void Preview();
    void Print();
    bool keyPreview(QKeyEvent *key);
    // Algorithms of leaving an id box; false keeps the focus in it.
    bool leaveIdBox();
    [[nodiscard]] IdBox *focusedIdBox() const;
    LookupDialog &dialogFor(LookupKind kind);
    void pressF1(IdBox &box);

    QGridLayout *m_grid;
    int m_row = 0;
    QDateEdit *m_fromDate = nullptr;
    QDateEdit *m_toDate = nullptr;
    std::vector<IdBox *> m_idBoxes;
    std::vector<QLineEdit *> m_numberBoxes;
    QPushButton *m_preview = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_close = nullptr;
    bool m_discardEnter = false;
    bool m_validating = false;
    bool m_filtersInstalled = false;
    Recordset m_resultSet;
    QString m_sql;
};
