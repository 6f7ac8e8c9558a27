// What the Firebird benchmark needs around its timings: its databases, made
// once (embedded, built as .part and renamed) in the build folder's
// bench-data/, the report's parameter values as bound and as isql-fb
// literals, and isql-fb run on the server.
#pragma once

#include "appdata/dtmDBGeral.h"
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "report/model/ReportSqlText.h"
#include "support/FirebirdServer.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>

#include <cstdio>

namespace BenchFirebirdData {

constexpr int kProducts = 1000000;

inline QString dataDir()
{
    const QString d = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bench-data"));
    QDir().mkpath(d);
    return d;
}

inline QString made(const QString &name, const DemoSizes &sizes)
{
    const QString path = QDir(dataDir()).filePath(name);
    if (QFileInfo::exists(path))
        return path;
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    std::fprintf(stderr, "making %s (once)...\n", qPrintable(path));
    TdtmDBGeral::openConnection({DatabaseLocation::parse(QStringLiteral("firebird:") + part), QStringLiteral("SYSDBA"),
                                 QStringLiteral("masterkey"), QStringLiteral("bench-make"), true, DemoData::filler(sizes)});
    TdtmDBGeral::closeConnection(QStringLiteral("bench-make"));
    if (!QFile::rename(part, path))
        throw EHostError(QStringLiteral("cannot rename %1").arg(part));
    return path;
}

// The demo database with `rows` cost rows for branch 0101.
inline QString costsDatabase(int rows)
{
    DemoSizes sizes;
    sizes.costRows = rows;
    return made(QStringLiteral("firebird-costs-%1.fdb").arg(rows), sizes);
}

inline QString productsDatabase()
{
    DemoSizes sizes;
    sizes.products = kProducts;
    sizes.costRows = 0;
    return made(QStringLiteral("firebird-products-1m.fdb"), sizes);
}

inline QString served(const FirebirdServer &server, const QString &path)
{
    return QStringLiteral("firebird://127.0.0.1:%1%2").arg(server.port()).arg(path);
}

struct Value {
    const char *name;
    QVariant value;
};

inline QList<Value> values(const QString &services)
{
    const QDateTime year0 = QDate(2026, 1, 1).startOfDay(), year1 = QDate(2026, 12, 31).startOfDay();
    return {
        {"P_CDFILCENTXEV", QStringLiteral("0100")}, {"P_CDFILIAL", QStringLiteral("0101")},
        {"P_NMCUSTO", QStringLiteral("Custo Médio")}, {"P_NRTIPOCUSTO", 1},
        {"P_CDSERVFILI", services}, {"P_CDPRODUTOINI", QStringLiteral("0")},
        {"P_CDPRODUTOFIN", QStringLiteral("zzzzzzzz")}, {"P_DTINICIAL", year0},
        {"P_DTFINAL", year1}, {"P_DTPERIINIC", QStringLiteral("01/01/2026")},
        {"P_DTPERIFINA", QStringLiteral("31/12/2026")}, {"P_DTMESINIC", year0},
        {"P_DTMESFINA", year1}, {"P_IDESTOCAVEIS", QStringLiteral("S")},
        {"P_IDNESTOCAVEIS", QStringLiteral("S")}, {"P_NRTAMACNIVEL", 4},
        {"P_NRTAMCODIGO", 8},
    };
}

// Every service of branch 0101 on the shell's connection, joined as the
// screen joins them.
inline QString branchServices()
{
    QSqlQuery q(HostDatabase::instance().database());
    q.exec(QStringLiteral("SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = '0101' ORDER BY 1"));
    QStringList codes;
    while (q.next())
        codes << q.value(0).toString();
    return codes.join(QLatin1Char('_'));
}

inline QString literal(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return v.toString();
    case QMetaType::QDateTime:
        return QStringLiteral("DATE '%1'").arg(v.toDateTime().date().toString(Qt::ISODate));
    default: {
        QString s = v.toString();
        s.replace(QLatin1Char('\''), QLatin1String("''"));
        return QLatin1Char('\'') + s + QLatin1Char('\'');
    }
    }
}

// The statement with each :NAME replaced by its value's literal.
inline QString withValues(const QString &sql, const QList<Value> &vals)
{
    QString out;
    int last = 0;
    for (const ReportSqlText::Use &u : ReportSqlText::scan(sql)) {
        out += QStringView(sql).mid(last, u.offset - last);
        for (const Value &v : vals)
            if (u.name == QLatin1String(v.name))
                out += literal(v.value);
        last = u.offset + 1 + int(u.name.size());
    }
    out += QStringView(sql).mid(last);
    return out;
}

// Runs script with isql-fb on the server's database, output thrown away.
// Returns the statements' own elapsed time when the script asks for
// statistics (SET STATS ON), else the whole run's; -1 on failure.
inline double isql(const FirebirdServer &server, const QString &path, const QString &script, QString *error)
{
    QProcess p;
    p.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("-ch"),
                                        QStringLiteral("UTF8"), QStringLiteral("-user"), QLatin1String(FirebirdServer::User),
                                        QStringLiteral("-password"), QLatin1String(FirebirdServer::Password),
                                        QStringLiteral("127.0.0.1/%1:%2").arg(server.port()).arg(path)});
    QElapsedTimer t;
    t.start();
    p.write((script + QStringLiteral("QUIT;\n")).toUtf8());
    p.closeWriteChannel();
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        *error = QString::fromLocal8Bit(p.readAllStandardError());
        return -1;
    }
    const double wall = double(t.nsecsElapsed()) / 1e6;
    static const QRegularExpression elapsed(QStringLiteral("Elapsed time\\s*=\\s*([0-9.]+) sec"));
    double stats = 0;
    bool any = false;
    for (auto it = elapsed.globalMatch(QString::fromLocal8Bit(p.readAllStandardOutput())); it.hasNext();) {
        stats += it.next().captured(1).toDouble() * 1000.0;
        any = true;
    }
    return any ? stats : wall;
}

} // namespace BenchFirebirdData
