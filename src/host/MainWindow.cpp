#include "host/MainWindow.h"

#include "catalogue/Reports.h"
#include "reports/CompanyName.h"
#include "reports/ReportCatalog.h"
#include "criteria/ReportContext.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/Recordset.h"
#include "criteria/ReportWindow.h"
#include "host/AccessKeys.h"
#include "host/OdbcConnectionDialog.h"
#include "host/PeriodDefaults.h"
#include "lookup/LookupDialogs.h"
#include "lookup/SchCompany.h"
#include "lookup/SchCustomers.h"
#include "lookup/SchProducts.h"
#include "lookup/SchSectors.h"
#include "lookup/SchTowns.h"
#include "preview/MessageBoxes.h"
#include "preview/RptReportViewer.h"
#include "preview/ShowError.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QString companyNameOf(const Connection &connection)
{
    try {
        return CompanyName::read(connection);
    } catch (const Failure &) {
        // Not a company database we can read the name from: the title says so.
    }
    return QString();
}

} // namespace

MainWindow::MainWindow(Reports &reports, QWidget *parent) : QMainWindow(parent), m_reports(reports)
{
    setObjectName(u"NorvaleMainWindow"_s);
    buildMenus();
    setCentralWidget(buildStartPage());
    updateTitle();
    resize(760, 520);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(u"FileMenu"_s);
    file->addAction(tr("&Open Database File..."), QKeySequence::Open, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, tr("Open Company Database"), QString(),
            tr("SQLite databases (*.sqlite *.db *.sqlite3);;All files (*)"));
        if (!path.isEmpty())
            openDatabaseFile(path);
    });
    file->addAction(tr("Open O&DBC Connection..."), this, [this] {
        const QString connection = OdbcConnectionDialog::ask(this);
        if (!connection.isEmpty())
            openOdbcConnection(connection);
    });
    file->addSeparator();
    // Ctrl+Q on every desktop, also where the platform's own binding for Quit is none.
    m_quit = file->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this,
                             [this] { close(); });
    m_quit->setObjectName(u"Quit"_s);

    // The reports by their windows' captions, each with an access key of its own.
    m_reportsMenu = menuBar()->addMenu(tr("&Reports"));
    m_reportsMenu->setObjectName(u"ReportsMenu"_s);
    QStringList captions;
    for (const ReportEntry &entry : ReportCatalog::entries())
        captions.append(entry.caption);
    const QStringList texts = AccessKeys::assign(captions);
    ReportGroup group = ReportCatalog::entries().front().group;
    m_reportsMenu->addSection(ReportCatalog::groupTitle(group));
    int i = 0;
    for (const ReportEntry &entry : ReportCatalog::entries()) {
        if (entry.group != group) {
            group = entry.group;
            m_reportsMenu->addSection(ReportCatalog::groupTitle(group));
        }
        QAction *action = m_reportsMenu->addAction(texts[i++]);
        action->setObjectName(entry.launchOperation);
        const ReportKind kind = entry.kind;
        connect(action, &QAction::triggered, this, [this, kind] { m_reports.launch(kind); });
    }
}

QWidget *MainWindow::buildStartPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    m_companyLabel = new QLabel(page);
    QFont big = m_companyLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    m_companyLabel->setFont(big);
    layout->addWidget(m_companyLabel);
    m_databaseLabel = new QLabel(page);
    m_databaseLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_databaseLabel);

    auto *grid = new QGridLayout;
    int column = 0;
    ReportGroup group = ReportCatalog::entries().front().group;
    QVBoxLayout *box = nullptr;
    for (const ReportEntry &entry : ReportCatalog::entries()) {
        if (!box || entry.group != group) {
            group = entry.group;
            auto *frame = new QGroupBox(ReportCatalog::groupTitle(group), page);
            box = new QVBoxLayout(frame);
            grid->addWidget(frame, column / 2, column % 2);
            ++column;
        }
        auto *button = new QPushButton(QString(entry.caption), page);
        const ReportKind kind = entry.kind;
        connect(button, &QPushButton::clicked, this, [this, kind] { m_reports.launch(kind); });
        box->addWidget(button);
    }
    layout->addLayout(grid);
    layout->addStretch(1);
    return page;
}

void MainWindow::addLookupsMenu()
{
    // A menu of its own, named by the lookups' own captions.
    QMenu *lookups = menuBar()->addMenu(tr("&Lookups"));
    lookups->setObjectName(u"LookupsMenu"_s);
    using DialogOf = LookupDialog &(*)(LookupDialogs &);
    const std::vector<DialogOf> dialogs{
        [](LookupDialogs &l) -> LookupDialog & { return l.customers(); },
        [](LookupDialogs &l) -> LookupDialog & { return l.towns(); },
        [](LookupDialogs &l) -> LookupDialog & { return l.products(); },
        [](LookupDialogs &l) -> LookupDialog & { return l.sectors(); },
        [](LookupDialogs &l) -> LookupDialog & { return l.companies(); }};
    QStringList captions;
    for (DialogOf dialogOf : dialogs)
        captions.append(dialogOf(m_reports.context().lookups()).windowTitle());
    const QStringList texts = AccessKeys::assign(captions);
    for (size_t i = 0; i < dialogs.size(); ++i) {
        const DialogOf dialogOf = dialogs[i];
        lookups->addAction(texts[int(i)], this, [this, dialogOf] {
            LookupDialog &dialog = dialogOf(m_reports.context().lookups());
            dialog.showModal(this);
            MessageBoxes::show(
                this, QMessageBox::Information, dialog.windowTitle(),
                dialog.idOutput().isEmpty()
                    ? tr("Nothing was chosen.")
                    : tr("Id: %1\nName: %2").arg(dialog.idOutput(), dialog.nameOutput()));
        });
    }
}

QList<QWidget *> MainWindow::openReportWindows() const
{
    QList<QWidget *> open;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible() &&
            (qobject_cast<ReportWindow *>(w) || qobject_cast<RptReportViewer *>(w)))
            open.append(w);
    }
    return open;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Quitting closes every report and preview window with it: a user who meant to close only
    // the window in front (Ctrl+Q there) is asked first.
    const QList<QWidget *> open = openReportWindows();
    if (!open.isEmpty()) {
        QStringList names;
        for (QWidget *w : open)
            names.append(w->windowTitle());
        const QString text =
            (open.size() == 1 ? tr("A report window is open:") : tr("%1 report windows are open:").arg(open.size())) +
            u"\n\n"_s + names.join(u'\n') + u"\n\n"_s + tr("Quit and close them?");
        if (MessageBoxes::show(this, QMessageBox::Question, windowTitle(), text,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) != QMessageBox::Yes) {
            event->ignore();
            return;
        }
        for (QWidget *w : open)
            w->close();
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::useConnection(std::unique_ptr<Connection> connection)
{
    // The reports switch first; the old connection goes only then.
    if (connection)
        m_reports.InitializeClass(*connection, PeriodDefaults::of(*connection));
    m_connection.swap(connection);
    updateTitle();
}

void MainWindow::openDatabaseFile(const QString &path)
{
    try {
        useConnection(Connection::openSqlite(path));
    } catch (const Failure &f) {
        ShowError(f, this);
    }
}

void MainWindow::openOdbcConnection(const QString &connectionString)
{
    try {
        useConnection(Connection::openOdbc(connectionString));
    } catch (const Failure &f) {
        ShowError(f, this);
    }
}

void MainWindow::updateTitle()
{
    const QString company = m_connection ? companyNameOf(*m_connection) : QString();
    setWindowTitle(company.isEmpty() ? tr("Norvale Sales Reports")
                                     : company + tr(" \u2014 Sales Reports"));
    m_companyLabel->setText(company.isEmpty() ? tr("No company database open") : company);
    m_databaseLabel->setText(m_connection ? tr("Database: %1").arg(m_connection->description())
                                          : tr("Open a company database from the File menu."));
    // A warning about the connection (a login that can write) stays in view until the next one.
    statusBar()->showMessage(!m_connection                       ? QString()
                             : m_connection->warning().isEmpty() ? m_connection->description()
                                                                 : m_connection->warning());
}
