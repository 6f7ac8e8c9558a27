#include "RecentRunsWindow.h"
#include "core/HostUi.h"
#include "data/TextFold.h"
#include "report/commands/ReportCommandTable.h"
#include "report/commands/TfrmDadosGerRel.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The outcome right after the date: it is what a person looks for first.
const QStringList kColumns = {QStringLiteral("Quando"), QStringLiteral("Situação"), QStringLiteral("Relatório"),
                              QStringLiteral("Comando"), QStringLiteral("Filial"), QStringLiteral("Período"),
                              QStringLiteral("Linhas"), QStringLiteral("Duração"), QStringLiteral("Usuário"),
                              QStringLiteral("E-mail para")};

QString commandCaption(const QString &scriptName)
{
    const ReportCommand *c = ReportCommandTable::byScriptName(scriptName);
    return c ? c->plainCaption() : scriptName;
}

QString period(const QVariantMap &choices)
{
    const QDate from = QDate::fromString(choices.value(QStringLiteral("dataInicial")).toString(), Qt::ISODate);
    const QDate to = QDate::fromString(choices.value(QStringLiteral("dataFinal")).toString(), Qt::ISODate);
    if (!from.isValid() || !to.isValid())
        return QString();
    return QStringLiteral("%1 a %2").arg(from.toString(QStringLiteral("dd/MM/yyyy")), to.toString(QStringLiteral("dd/MM/yyyy")));
}

QString outcome(const RunRecord &r)
{
    const QString text = RunRecord::outcomeText(r.outcome);
    return r.reason.isEmpty() ? text : QStringLiteral("%1: %2").arg(text, r.reason);
}

QStringList cellsOf(const RunRecord &r)
{
    const QString duration = r.outcome == RunRecord::Outcome::Running || r.outcome == RunRecord::Outcome::Interrupted
                                 ? QString()
                                 : QStringLiteral("%1 s").arg(QLocale().toString(r.durationMs / 1000.0, 'f', 1));
    return {r.started.toString(QStringLiteral("dd/MM/yyyy HH:mm")), outcome(r), r.setName.isEmpty() ? r.report
                                                                                          : QStringLiteral("%1 (%2)").arg(r.report, r.setName),
            commandCaption(r.command), r.choices.value(QStringLiteral("filial")).toString(), period(r.choices),
            r.rows < 0 ? QString() : QLocale().toString(r.rows), duration, r.user,
            r.mailedTo.join(QStringLiteral(", "))};
}

} // namespace

RecentRunsWindow::RecentRunsWindow(RunHistory &history, ScreenFor screenFor, QWidget *parent)
    : QDialog(parent), m_history(history), m_screenFor(std::move(screenFor)), m_filter(new QLineEdit(this)),
      m_table(new QTableWidget(this)), m_files(new QListWidget(this)),
      m_openFile(new QPushButton(QStringLiteral("&Abrir arquivo"), this)),
      m_openFolder(new QPushButton(QStringLiteral("Abrir &pasta"), this)),
      m_runAgain(new QPushButton(QStringLiteral("&Executar novamente"), this))
{
    setObjectName(QStringLiteral("frmRelatoriosRecentes"));
    setWindowTitle(QStringLiteral("Relatórios recentes"));
    m_filter->setObjectName(QStringLiteral("edtFiltro"));
    m_filter->setPlaceholderText(QStringLiteral("Filtrar por relatório, filial, período, situação, usuário ou arquivo"));
    m_filter->setClearButtonEnabled(true);
    m_table->setObjectName(QStringLiteral("tblExecucoes"));
    m_table->setColumnCount(int(kColumns.size()));
    m_table->setHorizontalHeaderLabels(kColumns);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_files->setObjectName(QStringLiteral("lstArquivos"));
    m_files->setMaximumHeight(80);
    m_openFile->setObjectName(QStringLiteral("btnAbrirArquivo"));
    m_openFolder->setObjectName(QStringLiteral("btnAbrirPasta"));
    m_runAgain->setObjectName(QStringLiteral("btnExecutarNovamente"));

    auto *filterLabel = new QLabel(QStringLiteral("&Filtro:"), this);
    filterLabel->setBuddy(m_filter);
    auto *filesLabel = new QLabel(QStringLiteral("Arquivos gravados:"), this);
    filesLabel->setBuddy(m_files);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    for (QPushButton *b : {m_openFile, m_openFolder, m_runAgain})
        buttons->addButton(b, QDialogButtonBox::ActionRole);
    auto *layout = new QVBoxLayout(this);
    for (QWidget *w : std::initializer_list<QWidget *>{filterLabel, m_filter, m_table, filesLabel, m_files, buttons})
        layout->addWidget(w);

    connect(m_filter, &QLineEdit::textChanged, this, &RecentRunsWindow::fill);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &RecentRunsWindow::showFiles);
    connect(m_table, &QTableWidget::cellActivated, this, &RecentRunsWindow::openFile);
    connect(m_openFile, &QPushButton::clicked, this, &RecentRunsWindow::openFile);
    connect(m_openFolder, &QPushButton::clicked, this, &RecentRunsWindow::openFolder);
    connect(m_runAgain, &QPushButton::clicked, this, &RecentRunsWindow::runAgain);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(1000, 480);
    refresh();
}

void RecentRunsWindow::refresh() { fill(); }

void RecentRunsWindow::fill()
{
    // Filtered here, on the texts as the list shows them.
    const QString folded = TextFold::fold(m_filter->text().trimmed());
    m_runs.clear();
    for (const RunRecord &r : m_history.recent()) {
        if (folded.isEmpty() || TextFold::containsFolded(cellsOf(r).join(QLatin1Char(' ')) + QLatin1Char(' ') + r.searchText(), folded))
            m_runs << r;
    }
    const QSignalBlocker quiet(m_table);
    m_table->clearContents();
    m_table->setRowCount(int(m_runs.size()));
    for (int row = 0; row < m_runs.size(); ++row) {
        const QStringList cells = cellsOf(m_runs[row]);
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            item->setToolTip(cells[column]);
            m_table->setItem(row, column, item);
        }
    }
    m_table->resizeColumnsToContents();
    // Long titles and reasons stay whole in the tool tip.
    for (int column = 0; column < m_table->columnCount(); ++column)
        m_table->setColumnWidth(column, qMin(m_table->columnWidth(column), 240));
    if (!m_runs.isEmpty())
        m_table->selectRow(0);
    showFiles();
}

RunRecord RecentRunsWindow::chosenRun() const
{
    const int row = m_table->currentRow();
    return row >= 0 && row < m_runs.size() && m_table->selectionModel()->hasSelection() ? m_runs[row] : RunRecord{};
}

void RecentRunsWindow::showFiles()
{
    const RunRecord run = chosenRun();
    m_files->clear();
    m_files->addItems(run.files);
    if (m_files->count() > 0)
        m_files->setCurrentRow(0);
    m_openFile->setEnabled(!run.files.isEmpty());
    m_openFolder->setEnabled(!run.files.isEmpty());
    m_runAgain->setEnabled(run.id != 0 && ReportCommandTable::byScriptName(run.command));
}

QString RecentRunsWindow::chosenFile() const
{
    const QListWidgetItem *item = m_files->currentItem();
    return item ? item->text() : QString();
}

void RecentRunsWindow::openFile()
{
    const QString file = chosenFile();
    if (file.isEmpty())
        return;
    if (!QFileInfo(file).isFile()) {
        HostUi::instance().showError(QStringLiteral("O arquivo \"%1\" não existe mais: foi movido ou apagado depois "
                                                    "desta execução. Use \"Executar novamente\" para gerá-lo de novo.")
                                         .arg(file),
                                     false);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void RecentRunsWindow::openFolder()
{
    const QString file = chosenFile();
    if (file.isEmpty())
        return;
    const QString folder = QFileInfo(file).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        HostUi::instance().showError(QStringLiteral("A pasta \"%1\" não existe mais.").arg(folder), false);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void RecentRunsWindow::runAgain()
{
    const RunRecord run = chosenRun();
    const ReportCommand *command = ReportCommandTable::byScriptName(run.command);
    if (run.id == 0 || !command)
        return;
    TfrmDadosGerRel *screen = m_screenFor(run.screen);
    if (!screen)
        return;
    screen->rerun(command->id, run.choices);
    refresh();
}
