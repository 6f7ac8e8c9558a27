// Answers BeforeGetQueryParams the way a report screen does: sets, with the
// same setters, each parameter of its table that the list declares, and
// records what every call saw.
#pragma once

#include "core/Errors.h"
#include "data/TParam.h"
#include "report/commands/TReportDesignerDialog.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QVariant>

class ParamFiller : public QObject {
    Q_OBJECT
public:
    struct Value {
        enum Setter { String, Integer, DateTime, Variant } setter;
        QVariant value;
    };
    QList<QPair<QString, Value>> table;
    QList<QStringList> calls;   // names in the list, per call
    bool cancel = false;
    QString throwText;          // when set, the handler raises EHostError

    void set(const QString &name, Value::Setter s, const QVariant &v)
    {
        for (auto &e : table)
            if (e.first == name) {
                e.second = {s, v};
                return;
            }
        table.append({name, {s, v}});
    }

    // The parameters of the fixed run the golden files were made with.
    void standardValues()
    {
        set(QStringLiteral("P_CDFILCENTXEV"), Value::String, QStringLiteral("0100"));
        set(QStringLiteral("P_CDFILIAL"), Value::String, QStringLiteral("0101"));
        set(QStringLiteral("P_NMCUSTO"), Value::String, QStringLiteral("Custo Médio"));
        set(QStringLiteral("P_NRTIPOCUSTO"), Value::Integer, 1);
        set(QStringLiteral("P_CDSERVFILI"), Value::String, QStringLiteral("00001_00003"));
        set(QStringLiteral("P_CDPRODUTOINI"), Value::String, QStringLiteral("01"));
        set(QStringLiteral("P_CDPRODUTOFIN"), Value::String, QStringLiteral("02zzzzzz"));
        set(QStringLiteral("P_DTINICIAL"), Value::DateTime, QDate(2026, 3, 10).startOfDay());
        set(QStringLiteral("P_DTFINAL"), Value::DateTime, QDate(2026, 4, 20).startOfDay());
        set(QStringLiteral("P_DTPERIINIC"), Value::Variant, QStringLiteral("10/03/2026"));
        set(QStringLiteral("P_DTPERIFINA"), Value::Variant, QStringLiteral("20/04/2026"));
        set(QStringLiteral("P_DTMESINIC"), Value::DateTime, QDate(2026, 3, 1).startOfDay());
        set(QStringLiteral("P_DTMESFINA"), Value::DateTime, QDate(2026, 4, 30).startOfDay());
        set(QStringLiteral("P_IDESTOCAVEIS"), Value::String, QStringLiteral("S"));
        set(QStringLiteral("P_IDNESTOCAVEIS"), Value::String, QStringLiteral("S"));
        set(QStringLiteral("P_NRTAMACNIVEL"), Value::Variant, 4);
        set(QStringLiteral("P_NRTAMCODIGO"), Value::Variant, 8);
    }

public slots:
    void fill(TParams *Params, bool *Flag)
    {
        QStringList names;
        for (int i = 0; i < Params->Count(); ++i)
            names << Params->at(i).Name();
        calls << names;
        if (!throwText.isEmpty())
            throw EHostError(throwText);
        for (const auto &e : std::as_const(table)) {
            if (!ExistParam(*Params, e.first))
                continue;
            TParam &p = Params->ParamByName(e.first);
            switch (e.second.setter) {
            case Value::String: p.SetAsString(e.second.value.toString()); break;
            case Value::Integer: p.SetAsInteger(e.second.value.toInt()); break;
            case Value::DateTime: p.SetAsDateTime(e.second.value.toDateTime()); break;
            case Value::Variant: p.SetAsVariant(e.second.value); break;
            }
        }
        if (cancel)
            *Flag = false;
    }
};

// A runner of code's reports whose parameter event a ParamFiller answers with
// the standard values; both belong to parent. The filler goes to *filler.
inline TReportDesignerDialog *standardRunner(QObject *parent, const QString &code, ParamFiller **filler)
{
    auto *rpdd = new TReportDesignerDialog(parent);
    rpdd->setReportCode(code);
    *filler = new ParamFiller;
    (*filler)->setParent(rpdd);
    (*filler)->standardValues();
    QObject::connect(rpdd, &TReportDesignerDialog::BeforeGetQueryParams, *filler, &ParamFiller::fill);
    return rpdd;
}
