// A small SQLite database with the tables the XEV017 reports read, made by
// the tests themselves, and the arithmetic that tells what the reports must
// sum, computed here independently of any SQL.
#pragma once

#include "data/engines/DatabaseEngine.h"
#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cmath>
#include <functional>

namespace ReportFixture {

struct Product {
    const char *code;
    const char *name;
    const char *stockable;
};

// Level nodes and leaves of a tree with levels of 2, 2 and 4 characters.
inline const QList<Product> &products()
{
    static const QList<Product> p = {
        {"01", "Hortifrutigranjeiros", "N"}, {"0101", "Frutas", "N"}, {"01010001", "Banana", "N"},
        {"01010002", "Maçã", "N"}, {"0102", "Legumes", "N"}, {"01020001", "Cenoura", "N"},
        {"02", "Mercearia", "S"}, {"0201", "Grãos", "S"}, {"02010001", "Arroz", "S"},
        {"02010002", "Feijão", "S"}, {"0202", "Óleos", "S"}, {"02020001", "Óleo de soja", "S"},
        {"03", "Descartáveis", "S"}, {"0301", "Copos", "S"}, {"03010001", "Copo 200 ml", "S"},
    };
    return p;
}

inline QStringList leaves()
{
    QStringList out;
    for (const auto &p : products())
        if (qstrlen(p.code) == 8)
            out << QString::fromLatin1(p.code);
    return out;
}

struct CostRow {
    QString branch, service, product;
    int costType;
    QDate day;
    double qt, vr;
};

// Every cost row, in a fixed order: 3 branches x 3 services x 7 products x
// 2 cost types x 52 days (every 7th day of 2026).
inline void forEachCost(const std::function<void(const CostRow &)> &f)
{
    const QStringList branches = {QStringLiteral("0101"), QStringLiteral("0102"), QStringLiteral("0201")};
    const QStringList services = {QStringLiteral("00001"), QStringLiteral("00002"), QStringLiteral("00003")};
    const QStringList prods = leaves();
    for (int b = 0; b < branches.size(); ++b)
        for (int s = 0; s < services.size(); ++s)
            for (int p = 0; p < prods.size(); ++p)
                for (int t = 1; t <= 2; ++t)
                    for (int d = 0; d < 52; ++d) {
                        const double qt = double((b * 7 + s * 3 + p * 5 + d + t) % 13 + 1) * 0.5;
                        const double vr = std::round(qt * (p + 1) * 1.25 * 100.0) / 100.0;
                        f({branches[b], services[s], prods[p], t, QDate(2026, 1, 3).addDays(7 * d), qt, vr});
                    }
}

inline void exec(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        qFatal("fixture: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
}

// Creates the database file and opens it as Qt's default connection.
inline QSqlDatabase create(const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    if (!db.open())
        qFatal("fixture: cannot open %s", qPrintable(path));
    // The standard texts call the engine's routines and collation, as the shell's connection has them.
    DatabaseEngine::of(db).registerRoutines(db);
    exec(db, QStringLiteral("CREATE TABLE FILIAL (CDFILIAL VARCHAR(4) PRIMARY KEY, NMFILIAL VARCHAR(30), "
                            "IDCNTRRESC CHAR(1), IDFILCENTXEV CHAR(1), CDFILCENTXEV VARCHAR(4))"));
    exec(db, QStringLiteral("CREATE TABLE GRUPSERV (CDGRUPSERV VARCHAR(3) PRIMARY KEY, NMGRUPSERV VARCHAR(40))"));
    exec(db, QStringLiteral("CREATE TABLE SERVICO (CDFILIAL VARCHAR(4), CDSERVFILI VARCHAR(5), NMSERVICO VARCHAR(40), "
                            "CDGRUPSERV VARCHAR(3), PRIMARY KEY (CDFILIAL, CDSERVFILI))"));
    exec(db, QStringLiteral("CREATE TABLE PRODUTO (CDARVPROD VARCHAR(20) PRIMARY KEY, NMPRODUTO VARCHAR(40), "
                            "CDNVPRODUTO INTEGER, IDESTOCAVEL CHAR(1))"));
    exec(db, QStringLiteral("CREATE TABLE CUSTREAL (CDFILIAL VARCHAR(4), CDSERVFILI VARCHAR(5), CDARVPROD VARCHAR(20), "
                            "NRTIPOCUSTO INTEGER, DTMOVIMENTO DATE, QTREAL NUMERIC(15,3), VRCUSTREAL NUMERIC(15,2))"));
    exec(db, QStringLiteral("CREATE INDEX CUSTREAL_I1 ON CUSTREAL (CDFILIAL, NRTIPOCUSTO, DTMOVIMENTO)"));
    exec(db, QStringLiteral("INSERT INTO FILIAL VALUES ('0100','Central Norte','N','S','0100'),"
                            "('0101','Escola Alfa','N','N','0100'),('0102','Escola Beta','N','N','0100'),"
                            "('0200','Central Sul','N','S','0200'),('0201','Escola Gama','N','N','0200')"));
    exec(db, QStringLiteral("INSERT INTO GRUPSERV VALUES ('G01','Refeições'),('G02','Lanches')"));
    exec(db, QStringLiteral("INSERT INTO SERVICO VALUES ('0101','00001','Desjejum','G01'),('0101','00002','Almoço','G01'),"
                            "('0101','00003','Lanche','G02'),('0102','00001','Almoço','G01'),('0201','00001','Almoço','G01')"));
    db.transaction();
    QSqlQuery ins(db);
    ins.prepare(QStringLiteral("INSERT INTO PRODUTO VALUES (?, ?, ?, ?)"));
    for (const auto &p : products()) {
        const int len = int(qstrlen(p.code));
        ins.addBindValue(QString::fromLatin1(p.code));
        ins.addBindValue(QString::fromUtf8(p.name));
        ins.addBindValue(len == 2 ? 1 : len == 4 ? 2 : 3);
        ins.addBindValue(QString::fromLatin1(p.stockable));
        if (!ins.exec())
            qFatal("fixture: %s", qPrintable(ins.lastError().text()));
    }
    ins.prepare(QStringLiteral("INSERT INTO CUSTREAL VALUES (?, ?, ?, ?, ?, ?, ?)"));
    forEachCost([&](const CostRow &r) {
        ins.addBindValue(r.branch);
        ins.addBindValue(r.service);
        ins.addBindValue(r.product);
        ins.addBindValue(r.costType);
        ins.addBindValue(r.day.toString(Qt::ISODate));
        ins.addBindValue(r.qt);
        ins.addBindValue(r.vr);
        if (!ins.exec())
            qFatal("fixture: %s", qPrintable(ins.lastError().text()));
    });
    db.commit();
    return db;
}

inline void close()
{
    {
        QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
}

} // namespace ReportFixture
