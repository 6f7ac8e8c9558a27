#include "ReportRun.h"
#include "core/Errors.h"
#include "report/layout/ReportSpool.h"
#include "report/output/ReportExport.h"
#include "report/output/RunFileWriter.h"
#include "report/query/ReportConnection.h"
#include "report/query/ReportRunner.h"

#include <QLocale>
#include <QPrinter>
#include <optional>

namespace {

QString counted(const char *what, qint64 n)
{
    return QStringLiteral("%1: %2").arg(QString::fromUtf8(what), QLocale(QLocale::Portuguese, QLocale::Brazil).toString(n));
}

// Reads the rows into the document, reporting and checking for Cancel.
void readRows(WorkTask &task, ReportDocument &doc, const TParams &params, const QSqlDatabase &db)
{
    ReportRunner::Sink sink;
    sink.begin = [&](const QStringList &fields, const QHash<QString, QVariant> &lookups) {
        doc.begin(fields, lookups, std::make_shared<ReportSpool>(int(fields.size())));
        task.setStatus(counted("Registros lidos", 0));
    };
    sink.row = [&](const QVector<QVariant> &row) {
        if (task.cancelled())
            throw EAbort();
        doc.addRow(row);
        const qint64 n = doc.rowCount();
        task.setProgress(n, 0);
        if ((n & 1023) == 0)
            task.setStatus(counted("Registros lidos", n));
    };
    ReportRunner::stream(doc.definition(), params, db, ReportRunner::layoutFields(doc.definition()), sink);
    if (task.cancelled())
        throw EAbort();
    doc.finish();
}

void writeExports(WorkTask &task, const ReportDocument &doc, const ReportRun::Output &out)
{
    for (const ReportRun::Output::Export &e : out.exports) {
        task.setProgress(0, doc.rowCount());
        task.setStatus(QStringLiteral("Exportando as linhas..."));
        ReportExport::write(ExportFormats::of(e.format), doc, e.path, [&task, &doc](qint64 n) {
            if ((n & 1023) == 0)
                task.setProgress(n, doc.rowCount());
            return !task.cancelled();
        });
    }
}

void writePages(WorkTask &task, const ReportDocument &doc, const ReportRun::Output &out, int &written)
{
    if (out.kind == ReportRun::Output::Pages)
        return;
    out.pages.check(doc.pageCount(), doc.title()); // before anything is written or printed
    const int pages = out.pages.pagesToPaint(doc.pageCount());
    task.setProgress(0, pages);
    task.setStatus(QStringLiteral("Gerando %1 páginas...").arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(pages)));
    auto pageDone = [&task, pages](int n) {
        task.setProgress(n, pages);
        return !task.cancelled();
    };
    if (out.kind == ReportRun::Output::Pdf) {
        written = RunFileWriter::writePdf(doc, out.path, pageDone, out.pages);
    } else if (out.kind == ReportRun::Output::RowsCsv) {
        task.setProgress(0, doc.rowCount());
        task.setStatus(QStringLiteral("Gravando as linhas..."));
        RunFileWriter::writeRowsCsv(doc, out.path, [&task, &doc](qint64 n) {
            task.setProgress(n, doc.rowCount());
            return !task.cancelled();
        });
    } else if (out.kind == ReportRun::Output::Printer) {
        out.printer->setPageLayout(doc.pageLayout());
        out.printer->setDocName(doc.title());
        written = doc.paint(out.printer, pageDone, out.pages);
    }
    if (task.cancelled())
        throw EAbort();
}

// Removes the worker connection's interrupt before the connection closes.
struct InterruptGuard {
    WorkTask &task;
    ~InterruptGuard() { task.setInterrupt({}); }
};

} // namespace

ReportRun::ReportRun(std::shared_ptr<ReportDocument> doc, const TParams &params, const QSqlDatabase &db,
                     const Output &output)
    : m_doc(std::move(doc)), m_ownThread(ReportConnection::canOpenAgain(db))
{
    const QString source = db.connectionName();
    const bool ownThread = m_ownThread;
    if (!db.isValid() || !db.isOpen())
        throw EHostError(QStringLiteral("Não há conexão aberta com o banco de dados para executar o relatório."));
    m_work = std::make_unique<WorkThread>([doc = m_doc, params, source, output, ownThread,
                                           pages = m_pages](WorkTask &task) {
        task.setStatus(QStringLiteral("Consultando o banco de dados..."));
        {
            std::optional<ReportConnection> own;
            if (ownThread)
                own.emplace(source);
            const InterruptGuard guard{task};
            if (own)
                task.setInterrupt(own->interrupter());
            readRows(task, *doc, params, own ? own->database() : QSqlDatabase::database(source, false));
        }
        writePages(task, *doc, output, *pages);
        writeExports(task, *doc, output);
    });
}

void ReportRun::start()
{
    if (m_ownThread)
        m_work->start();
    else
        m_work->runHere();
}
