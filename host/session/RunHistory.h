// The history of report runs: one small SQLite file per user
// (defaultPath(): "historico-execucoes.sqlite" in the user's data folder,
// readable by the user alone), one row per run, whether a person ran the
// report from its screen or it ran unattended.
//
// begin() records a run as under way with the process that runs it;
// finish() records how it ended. A run begun by a process that no longer
// lives (killed, crashed, the machine restarted) reads back as Interrupted.
// Writers in several processes at once (two shells, a shell and an
// unattended run) each keep every run: the file is in WAL mode and a writer
// waits its turn (busy timeout) instead of failing.
//
// The history stays bounded: each begin() drops runs older than
// Limits::months and all but the newest Limits::runs.
//
// Nothing here throws: a history that cannot be opened or written posts a
// notice (ShellNotices) saying why and the run goes on unrecorded; begin()
// then gives 0, and finish(0, ...) does nothing.
#pragma once

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantMap>

struct RunRecord {
    enum class Outcome { Running, Done, Cancelled, Refused, Failed, Interrupted };

    qint64 id = 0;
    QDateTime started;
    QString user;            // the system's login name
    QString origin;          // "tela" for a person at the screen, else the program ("merenda-report")
    QString screen;          // the screen's code ("XEV01700")
    QString report;          // the report's title
    QString command;         // what was asked: "Visualizar", "Exportar para Excel"...
    QString setName;         // a named parameter set, empty for choices typed
    QVariantMap choices;     // the screen's parameter values, as the screen keeps them
    Outcome outcome = Outcome::Running;
    QString reason;          // why it was refused or failed
    qint64 rows = -1;        // -1: unknown
    qint64 durationMs = 0;
    QStringList files;       // files written
    QStringList mailedTo;    // addresses the files were sent to

    // "em andamento", "concluído", "cancelado", "recusado", "falhou", "interrompido".
    static QString outcomeText(Outcome outcome);
    // Every text of the run a person may look for, in one line.
    QString searchText() const;
};

class RunHistory {
public:
    struct Limits {
        int months = 12;
        int runs = 1000;
    };

    explicit RunHistory(const QString &path = defaultPath(), Limits limits = Limits{12, 1000});
    ~RunHistory();
    RunHistory(const RunHistory &) = delete;
    RunHistory &operator=(const RunHistory &) = delete;

    static QString defaultPath();
    QString path() const { return m_path; }

    // Records run (its started, user, rows, outcome... are filled here when
    // empty) as under way; its id, 0 when it could not be recorded.
    qint64 begin(RunRecord run);
    void finish(qint64 id, RunRecord::Outcome outcome, const QString &reason = QString(), qint64 rows = -1,
                const QStringList &files = {}, const QStringList &mailedTo = {});
    // The runs, newest first, at most limit, those whose searchText holds
    // filter (case and accents ignored) when it is not empty.
    QList<RunRecord> recent(const QString &filter = QString(), int limit = 500);
    // The run of id; id 0 when there is none.
    RunRecord run(qint64 id);

    // The history the shell installed for this process (nullptr: none, runs
    // go unrecorded). The caller keeps ownership.
    static RunHistory *installed();
    static void install(RunHistory *history);

private:
    bool open();
    bool exec(const QString &sql, const QVariantList &values = {});
    void prune();
    void fail(const QString &what, const QString &why);

    QString m_path;
    Limits m_limits;
    QString m_connection;
    bool m_failed = false;
};
