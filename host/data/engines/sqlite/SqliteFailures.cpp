// SQLite's failures, classified, with what to do in the user's words.
#include "FileLockHolder.h"
#include "SqliteDialect.h"
#include "SqliteEngine.h"
#include "data/SqlStatement.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>

namespace {

// SQLite's primary result codes (sqlite3.h).
enum Code { Busy = 5, Locked = 6, ReadOnly = 8, CantOpen = 14, Auth = 23 };

int codeOf(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}

// The file's header says write-ahead logging (read and write versions 2).
bool isWal(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = f.read(20);
    return header.size() == 20 && header.startsWith("SQLite format 3") && header[18] == 2 && header[19] == 2;
}

// Whether this user can make and write the -wal and -shm files beside path.
bool canWriteBeside(const QString &path)
{
    const QFileInfo file(path);
    for (const char *suffix : {"-wal", "-shm"}) {
        const QFileInfo companion(path + QLatin1String(suffix));
        if (companion.exists() ? !companion.isWritable() : !QFileInfo(file.absolutePath()).isWritable())
            return false;
    }
    return file.isWritable();
}

QString busyText(const QString &file)
{
    const QString holder = FileLockHolder::describe({file, file + QStringLiteral("-wal"), file + QStringLiteral("-shm"),
                                                     file + QStringLiteral("-journal")});
    return QStringLiteral("O banco de dados %1 está ocupado: %2 está gravando nele, e a espera de %3 s terminou sem "
                          "que a gravação acabasse. Tente de novo em instantes; se continuar, feche %4 ou peça a "
                          "quem o usa que termine o que está fazendo.")
        .arg(file, holder.isEmpty() ? QStringLiteral("outro programa") : holder)
        .arg(SqliteEngine::kBusyTimeoutMs / 1000)
        .arg(holder.isEmpty() ? QStringLiteral("o programa que grava nele") : holder);
}

QString walText(const QString &file)
{
    return QStringLiteral("O banco de dados %1 usa registro antecipado (WAL): para lê-lo, o SQLite precisa criar e "
                          "gravar os arquivos %2-wal e %2-shm na pasta %3, e este usuário não pode gravar ali. Dê a "
                          "este usuário permissão de gravação na pasta e no arquivo, ou peça a quem pode gravar nele "
                          "que o converta (sqlite3 ARQUIVO \"PRAGMA journal_mode=DELETE\").")
        .arg(file, QFileInfo(file).fileName(), QFileInfo(file).absolutePath());
}

bool isBusy(const QSqlError &error)
{
    // SQLITE_BUSY and SQLITE_LOCKED, after the busy timeout.
    const int code = codeOf(error);
    return code == Busy || code == Locked
        || error.databaseText().contains(QLatin1String("database is locked"), Qt::CaseInsensitive);
}

} // namespace

DatabaseFailure SqliteDialect::failure(const QSqlDatabase &db, const QSqlError &error) const
{
    DatabaseFailure f = SqlDialect::failure(db, error);
    const QString file = db.databaseName();
    const int code = codeOf(error);
    const QString text = error.databaseText() + QLatin1Char(' ') + error.driverText();
    if (isBusy(error)) {
        f.kind = DatabaseFailure::Kind::Busy;
        f.advice = busyText(file);
    } else if (text.contains(QLatin1String("multiple statements"), Qt::CaseInsensitive)) {
        f.kind = DatabaseFailure::Kind::BadStatement;
        f.advice = QStringLiteral("A instrução tem mais de um comando SQL (separados por ';'), e o SQLite executa um "
                                  "de cada vez. Deixe um só comando na instrução.");
    } else if ((code == ReadOnly || code == CantOpen) && isWal(file) && !canWriteBeside(file)) {
        f.kind = DatabaseFailure::Kind::Permission;
        f.advice = walText(file);
    } else if (code == Auth || code == ReadOnly || text.contains(QLatin1String("not authorized"))
               || text.contains(QLatin1String("query_only"))) {
        f.kind = DatabaseFailure::Kind::ReadOnly;
        f.advice = QStringLiteral("A instrução foi recusada: por esta conexão o banco de dados %1 só pode ser "
                                  "consultado (a de um relatório não grava nem abre outros arquivos; ou este usuário "
                                  "não pode gravar no arquivo). O SQLite disse: %2")
                       .arg(file, SqlStatement::errorText(error).left(100));
    } else if (code == 1 || text.contains(QLatin1String("syntax error"))) {
        f.kind = DatabaseFailure::Kind::BadStatement;
    }
    return f;
}
