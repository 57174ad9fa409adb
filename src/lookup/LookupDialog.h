#pragma once

#include "db/Recordset.h"
#include "lookup/RecordsetModel.h"

#include <QDialog>

class BackgroundQuery;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class SharedConnection;

// A lookup dialog: a modal pick-list over one master table with a filter box. Filtering
// lookups query again at every change of the filter text ("name contains"); seeking lookups
// read their list once per opening and move to the first row whose name begins with the text.
// The chosen row's id and name are handed back as text in the outputs, which outlive the
// window; Cancel empties them, and the title-bar button leaves them as the opening did (empty).
class LookupDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { Filtering, Seeking };

    // Shows the dialog modally: owned by the window given, or by none (application modal).
    // Every opening starts afresh. Returns when the dialog's window has closed.
    void showModal(QWidget *owner);
    // Opens the dialog without waiting (for tests that drive it), starting afresh as above.
    void openForTest(QWidget *owner = nullptr);

    [[nodiscard]] const QString &idOutput() const { return m_id; }
    [[nodiscard]] const QString &nameOutput() const { return m_name; }

    [[nodiscard]] QLineEdit *filterBox() const { return m_filter; }
    [[nodiscard]] QTableView *grid() const { return m_grid; }
    [[nodiscard]] QPushButton *selectButton() const { return m_select; }
    [[nodiscard]] QPushButton *closeButton() const { return m_close; }
    [[nodiscard]] const Recordset &recordset() const { return m_recordset; }
    // The SQL text of the last fill of a filtering lookup, or the list query of a seeking one.
    [[nodiscard]] const QString &lastQuery() const { return m_lastQuery; }
    // A filtering lookup fills its grid in the background: true until the newest fill is
    // complete. waitForFill() completes it now.
    [[nodiscard]] bool filling() const;
    void waitForFill();
    // Fills whose query was interrupted because a newer filter text made them stale.
    [[nodiscard]] int staleFillsInterrupted() const;

protected:
    struct Design
    {
        QString objectName{}; // SchCustomers
        QString caption{};    // Search Customers
        Kind kind = Kind::Filtering;
        QString selectButton{}; // BtnSelect or CmdSelect
        QString closeButton{};  // BtnClose or CmdClose
        bool image = false;     // Image1
        std::vector<RecordsetModel::Column> columns{};
        QString idField{}; // read by Select
        QString nameField{};
        bool enterOnlyFromGrid = false;       // SchSectors
        bool emptyOutputsOnEveryFill = false; // SchProducts
        QString criterionPrefix{};            // seeking: "Townname like '"
    };

    LookupDialog(Design design, SharedConnection &connection);

    // Filtering lookups: the query for the filter text as typed (LookupQueries).
    virtual QString filteringQuery(const QString &filterText) const { return filterText; }
    // Seeking lookups: the list read once per opening (LookupQueries).
    virtual QString listQuery() const { return QString(); }

    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Load();
    void FillGrid();
    void showRows(std::shared_ptr<const ResultTable> rows, bool complete);
    void fillFailed(const QString &description, const QString &source);
    void filterChanged();
    void seek(const QString &text);
    void Select();
    void Close();
    bool keyboardHandling(QKeyEvent *key);
    void moveGridTo(int row);
    [[nodiscard]] bool isActive(const QWidget *control) const;
    void prepareToShow(QWidget *owner);
    void fitColumns();

    Design m_design;
    SharedConnection &m_connection;
    Recordset m_recordset;
    BackgroundQuery *m_reader;
    bool m_firstRowsShown = false; // of the fill running
    RecordsetModel *m_model;
    QLabel *m_label;
    QLineEdit *m_filter;
    QTableView *m_grid;
    QPushButton *m_select;
    QPushButton *m_close;
    QLabel *m_image = nullptr;
    QString m_id;
    QString m_name;
    QString m_lastQuery;
    bool m_loading = false;
    bool m_syncing = false;
};
