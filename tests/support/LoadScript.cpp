#include "LoadScript.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace LoadScript {

QDate periodStart(int session) { return QDate(2026, 2, 2).addDays(session); }
QDate periodEnd(int session, int check) { return periodStart(session).addDays(check); }

QString script(int session, int checks)
{
    QString s = QStringLiteral("open XEV01700\nfocus medCdProdInic\ntype 01\nfocus medCdProdFina\ntype 08\n");
    for (int j = 0; j < checks; ++j) {
        s += QStringLiteral("focus depDataInic\nkey SelectAll\ntype %1\nkey Tab\n")
                 .arg(periodStart(session).toString(QStringLiteral("ddMMyyyy")));
        s += QStringLiteral("focus depDataFina\nkey SelectAll\ntype %1\nkey Tab\n")
                 .arg(periodEnd(session, j).toString(QStringLiteral("ddMMyyyy")));
        s += QStringLiteral("select cbbTipoCusto %1\ncommand preview\n").arg((j + session) % 4);
    }
    return s + QStringLiteral("close\n");
}

namespace {
QString paramValue(const QJsonObject &event, const QString &name)
{
    for (const QJsonValue &p : event.value(QStringLiteral("params")).toArray())
        if (p.toObject().value(QStringLiteral("name")).toString() == name)
            return p.toObject().value(QStringLiteral("value")).toVariant().toString();
    return QStringLiteral("<missing>");
}
} // namespace

QStringList check(int session, int checks, const QString &output)
{
    QStringList problems;
    int seen = 0;
    for (const QString &line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QJsonObject e = QJsonDocument::fromJson(line.toUtf8()).object();
        const QString kind = e.value(QStringLiteral("event")).toString();
        if (kind == QLatin1String("message") || kind == QLatin1String("error")) {
            problems << line;
            continue;
        }
        if (kind != QLatin1String("params"))
            continue;
        const QString start = paramValue(e, QStringLiteral("P_DTINICIAL"));
        const QString end = paramValue(e, QStringLiteral("P_DTFINAL"));
        const QString wantStart = periodStart(session).toString(Qt::ISODate);
        const QString wantEnd = periodEnd(session, seen).toString(Qt::ISODate);
        if (start != wantStart || end != wantEnd)
            problems << QStringLiteral("check %1: period %2..%3, expected %4..%5")
                            .arg(seen).arg(start, end, wantStart, wantEnd);
        ++seen;
    }
    if (seen != checks)
        problems << QStringLiteral("%1 parameter sets, expected %2").arg(seen).arg(checks);
    return problems;
}

} // namespace LoadScript
