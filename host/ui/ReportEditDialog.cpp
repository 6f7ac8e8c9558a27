#include "ReportEditDialog.h"
#include "widgets/AccessibleNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum Col { Field, Caption, Width, Align, Format, Detail, Sum, ColCount };

const QStringList &alignNames()
{
    static const QStringList n = {QStringLiteral("Esquerda"), QStringLiteral("Centro"), QStringLiteral("Direita")};
    return n;
}
const QStringList &formatNames()
{
    // In the order of ReportColumn::Format.
    static const QStringList n = {QStringLiteral("Texto"), QStringLiteral("Inteiro"), QStringLiteral("Número"),
                                  QStringLiteral("Data"), QStringLiteral("Data e hora"), QStringLiteral("Código")};
    return n;
}
} // namespace

ReportEditDialog::ReportEditDialog(const ReportDefinition &def, std::function<QString(const ReportDefinition &)> check,
                                   QWidget *parent)
    : QDialog(parent), m_original(def), m_check(std::move(check))
{
    setWindowTitle(QStringLiteral("Editar Relatório"));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(titleFields(def));
    auto *tabs = new QTabWidget(this);
    for (const ReportQuery &q : def.queries)
        tabs->addTab(queryPage(q), QStringLiteral("Consulta: %1").arg(q.label.isEmpty() ? q.name : q.label));
    tabs->addTab(columnsPage(def), QStringLiteral("Colunas"));
    layout->addWidget(tabs, 1);
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    resize(820, 560);
    AccessibleNames::describe(this);
}

QFormLayout *ReportEditDialog::titleFields(const ReportDefinition &def)
{
    auto *form = new QFormLayout;
    m_title = new QLineEdit(def.title, this);
    m_title->setObjectName(QStringLiteral("edtTitulo"));
    form->addRow(QStringLiteral("Título:"), m_title);
    m_orientation = new QComboBox(this);
    m_orientation->addItems({QStringLiteral("Retrato"), QStringLiteral("Paisagem")});
    m_orientation->setCurrentIndex(def.orientation == ReportDefinition::Orientation::Landscape ? 1 : 0);
    form->addRow(QStringLiteral("Orientação:"), m_orientation);
    return form;
}

QWidget *ReportEditDialog::queryPage(const ReportQuery &q)
{
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto *dialects = new QTabWidget;
    std::array<QPlainTextEdit *, ReportQuery::DialectCount> edits{};
    for (int d = 0; d < ReportQuery::DialectCount; ++d) {
        auto *e = new QPlainTextEdit(q.sql[d]);
        e->setFont(mono);
        e->setLineWrapMode(QPlainTextEdit::NoWrap);
        e->setObjectName(QStringLiteral("edt%1_%2").arg(q.name, ReportQuery::dialectKeyword(d)));
        dialects->addTab(e, ReportQuery::dialectKeyword(d));
        edits[d] = e;
    }
    m_sql.append(edits);
    return dialects;
}

QWidget *ReportEditDialog::columnsPage(const ReportDefinition &def)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_columns = new QTableWidget(0, ColCount, page);
    m_columns->setObjectName(QStringLiteral("grdColunas"));
    m_columns->setHorizontalHeaderLabels({QStringLiteral("Campo"), QStringLiteral("Título"), QStringLiteral("Largura (mm)"),
                                          QStringLiteral("Alinhamento"), QStringLiteral("Formato"),
                                          QStringLiteral("Casas / padrão"), QStringLiteral("Soma")});
    m_columns->horizontalHeader()->setStretchLastSection(true);
    for (const ReportColumn &c : def.columns)
        addColumnRow(c);
    layout->addWidget(m_columns);
    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton(QStringLiteral("Incluir coluna"), page);
    auto *remove = new QPushButton(QStringLiteral("Excluir coluna"), page);
    auto *up = new QPushButton(QStringLiteral("Subir"), page);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(up);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, [this] {
        ReportColumn c;
        c.widthMm = 20;
        addColumnRow(c);
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (m_columns->currentRow() >= 0)
            m_columns->removeRow(m_columns->currentRow());
    });
    connect(up, &QPushButton::clicked, this, &ReportEditDialog::moveColumnUp);
    return page;
}

void ReportEditDialog::moveColumnUp()
{
    const int r = m_columns->currentRow();
    if (r <= 0)
        return;
    ReportDefinition d = definition();
    d.columns.swapItemsAt(r, r - 1);
    m_columns->setRowCount(0);
    for (const ReportColumn &c : d.columns)
        addColumnRow(c);
    m_columns->setCurrentCell(r - 1, 0);
}

void ReportEditDialog::addColumnRow(const ReportColumn &c)
{
    const int r = m_columns->rowCount();
    m_columns->insertRow(r);
    m_columns->setItem(r, Field, new QTableWidgetItem(c.field));
    m_columns->setItem(r, Caption, new QTableWidgetItem(c.caption));
    m_columns->setItem(r, Width, new QTableWidgetItem(QString::number(c.widthMm)));
    auto *align = new QComboBox;
    align->addItems(alignNames());
    align->setCurrentIndex(int(c.align));
    m_columns->setCellWidget(r, Align, align);
    auto *format = new QComboBox;
    format->addItems(formatNames());
    format->setCurrentIndex(int(c.format));
    m_columns->setCellWidget(r, Format, format);
    const QString detail = c.format == ReportColumn::Format::Number ? QString::number(c.decimals) : c.pattern;
    m_columns->setItem(r, Detail, new QTableWidgetItem(detail));
    auto *sum = new QTableWidgetItem;
    sum->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    sum->setCheckState(c.sum ? Qt::Checked : Qt::Unchecked);
    m_columns->setItem(r, Sum, sum);
}

ReportDefinition ReportEditDialog::definition() const
{
    ReportDefinition d = m_original;
    d.title = m_title->text().trimmed();
    d.orientation = m_orientation->currentIndex() == 1 ? ReportDefinition::Orientation::Landscape
                                                       : ReportDefinition::Orientation::Portrait;
    for (int q = 0; q < d.queries.size() && q < m_sql.size(); ++q)
        for (int k = 0; k < ReportQuery::DialectCount; ++k)
            d.queries[q].sql[k] = m_sql[q][k]->toPlainText();
    d.columns.clear();
    auto text = [this](int r, int c) {
        const QTableWidgetItem *it = m_columns->item(r, c);
        return it ? it->text().trimmed() : QString();
    };
    for (int r = 0; r < m_columns->rowCount(); ++r) {
        ReportColumn c;
        c.field = text(r, Field);
        c.caption = text(r, Caption);
        c.widthMm = text(r, Width).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        c.align = ReportColumn::Align(qobject_cast<QComboBox *>(m_columns->cellWidget(r, Align))->currentIndex());
        c.format = ReportColumn::Format(qobject_cast<QComboBox *>(m_columns->cellWidget(r, Format))->currentIndex());
        if (c.format == ReportColumn::Format::Number)
            c.decimals = text(r, Detail).toInt();
        else if (c.format == ReportColumn::Format::Date || c.format == ReportColumn::Format::DateTime)
            c.pattern = text(r, Detail).isEmpty() ? QStringLiteral("dd/MM/yyyy") : text(r, Detail);
        c.sum = m_columns->item(r, Sum)->checkState() == Qt::Checked;
        d.columns.append(c);
    }
    return d;
}

void ReportEditDialog::accept()
{
    const QString problem = m_check ? m_check(definition()) : QString();
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Editar Relatório"), problem);
        return;
    }
    QDialog::accept();
}
