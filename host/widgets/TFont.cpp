#include "TFont.h"
#include "TControlInfo.h"
#include "core/Dispatch.h"

#include <QPointer>
#include <utility>

#include <QFont>
#include <QPalette>
#include <QWidget>

TFont::TFont(TControlInfo *owner) : QObject(owner) {}

QWidget *TFont::widget() const { return static_cast<TControlInfo *>(parent())->widget(); }

void TFont::setName(const QString &v)
{
    m_name = v;
    apply();
}

void TFont::setHeight(int v)
{
    m_height = v;
    apply();
}

int TFont::Size() const { return m_height ? (qAbs(m_height) * 72 + 48) / 96 : 0; }

void TFont::setSize(int points) { setHeight(-(points * 96 + 36) / 72); }

void TFont::setStyle(const QStringList &v)
{
    m_style = v;
    apply();
}

void TFont::setColor(const QString &v)
{
    m_color = v;
    bool ok = false;
    const QColor c = TControlInfo::colorFromName(v, &ok);
    if (!ok)
        return;
    // Disabled controls keep the style's grey text.
    QPalette p = widget()->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::WindowText, c);
        p.setColor(g, QPalette::Text, c);
        p.setColor(g, QPalette::ButtonText, c);
    }
    widget()->setPalette(p);
}

QString TFont::fontFamilyFor(const QString &storedName)
{
    // The classic bitmap UI fonts are not installed on Linux; Liberation Sans has
    // Arial's metrics, the closest to them among the packaged fonts.
    static const QStringList sansStandIns = {
        QStringLiteral("MS Sans Serif"), QStringLiteral("MS Shell Dlg"),
        QStringLiteral("MS Shell Dlg 2"), QStringLiteral("Tahoma"),
        QStringLiteral("Arial"), QStringLiteral("Verdana")};
    if (storedName.isEmpty() || sansStandIns.contains(storedName, Qt::CaseInsensitive))
        return QStringLiteral("Liberation Sans");
    return storedName;
}

namespace {
QList<QPointer<TFont>> &pendingFonts()
{
    static QList<QPointer<TFont>> list;
    return list;
}
}

void TFont::applyPending()
{
    const QList<QPointer<TFont>> fonts = std::exchange(pendingFonts(), {});
    for (const QPointer<TFont> &f : fonts)
        if (f)
            f->applyNow();
}

void TFont::apply()
{
    if (Dispatch::loading()) {
        if (!m_pending) {
            m_pending = true;
            pendingFonts().append(this);
        }
        return;
    }
    applyNow();
}

void TFont::applyNow()
{
    m_pending = false;
    static_cast<TControlInfo *>(parent())->setParentFont(false);
    QFont f = widget()->font();
    f.setFamilies({fontFamilyFor(m_name), QStringLiteral("DejaVu Sans")});
    if (m_height < 0)
        f.setPixelSize(-m_height);
    else if (m_height > 0)
        f.setPixelSize(m_height);
    f.setBold(m_style.contains(QStringLiteral("fsBold")));
    f.setItalic(m_style.contains(QStringLiteral("fsItalic")));
    f.setUnderline(m_style.contains(QStringLiteral("fsUnderline")));
    f.setStrikeOut(m_style.contains(QStringLiteral("fsStrikeOut")));
    widget()->setFont(f);
}
