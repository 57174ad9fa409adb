#pragma once

#include <QMainWindow>
#include <memory>

class Connection;
class QLabel;
class Reports;

// What stands for the host accounting system: its main window, with a Reports menu of the
// eleven reports (each calling its launch operation) and a File menu to open another company
// database, by file or ODBC, which is handed to the reports with InitializeClass. Menu items
// carry the windows' captions and access keys unique within their menu.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(Reports &reports, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Makes the connection the one the reports use (the previous one is closed afterwards).
    void useConnection(std::shared_ptr<Connection> connection);
    [[nodiscard]] Connection *connection() const { return m_connection.get(); }
    [[nodiscard]] QMenu *reportsMenu() const { return m_reportsMenu; }

    void openDatabaseFile(const QString &path);
    // A Lookups menu to try the five pick-lists on their own.
    void addLookupsMenu();
    [[nodiscard]] QAction *quitAction() const { return m_quit; }
    // The criteria and preview windows open now.
    [[nodiscard]] QList<QWidget *> openReportWindows() const;

protected:
    // Quit (Ctrl+Q) and the title bar's close: asks first while report windows are open.
    void closeEvent(QCloseEvent *event) override;
    void openOdbcConnection(const QString &connectionString);

private:
    void buildMenus();
    QWidget *buildStartPage();
    void updateTitle();

    Reports &m_reports;
    std::shared_ptr<Connection> m_connection;
    QMenu *m_reportsMenu = nullptr;
    QAction *m_quit = nullptr;
    QLabel *m_companyLabel = nullptr;
    QLabel *m_databaseLabel = nullptr;
};
