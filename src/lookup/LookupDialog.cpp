#include "lookup/LookupDialog.h"

#include "db/BackgroundQuery.h"
#include "db/Failure.h"
#include "db/SharedConnection.h"
#include "db/SqlText.h"
#include "preview/ShowError.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

// Rows shown as soon as they are read, before the rest of a long list: more than a grid shows.
constexpr int firstScreenful = 100;

} // namespace

LookupDialog::LookupDialog(Design design, SharedConnection &connection)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_design(std::move(design)), m_connection(connection),
      m_reader(new BackgroundQuery(firstScreenful, this))
{
    setObjectName(m_design.objectName);
    setWindowTitle(m_design.caption);

    m_label = new QLabel(u"Name:"_s, this);
    m_label->setObjectName(u"Label9"_s);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(u"TxtFilter"_s);
    m_label->setBuddy(m_filter);
    m_grid = new QTableView(this);
    m_grid->setObjectName(u"Grid"_s);
    m_model = new RecordsetModel(m_design.columns, this);
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setAlternatingRowColors(true);
    m_grid->setTabKeyNavigation(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_select = new QPushButton(u"Select"_s, this);
    m_select->setObjectName(m_design.selectButton);
    m_close = new QPushButton(u"Cancel"_s, this);
    m_close->setObjectName(m_design.closeButton);

    // What a screen reader announces: each control by its label and purpose.
    m_filter->setAccessibleName(u"Name"_s);
    m_filter->setAccessibleDescription(
        u"The start of the name sought; the list below keeps the entries that match it"_s);
    m_grid->setAccessibleName(QString(m_design.caption).remove(u"Search "_s)); // Customers
    m_grid->setAccessibleDescription(
        u"The entries to pick from; Select or a double click picks the current one"_s);
    m_select->setAccessibleDescription(u"Picks the current entry and closes the list"_s);
    m_close->setAccessibleDescription(u"Closes the list without picking an entry"_s);

    auto *top = new QHBoxLayout;
    if (m_design.image) {
        m_image = new QLabel(this);
        m_image->setObjectName(u"Image1"_s);
        m_image->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(32, 32));
        top->addWidget(m_image);
    }
    top->addWidget(m_label);
    top->addWidget(m_filter, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_select);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);

    // The design widths are twips (15 to a pixel); the grid keeps their proportions.
    int total = 0;
    for (const auto &c : m_design.columns)
        total += c.width;
    resize(std::max(480, total / 15 + 60), 440);

    // Owned by its slot alone: the window it is shown over is only its transient parent, so
    // that window's going never deletes it. Once closed it is modal over nothing.
    connect(this, &QDialog::finished, this, [this] {
        if (windowHandle())
            windowHandle()->setTransientParent(nullptr);
    });
    connect(m_filter, &QLineEdit::textChanged, this, [this] { filterChanged(); });
    connect(m_reader, &BackgroundQuery::firstRowsRead, this,
            [this](std::shared_ptr<const ResultTable> rows) { showRows(std::move(rows), false); });
    connect(m_reader, &BackgroundQuery::allRowsRead, this,
            [this](std::shared_ptr<const ResultTable> rows) { showRows(std::move(rows), true); });
    connect(m_reader, &BackgroundQuery::failed, this,
            [this](const QString &description, const QString &source) {
                fillFailed(description, source);
            });
    connect(m_select, &QPushButton::clicked, this, [this] { Select(); });
    connect(m_close, &QPushButton::clicked, this, [this] { Close(); });
    connect(m_grid, &QTableView::doubleClicked, this, [this] {
        if (m_model->recordCount() > 0)
            Select();
    });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                // The grid's current row and the result set's current record move together.
                if (!m_syncing && current.isValid() && m_recordset.isOpen())
                    m_recordset.move(current.row());
            });
    // Key preview: the dialog sees every key before the control that has the focus.
    for (QWidget *w : {static_cast<QWidget *>(m_filter), static_cast<QWidget *>(m_grid),
                       static_cast<QWidget *>(m_select), static_cast<QWidget *>(m_close)})
        w->installEventFilter(this);
}

void LookupDialog::prepareToShow(QWidget *owner)
{
    winId();
    QWindow *over = nullptr;
    if (owner && owner->window()) {
        owner->window()->winId();
        over = owner->window()->windowHandle();
    }
    windowHandle()->setTransientParent(over);
    // Modal to its window: with a transient parent Qt blocks that window; without one, all.
    setWindowModality(over ? Qt::WindowModal : Qt::ApplicationModal);
    Load();
    m_filter->setFocus();
}

void LookupDialog::showModal(QWidget *owner)
{
    prepareToShow(owner);
    exec();
}

void LookupDialog::openForTest(QWidget *owner)
{
    prepareToShow(owner);
    open();
}

void LookupDialog::Load()
{
    m_loading = true;
    m_filter->clear();
    m_loading = false;
    try {
        if (m_design.kind == Kind::Filtering) {
            m_recordset.close(); // nothing of the last opening shows while the list is read
            m_model->bind(&m_recordset);
            FillGrid();
        } else {
            m_lastQuery = listQuery();
            m_recordset.open(m_lastQuery, m_connection.get());
            m_model->bind(&m_recordset);
            moveGridTo(0);
        }
        m_id.clear();
        m_name.clear();
    } catch (const Failure &f) {
        m_model->bind(&m_recordset);
        ShowError(f, this);
    }
}

// Runs the filtering query again with the filter text as typed, apostrophes doubled, in the
// background: typing never waits for it, and a newer text makes the running fill stale.
void LookupDialog::FillGrid()
{
    m_lastQuery = filteringQuery(m_filter->text());
    m_firstRowsShown = false;
    m_reader->start(m_connection.get(), m_lastQuery);
}

bool LookupDialog::filling() const
{
    return m_reader->pending();
}

void LookupDialog::waitForFill()
{
    m_reader->wait();
}

int LookupDialog::staleFillsInterrupted() const
{
    return m_reader->interrupted();
}

void LookupDialog::showRows(std::shared_ptr<const ResultTable> rows, bool complete)
{
    // Once the first rows are shown the user may move in them; the rest keep that row.
    const int row = m_firstRowsShown ? std::max(0, m_grid->currentIndex().row()) : 0;
    m_recordset.open(std::move(rows));
    try {
        m_model->bind(&m_recordset);
    } catch (const Failure &f) {
        m_recordset.close();
        m_model->bind(&m_recordset);
        ShowError(f, this);
        return;
    }
    moveGridTo(std::min(row, m_model->recordCount() - 1));
    if (!m_firstRowsShown && m_design.emptyOutputsOnEveryFill) {
        m_id.clear();
        m_name.clear();
    }
    m_firstRowsShown = !complete;
}

void LookupDialog::fillFailed(const QString &description, const QString &source)
{
    m_recordset.close(); // an empty grid rather than stale rows
    m_model->bind(&m_recordset);
    ShowError(Failure(description, source), this);
}

void LookupDialog::filterChanged()
{
    if (m_loading)
        return;
    try {
        if (m_design.kind == Kind::Filtering)
            FillGrid();
        else
            seek(m_filter->text());
    } catch (const Failure &f) {
        ShowError(f, this);
    }
}

// Moves to the first record whose name begins with the text, searching from the first record;
// with none, the grid goes to its last row.
void LookupDialog::seek(const QString &text)
{
    if (!m_recordset.isOpen())
        return;
    if (text.trimmed().isEmpty()) {
        moveGridTo(0);
        return;
    }
    if (m_recordset.find(m_design.criterionPrefix + SqlText::literalInside(text) + u"%'"_s))
        moveGridTo(m_recordset.position());
    else
        moveGridTo(m_recordset.recordCount() - 1);
}

void LookupDialog::moveGridTo(int row)
{
    if (row < 0 || row >= m_model->recordCount())
        return;
    m_model->fetchUpTo(row);
    m_recordset.move(row);
    m_syncing = true;
    const QModelIndex index = m_model->index(row, 0);
    m_grid->setCurrentIndex(index);
    m_grid->selectRow(row);
    m_grid->scrollTo(index);
    m_syncing = false;
}

void LookupDialog::Select()
{
    waitForFill(); // the choice is made in the complete list
    try {
        if (m_model->recordCount() == 0)
            return; // nothing to take: the dialog stays open
        const QVariant id = m_recordset.field(m_design.idField);
        if (id.isNull())
            throw Failure(u"The selected row has no %1"_s.arg(m_design.idField),
                          Failure::recordsetSource());
        m_id = id.toString();
        const QVariant name = m_recordset.field(m_design.nameField);
        if (name.isNull())
            throw Failure(u"The selected row has no %1"_s.arg(m_design.nameField),
                          Failure::recordsetSource());
        m_name = name.toString();
        accept();
    } catch (const Failure &f) {
        ShowError(f, this);
    }
}

void LookupDialog::Close()
{
    m_id.clear();
    m_name.clear();
    reject();
}

void LookupDialog::fitColumns()
{
    int total = 0;
    for (const auto &c : m_design.columns)
        total += c.width;
    const int available = m_grid->viewport()->width();
    for (int i = 0; i + 1 < int(m_design.columns.size()); ++i)
        m_grid->setColumnWidth(i, available * m_design.columns[size_t(i)].width / total);
}

void LookupDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    fitColumns();
}

void LookupDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    fitColumns();
}

bool LookupDialog::isActive(const QWidget *control) const
{
    return focusWidget() == control; // the dialog's active control
}

bool LookupDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    bool swallowed = false;
    try {
        swallowed = keyboardHandling(key);
    } catch (const Failure &f) {
        ShowError(f, this);
        return true;
    }
    if (swallowed)
        return true;
    // The filter box's own key handling: Down arrow goes into the grid (the key goes on).
    if (watched == m_filter && key->key() == Qt::Key_Down && isActive(m_filter))
        m_grid->setFocus();
    return QDialog::eventFilter(watched, event);
}

// Returns true when the key is swallowed.
bool LookupDialog::keyboardHandling(QKeyEvent *key)
{
    if (isActive(m_select) || isActive(m_close))
        return false; // left to the button
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter) {
        if (!m_design.enterOnlyFromGrid || isActive(m_grid)) {
            Select();
            return true;
        }
        return true; // Enter elsewhere in a sectors lookup does nothing
    }
    const Qt::KeyboardModifiers held =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (!isActive(m_grid) || held != Qt::NoModifier)
        return false;

    const int code = key->key();
    QString append;
    if (code >= Qt::Key_A && code <= Qt::Key_Z)
        append = QChar(u'A' + (code - Qt::Key_A)); // letters as capitals
    else if (code >= Qt::Key_0 && code <= Qt::Key_9)
        append = QChar(u'0' + (code - Qt::Key_0)); // main keyboard and number pad alike
    else if (code == Qt::Key_Space)
        append = u" "_s;

    bool handled = true;
    if (code == Qt::Key_Backspace) {
        if (m_filter->text().isEmpty())
            return false;
        m_filter->setText(m_filter->text().chopped(1));
        return true;
    } else if (code == Qt::Key_Delete) {
        m_filter->clear(); // start the search again
    } else if (!append.isEmpty()) {
        m_filter->setText(m_filter->text() + append);
    } else {
        handled = false;
    }
    return handled;
}
