#include "SearchLists.h"
#include "SearchDataSetSource.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBQuery.h"
#include "data/TDataSource.h"

TADOIBDataSet *searchDataSet(QObject *dataSource)
{
    TADOIBDataSet *ds = nullptr;
    if (auto *src = qobject_cast<TDataSource *>(dataSource))
        ds = src->dataSet();
    else if (auto *d = qobject_cast<TADOIBDataSet *>(dataSource))
        ds = d;
    else if (auto *q = qobject_cast<TADOIBQuery *>(dataSource))
        ds = q->dataSet();
    if (!ds)
        throw EHostError(QStringLiteral("Pesquisa sem fonte de dados%1.")
                             .arg(dataSource ? QStringLiteral(" (%1)").arg(dataSource->objectName()) : QString()));
    return ds;
}

QStringList splitLista(const QString &list)
{
    QStringList out;
    for (const QString &code : list.split(kListSeparator, Qt::SkipEmptyParts))
        if (!code.trimmed().isEmpty())
            out << code;
    return out;
}

bool Pesquisar_Plus(QObject *dataSource, const QString &caption, bool keepOpen, bool filterBox)
{
    TADOIBDataSet *ds = searchDataSet(dataSource);
    if (!keepOpen && ds->Active())
        ds->Close();
    if (!ds->Active())
        ds->Open();
    SearchRequest req;
    splitSearchCaption(caption, req.title, req.emptyText);
    req.filterBox = filterBox;
    SearchDataSetSource source(ds, {});
    SearchChoice choice;
    if (!HostUi::instance().searchList(req, source, choice) || choice.keys.isEmpty())
        return false;
    return source.positionOn(choice.keys.first());
}

bool PesquisaLista(QObject *dataSource, const QString &keyField, const QString &caption, bool accumulate,
                   QStringList &list)
{
    TADOIBDataSet *ds = searchDataSet(dataSource);
    if (!ds->Active())
        ds->Open();
    SearchRequest req;
    splitSearchCaption(caption, req.title, req.emptyText);
    req.multiple = true;
    if (!accumulate)
        req.ticked = list;
    SearchDataSetSource::Options opt;
    opt.keyField = keyField;
    SearchDataSetSource source(ds, opt);
    SearchChoice choice;
    if (!HostUi::instance().searchList(req, source, choice))
        return false;
    QStringList codes;
    for (const QString &k : choice.keys) {
        if (k.contains(kListSeparator))
            throw EHostError(QStringLiteral("O código \"%1\" contém o separador de listas \"%2\".").arg(k, kListSeparator));
        if (!k.trimmed().isEmpty() && !codes.contains(k))
            codes << k;
    }
    if (accumulate) {
        QStringList all = list;
        for (const QString &k : codes)
            if (!all.contains(k))
                all << k;
        codes = all;
    }
    list = codes;
    return true;
}

bool PesquisaLista(QObject *dataSource, const QString &keyField, const QString &caption, bool accumulate,
                   QString &list)
{
    QStringList codes = splitLista(list);
    if (!PesquisaLista(dataSource, keyField, caption, accumulate, codes))
        return false;
    list = codes.join(kListSeparator);
    return true;
}
