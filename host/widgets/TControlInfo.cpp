#include "TControlInfo.h"
#include "TFont.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

TControlInfo::TControlInfo(QWidget *w) : QObject(w)
{
    setObjectName(QStringLiteral("__controlInfo"));
}

TControlInfo *TControlInfo::of(QWidget *w)
{
    if (auto *info = find(w))
        return info;
    return new TControlInfo(w);
}

TControlInfo *TControlInfo::find(const QWidget *w)
{
    if (!w)
        return nullptr;
    for (QObject *c : w->children())
        if (auto *info = qobject_cast<TControlInfo *>(c))
            return info;
    return nullptr;
}

QWidget *TControlInfo::widget() const { return static_cast<QWidget *>(parent()); }

int TControlInfo::Left() const { return widget()->x(); }
void TControlInfo::setLeft(int v) { widget()->move(v, widget()->y()); }
int TControlInfo::Top() const { return widget()->y(); }
void TControlInfo::setTop(int v) { widget()->move(widget()->x(), v); }
int TControlInfo::Width() const { return widget()->width(); }
void TControlInfo::setWidth(int v) { widget()->resize(v, widget()->height()); }
int TControlInfo::Height() const { return widget()->height(); }
void TControlInfo::setHeight(int v) { widget()->resize(widget()->width(), v); }
bool TControlInfo::Enabled() const { return widget()->isEnabled(); }
void TControlInfo::setEnabled(bool v) { widget()->setEnabled(v); }

void TControlInfo::setVisible(bool v)
{
    m_visible = v;
    // Forms decide their own showing; child controls just hide.
    if (!widget()->isWindow())
        widget()->setVisible(v);
}

QString TControlInfo::Hint() const { return widget()->toolTip(); }

void TControlInfo::setHint(const QString &v)
{
    widget()->setToolTip(v);
}

void TControlInfo::setShowHint(bool v)
{
    m_showHint = v;
    m_parentShowHint = false;
}

void TControlInfo::setColor(const QString &v)
{
    bool ok = false;
    const QColor c = colorFromName(v, &ok);
    if (!ok)
        return;
    m_color = v;
    m_parentColor = false;
    QWidget *w = widget();
    QPalette p = w->palette();
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
}

QObject *TControlInfo::Font() { return font(); }

TFont *TControlInfo::font()
{
    if (!m_font)
        m_font = new TFont(this);
    return m_font;
}

QColor TControlInfo::colorFromName(const QString &name, bool *ok)
{
    static const QHash<QString, QColor> named = {
        {QStringLiteral("clBlack"), QColor(0, 0, 0)},
        {QStringLiteral("clMaroon"), QColor(128, 0, 0)},
        {QStringLiteral("clGreen"), QColor(0, 128, 0)},
        {QStringLiteral("clNavy"), QColor(0, 0, 128)},
        {QStringLiteral("clBlue"), QColor(0, 0, 255)},
        {QStringLiteral("clRed"), QColor(255, 0, 0)},
        {QStringLiteral("clWhite"), QColor(255, 255, 255)},
        {QStringLiteral("clGray"), QColor(128, 128, 128)},
        {QStringLiteral("clSilver"), QColor(192, 192, 192)},
        {QStringLiteral("clYellow"), QColor(255, 255, 0)},
        // System colours, with the classic desktop values.
        {QStringLiteral("clInfoBk"), QColor(255, 255, 225)},
        {QStringLiteral("clBtnFace"), QColor(240, 240, 240)},
        {QStringLiteral("clWindow"), QColor(255, 255, 255)},
        {QStringLiteral("clWindowText"), QColor(0, 0, 0)},
        {QStringLiteral("clInfoText"), QColor(0, 0, 0)},
        {QStringLiteral("clHighlight"), QColor(0, 120, 215)},
        {QStringLiteral("clGrayText"), QColor(109, 109, 109)},
    };
    if (ok)
        *ok = true;
    auto it = named.constFind(name);
    if (it != named.constEnd())
        return it.value();
    // $00BBGGRR, as stored by the definitions.
    if (name.startsWith(QLatin1Char('$'))) {
        bool good = false;
        const uint v = name.mid(1).toUInt(&good, 16);
        if (good)
            return QColor(v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff);
    }
    if (ok)
        *ok = false;
    return QColor();
}
