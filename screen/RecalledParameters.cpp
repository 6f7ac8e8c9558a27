#include "RecalledParameters.h"

namespace RecalledParameters {

QVariantMap stored(const ScreenChoices &c)
{
    return {
        {QStringLiteral("filial"), c.branch},
        {QStringLiteral("tipoCusto"), c.costType},
        {QStringLiteral("dataInicial"), c.dateInitial.toString(Qt::ISODate)},
        {QStringLiteral("dataFinal"), c.dateFinal.toString(Qt::ISODate)},
        {QStringLiteral("gruposEmLista"), c.groupsListed},
        {QStringLiteral("listaGrup"), c.groups.text()},
        {QStringLiteral("servicosEmLista"), c.servicesListed},
        {QStringLiteral("listaServPesq"), c.services.text()},
        {QStringLiteral("produtoInicial"), c.productInitial},
        {QStringLiteral("produtoFinal"), c.productFinal},
        {QStringLiteral("nivel"), c.level},
        {QStringLiteral("ordenacao"), c.ordering},
        {QStringLiteral("estocaveis"), c.stockable},
        {QStringLiteral("naoEstocaveis"), c.nonStockable},
    };
}

ScreenChoices fromStored(const QVariantMap &v)
{
    ScreenChoices c;
    c.branch = v.value(QStringLiteral("filial")).toString();
    c.costType = v.value(QStringLiteral("tipoCusto")).toString();
    c.dateInitial = QDate::fromString(v.value(QStringLiteral("dataInicial")).toString(), Qt::ISODate);
    c.dateFinal = QDate::fromString(v.value(QStringLiteral("dataFinal")).toString(), Qt::ISODate);
    c.groupsListed = v.value(QStringLiteral("gruposEmLista")).toBool();
    c.groups = CodeList::fromSearchText(v.value(QStringLiteral("listaGrup")).toString());
    c.servicesListed = v.value(QStringLiteral("servicosEmLista")).toBool();
    c.services = CodeList::fromSearchText(v.value(QStringLiteral("listaServPesq")).toString());
    c.productInitial = v.value(QStringLiteral("produtoInicial")).toString();
    c.productFinal = v.value(QStringLiteral("produtoFinal")).toString();
    c.level = v.value(QStringLiteral("nivel"), 0).toInt();
    c.ordering = v.value(QStringLiteral("ordenacao"), 0).toInt();
    c.stockable = v.value(QStringLiteral("estocaveis"), true).toBool();
    c.nonStockable = v.value(QStringLiteral("naoEstocaveis"), true).toBool();
    return c;
}

} // namespace RecalledParameters
