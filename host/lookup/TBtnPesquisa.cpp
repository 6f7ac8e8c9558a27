#include "TBtnPesquisa.h"
#include "SearchDataSetSource.h"
#include "SearchLists.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"
#include "core/HostUi.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBStringField.h"
#include "widgets/Glyphs.h"

#include <QMetaMethod>

REGISTER_COMPONENT(TBtnPesquisa)

namespace {
bool hasColumn(const QStringList &columns, const QString &name)
{
    if (name.isEmpty())
        return false;
    for (const QString &c : columns)
        if (c.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
} // namespace

TBtnPesquisa::TBtnPesquisa(QWidget *parent) : QToolButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setGlyph(QString());
    resize(21, 21);
    connect(this, &QToolButton::clicked, this, [this] { Click(); });
}

void TBtnPesquisa::setGlyph(const QString &name)
{
    m_glyph = name;
    const QIcon icon = Glyphs::icon(name);
    setIcon(icon.isNull() ? Glyphs::icon(QStringLiteral("search")) : icon);
}

void TBtnPesquisa::Click()
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TBtnPesquisa::OnClick))) {
        Dispatch::fire([this] { emit OnClick(this); });
        return;
    }
    Dispatch::fire([this] { Pesquisar(); });
}

bool TBtnPesquisa::Pesquisar()
{
    bool goOn = true;
    Dispatch::fire([&] { emit OnBeforePesq(this, &goOn); });
    if (!goOn)
        return false;

    TADOIBDataSet *ds = searchDataSet(m_dataSource);
    if (!ds->Active())
        ds->Open();
    const QStringList columns = ds->ColumnNames();
    SearchDataSetSource::Options opt;
    const bool withCode = hasColumn(columns, m_fieldCodigo);
    if (withCode)
        opt.keyField = m_fieldCodigo;
    if (withCode && hasColumn(columns, m_fieldNome))
        opt.fields = {m_fieldCodigo, m_fieldNome};
    if (hasColumn(columns, m_fieldNivel) && hasColumn(columns, m_fieldNome)) {
        opt.levelField = m_fieldNivel;
        opt.nameField = m_fieldNome;
    }
    SearchDataSetSource source(ds, opt);
    SearchRequest req;
    req.title = m_title;
    req.emptyText = m_emptyError;
    SearchChoice choice;
    if (!HostUi::instance().searchList(req, source, choice) || choice.keys.isEmpty())
        return false;
    if (!source.positionOn(choice.keys.first()))
        return false;
    if (withCode && m_associate && m_associate->metaObject()->indexOfProperty("Text") >= 0)
        m_associate->setProperty("Text", ds->FieldByName(m_fieldCodigo)->AsString());
    Dispatch::fire([this] { emit OnAfterPesq(this); });
    return true;
}
