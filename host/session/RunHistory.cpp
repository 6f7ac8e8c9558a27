#include "RunHistory.h"
#include "ShellNotices.h"
#include "data/TextFold.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QSysInfo>
#include <unistd.h>

namespace {

const char *const kSchema = R"(CREATE TABLE IF NOT EXISTS runs (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    started TEXT NOT NULL, login TEXT, origin TEXT, screen TEXT, report TEXT, command TEXT,
    set_name TEXT, choices TEXT, outcome INTEGER NOT NULL, reason TEXT, rows_read INTEGER,
    duration_ms INTEGER, files TEXT, mailed_to TEXT, process TEXT))";

RunHistory *g_installed = nullptr;

QString firstLine(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readLine()).trimmed() : QString();
}

// The start time of a process since boot (field 22 of /proc/PID/stat):
// with the boot, it tells a live process from a later one under the same pid.
QString startTicks(qint64 pid)
{
    const QString stat = firstLine(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(QLatin1Char(')'));
    if (close < 0)
        return QString();
    return stat.mid(close + 2).split(QLatin1Char(' ')).value(19);
}

QString bootId() { return firstLine(QStringLiteral("/proc/sys/kernel/random/boot_id")); }

// "HOST BOOT PID START" of this process.
QString thisProcess()
{
    const qint64 pid = ::getpid();
    return QStringLiteral("%1 %2 %3 %4").arg(QSysInfo::machineHostName(), bootId()).arg(pid).arg(startTicks(pid));
}

// Whether the process that began a run is gone. A process of another
// machine (a shared home) cannot be seen: it is taken as alive.
bool processGone(const QString &process)
{
    const QStringList p = process.split(QLatin1Char(' '));
    if (p.size() != 4 || p[0] != QSysInfo::machineHostName())
        return false;
    if (p[1] != bootId())
        return true;
    return startTicks(p[2].toLongLong()) != p[3];
}

QString jsonText(const QJsonDocument &doc) { return QString::fromUtf8(doc.toJson(QJsonDocument::Compact)); }

QStringList listOf(const QString &json)
{
    QStringList out;
    for (const QJsonValue &v : QJsonDocument::fromJson(json.toUtf8()).array())
        out << v.toString();
    return out;
}

QString loginName()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("LOGNAME") : user;
}

} // namespace

QString RunRecord::outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Running: return QStringLiteral("em andamento");
    case Outcome::Done: return QStringLiteral("concluído");
    case Outcome::Cancelled: return QStringLiteral("cancelado");
    case Outcome::Refused: return QStringLiteral("recusado");
    case Outcome::Failed: return QStringLiteral("falhou");
    case Outcome::Interrupted: return QStringLiteral("interrompido");
    }
    return QString();
}

QString RunRecord::searchText() const
{
    QStringList values;
    for (auto it = choices.cbegin(); it != choices.cend(); ++it)
        values << it.value().toString();
    return QStringList{started.toString(QStringLiteral("dd/MM/yyyy HH:mm")), user, origin, report, command, setName,
                       outcomeText(outcome), reason, files.join(QLatin1Char(' ')), mailedTo.join(QLatin1Char(' ')),
                       values.join(QLatin1Char(' '))}
        .join(QLatin1Char(' '));
}

RunHistory::RunHistory(const QString &path, Limits limits)
    : m_path(path), m_limits(limits), m_connection(QStringLiteral("run-history-%1").arg(quintptr(this)))
{
}

RunHistory::~RunHistory()
{
    if (g_installed == this)
        g_installed = nullptr;
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
}

QString RunHistory::defaultPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    return QDir(dir).filePath(QStringLiteral("historico-execucoes.sqlite"));
}

RunHistory *RunHistory::installed() { return g_installed; }
void RunHistory::install(RunHistory *history) { g_installed = history; }

void RunHistory::fail(const QString &what, const QString &why)
{
    m_failed = true;
    ShellNotices::instance().post(QStringLiteral("O histórico de relatórios (%1) não pôde %2: %3. O relatório segue "
                                                 "normalmente, mas esta execução pode não aparecer em \"Relatórios "
                                                 "recentes\". Confira o espaço em disco e as permissões da pasta.")
                                      .arg(m_path, what, why));
}

bool RunHistory::open()
{
    if (QSqlDatabase::contains(m_connection) && QSqlDatabase::database(m_connection, false).isOpen())
        return true;
    const QFileInfo file(m_path);
    if (!QDir().mkpath(file.absolutePath()))
        return fail(QStringLiteral("ser aberto"), QStringLiteral("a pasta %1 não pôde ser criada").arg(file.absolutePath())), false;
    if (!file.exists()) {
        // Who ran what, with which choices, is the user's own business.
        QFile made(m_path);
        if (made.open(QIODevice::WriteOnly))
            made.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    QSqlDatabase db = QSqlDatabase::contains(m_connection) ? QSqlDatabase::database(m_connection, false)
                                                            : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=15000"));
    if (!db.open())
        return fail(QStringLiteral("ser aberto"), db.lastError().text()), false;
    if (!exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !exec(QString::fromLatin1(kSchema))) {
        db.close();
        return false;
    }
    return true;
}

bool RunHistory::exec(const QString &sql, const QVariantList &values)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (q.exec())
        return true;
    if (!m_failed)
        fail(QStringLiteral("ser gravado"), q.lastError().text());
    return false;
}

void RunHistory::prune()
{
    const QString cutoff = QDateTime::currentDateTime().addMonths(-m_limits.months).toString(Qt::ISODateWithMs);
    exec(QStringLiteral("DELETE FROM runs WHERE started < ? OR id <= (SELECT id FROM runs ORDER BY id DESC "
                        "LIMIT 1 OFFSET ?)"),
         {cutoff, m_limits.runs});
}

qint64 RunHistory::begin(RunRecord run)
{
    if (!open())
        return 0;
    if (!run.started.isValid())
        run.started = QDateTime::currentDateTime();
    if (run.user.isEmpty())
        run.user = loginName();
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // BEGIN IMMEDIATE: the writer waits for the file here, not midway.
    exec(QStringLiteral("BEGIN IMMEDIATE"));
    const bool ok = exec(QStringLiteral("INSERT INTO runs (started, login, origin, screen, report, command, set_name, "
                                        "choices, outcome, rows_read, duration_ms, files, mailed_to, process) "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, -1, 0, '[]', '[]', ?)"),
                         {run.started.toString(Qt::ISODateWithMs), run.user, run.origin, run.screen, run.report,
                          run.command, run.setName, jsonText(QJsonDocument(QJsonObject::fromVariantMap(run.choices))),
                          int(RunRecord::Outcome::Running), thisProcess()});
    qint64 id = 0;
    if (ok) {
        QSqlQuery q(QStringLiteral("SELECT last_insert_rowid()"), db);
        id = q.next() ? q.value(0).toLongLong() : 0;
        prune();
    }
    exec(ok ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    return id;
}

void RunHistory::finish(qint64 id, RunRecord::Outcome outcome, const QString &reason, qint64 rows,
                        const QStringList &files, const QStringList &mailedTo)
{
    if (id == 0 || !open())
        return;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT started FROM runs WHERE id = ?"));
    q.addBindValue(id);
    const QDateTime started = q.exec() && q.next() ? QDateTime::fromString(q.value(0).toString(), Qt::ISODateWithMs)
                                                   : QDateTime::currentDateTime();
    // A statement left open keeps its snapshot, and a write on an older
    // snapshot than another process's is refused without waiting.
    q.finish();
    exec(QStringLiteral("UPDATE runs SET outcome = ?, reason = ?, rows_read = ?, duration_ms = ?, files = ?, "
                        "mailed_to = ? WHERE id = ?"),
         {int(outcome), reason, rows, started.msecsTo(QDateTime::currentDateTime()),
          jsonText(QJsonDocument(QJsonArray::fromStringList(files))),
          jsonText(QJsonDocument(QJsonArray::fromStringList(mailedTo))), id});
}

namespace {
RunRecord recordOf(const QSqlQuery &q)
{
    RunRecord r;
    r.id = q.value(0).toLongLong();
    r.started = QDateTime::fromString(q.value(1).toString(), Qt::ISODateWithMs);
    r.user = q.value(2).toString();
    r.origin = q.value(3).toString();
    r.screen = q.value(4).toString();
    r.report = q.value(5).toString();
    r.command = q.value(6).toString();
    r.setName = q.value(7).toString();
    r.choices = QJsonDocument::fromJson(q.value(8).toString().toUtf8()).object().toVariantMap();
    r.outcome = RunRecord::Outcome(q.value(9).toInt());
    r.reason = q.value(10).toString();
    r.rows = q.value(11).toLongLong();
    r.durationMs = q.value(12).toLongLong();
    r.files = listOf(q.value(13).toString());
    r.mailedTo = listOf(q.value(14).toString());
    if (r.outcome == RunRecord::Outcome::Running && processGone(q.value(15).toString()))
        r.outcome = RunRecord::Outcome::Interrupted;
    return r;
}

const char *const kColumns = "id, started, login, origin, screen, report, command, set_name, choices, outcome, "
                             "reason, rows_read, duration_ms, files, mailed_to, process";
} // namespace

QList<RunRecord> RunHistory::recent(const QString &filter, int limit)
{
    QList<RunRecord> out;
    if (!open())
        return out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM runs ORDER BY id DESC").arg(QLatin1String(kColumns))))
        return out;
    const QString folded = TextFold::fold(filter.trimmed());
    while (out.size() < limit && q.next()) {
        RunRecord r = recordOf(q);
        if (filter.trimmed().isEmpty() || TextFold::containsFolded(r.searchText(), folded))
            out.append(r);
    }
    return out;
}

RunRecord RunHistory::run(qint64 id)
{
    if (!open())
        return {};
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT %1 FROM runs WHERE id = ?").arg(QLatin1String(kColumns)));
    q.addBindValue(id);
    return q.exec() && q.next() ? recordOf(q) : RunRecord{};
}
