#include "SearchDialog.h"
#include "SearchModel.h"
#include "widgets/AccessibleNames.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

SearchDialog::SearchDialog(const SearchRequest &request, SearchSource &source, QWidget *parent)
    : QDialog(parent), m_request(request)
{
    setWindowTitle(request.title);
    m_model = new SearchModel(source, request.multiple, request.ticked, this);

    auto *lay = new QVBoxLayout(this);
    auto *filterRow = new QHBoxLayout;
    auto *filterLabel = new QLabel(QStringLiteral("&Filtrar:"), this);
    m_filter = new QLineEdit(this);
    m_filter->setClearButtonEnabled(true);
    filterLabel->setBuddy(m_filter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    lay->addLayout(filterRow);
    const bool withFilter = request.multiple || request.filterBox;
    filterLabel->setVisible(withFilter);
    m_filter->setVisible(withFilter);

    makeTable();
    lay->addWidget(m_table, 1);

    m_status = new QLabel(this);
    lay->addWidget(m_status);

    QDialogButtonBox *buttons = makeButtons();
    lay->addWidget(buttons);

    m_filterTimer = new QTimer(this);
    m_filterTimer->setSingleShot(true);
    m_filterTimer->setInterval(kFilterDelayMs);
    connect(m_filterTimer, &QTimer::timeout, this, [this] { filterChanged(m_filter->text()); });
    const bool delayed = source.filtersItself();
    connect(m_filter, &QLineEdit::textChanged, this, [this, delayed](const QString &text) {
        if (delayed)
            m_filterTimer->start();
        else
            filterChanged(text);
    });
    connect(m_table, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &i) {
        if (m_request.multiple)
            m_model->toggle(i.row());
        else
            accept();
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] { updateStatus(); });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] { updateStatus(); });
    connect(m_model, &SearchModel::readFailed, this, [this] { updateStatus(); });
    connect(m_model, &SearchModel::countChanged, this, [this] { updateStatus(); });

    m_filter->installEventFilter(this);
    m_table->installEventFilter(this);
    resize(560, 420);
    m_table->setAccessibleName(request.title);
    AccessibleNames::describe(this);
    selectRow(0);
    updateStatus();
    m_table->setFocus();
}

void SearchDialog::makeTable()
{
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    for (int c = 0; c + 1 < m_model->columnCount(); ++c)
        m_table->setColumnWidth(c, 120);
}

QDialogButtonBox *SearchDialog::makeButtons()
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    buttons->button(QDialogButtonBox::Ok)->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Cancel)->setAutoDefault(false);
    for (QAbstractButton *b : buttons->buttons())
        b->setFocusPolicy(Qt::NoFocus);
    connect(buttons, &QDialogButtonBox::accepted, this, &SearchDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SearchDialog::reject);
    return buttons;
}

bool SearchDialog::hasRows() const { return m_model->rowCount() > 0; }

int SearchDialog::currentRow() const
{
    const QModelIndex i = m_table->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void SearchDialog::selectRow(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        m_table->clearSelection();
        return;
    }
    m_table->setCurrentIndex(m_model->index(row, 0));
    m_table->selectRow(row);
}

void SearchDialog::applyFilterNow()
{
    if (m_filterTimer->isActive()) {
        m_filterTimer->stop();
        filterChanged(m_filter->text());
    }
}

void SearchDialog::filterChanged(const QString &text)
{
    m_model->setFilter(text);
    selectRow(0);
    updateStatus();
}

QString SearchDialog::countText(qint64 shown, qint64 total, qint64 soFar, bool atEnd)
{
    const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    if (shown == 0 && (atEnd || total == 0))
        return QStringLiteral("Nenhum registro corresponde ao filtro.");
    if (total < 0)
        return QStringLiteral("%1+ registros").arg(br.toString(qMax(shown, soFar)));
    return total == 1 ? QStringLiteral("1 registro") : QStringLiteral("%1 registros").arg(br.toString(total));
}

QString SearchDialog::statusText() const { return m_status->text(); }

void SearchDialog::updateStatus()
{
    QString s = countText(m_model->rowCount(), m_model->total(), m_model->countedSoFar(), m_model->sourceAtEnd());
    if (m_request.multiple)
        s += QStringLiteral("  |  marcados: %1  |  Espaço marca ou desmarca").arg(m_model->tickedCount());
    if (!m_model->readError().isEmpty())
        s = m_model->readErrorMessage();
    m_status->setText(s);
}

void SearchDialog::accept()
{
    applyFilterNow();
    const int row = currentRow();
    SearchChoice c;
    if (m_request.multiple) {
        c.keys = m_model->tickedKeys();
        // A list that could not be read whole cannot tell which ticks hold.
        if (!m_model->readError().isEmpty())
            return;
        if (c.keys.isEmpty()) {
            if (row < 0)
                return;
            c.row = m_model->sourceRow(row);
            c.keys << m_model->key(c.row);
        }
    } else {
        if (row < 0)
            return;
        c.row = m_model->sourceRow(row);
        c.keys << m_model->key(c.row);
    }
    m_choice = c;
    QDialog::accept();
}

bool SearchDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *ke = static_cast<QKeyEvent *>(event);
    const int key = ke->key();
    const bool plain = !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier));

    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        accept();
        return true;
    }
    if (key == Qt::Key_Escape) {
        reject();
        return true;
    }
    switch (key) {
    case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown:
    case Qt::Key_Home: case Qt::Key_End:
        applyFilterNow();
        break;
    case Qt::Key_Space:
        if (watched == m_table)
            applyFilterNow();
        break;
    default:
        break;
    }
    if (watched == m_filter) {
        switch (key) {
        case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown: {
            QKeyEvent copy(ke->type(), key, ke->modifiers(), ke->text());
            QCoreApplication::sendEvent(m_table, &copy);
            return true;
        }
        default:
            return false;
        }
    }
    if (watched == m_table) {
        if (key == Qt::Key_Space && m_request.multiple) {
            m_model->toggle(currentRow());
            return true;
        }
        if (m_filter->isVisible() && plain) {
            if (key == Qt::Key_Backspace) {
                m_filter->backspace();
                return true;
            }
            const QString t = ke->text();
            if (!t.isEmpty() && t.at(0).isPrint()) {
                m_filter->insert(t);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
