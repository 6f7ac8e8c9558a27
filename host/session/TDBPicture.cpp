#include "TDBPicture.h"
#include "core/Errors.h"

namespace {

bool isPositionChar(QChar c)
{
    return QStringView(u"LlAaCc09#").contains(c);
}

QString withoutTrailingBlanks(const QString &s)
{
    int n = int(s.size());
    while (n > 0 && s.at(n - 1).isSpace())
        --n;
    return s.left(n);
}

} // namespace

TDBPicture::TDBPicture(int type, const QString &name, const QList<int> &widths, const QString &editMask)
    : m_type(type), m_name(name), m_widths(widths), m_mask(editMask)
{
    // A picture may have no levels at all: codes of it then have no level
    // structure (every code is level 0, of length 0), and screens bound their
    // level choices at 0.
    for (int w : widths)
        if (w <= 0)
            throw EHostError(QStringLiteral("Máscara de código %1: largura de nível inválida.").arg(type));
    // The mask is the text before the first unescaped ';'.
    int letterCase = 0;
    for (int i = 0; i < editMask.size(); ++i) {
        const QChar c = editMask.at(i);
        if (c == QLatin1Char(';'))
            break;
        if (c == QLatin1Char('\\')) {
            ++i; // an escaped literal
            continue;
        }
        if (c == QLatin1Char('>')) {
            letterCase = (i + 1 < editMask.size() && editMask.at(i + 1) == QLatin1Char('<')) ? 0 : 1;
            if (letterCase == 0)
                ++i;
            continue;
        }
        if (c == QLatin1Char('<')) {
            letterCase = -1;
            continue;
        }
        if (c == QLatin1Char('!'))
            continue;
        if (isPositionChar(c))
            m_positions.append({c, letterCase});
    }
    if (m_positions.size() != fullLength())
        throw EHostError(QStringLiteral("Máscara de código %1 ('%2') tem %3 posições, mas os níveis somam %4.")
                             .arg(type).arg(editMask).arg(m_positions.size()).arg(fullLength()));
}

TDBPicture TDBPicture::fromText(int type, const QString &name, const QString &widths, const QString &editMask)
{
    QList<int> list;
    for (const QString &part : widths.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int w = part.trimmed().toInt(&ok);
        if (!ok)
            throw EHostError(QStringLiteral("Máscara de código %1: níveis inválidos '%2'.").arg(type).arg(widths));
        list << w;
    }
    return TDBPicture(type, name, list, editMask);
}

QList<int> TDBPicture::validLengths() const
{
    QList<int> out;
    int acc = 0;
    for (int w : m_widths)
        out << (acc += w);
    return out;
}

int TDBPicture::TamAcNivel(int level) const
{
    if (level <= 0)
        return 0;
    int acc = 0;
    for (int i = 0; i < m_widths.size() && i < level; ++i)
        acc += m_widths.at(i);
    return acc;
}

int TDBPicture::TamAcNivel(const QString &level) const
{
    bool ok = false;
    const int n = level.trimmed().toInt(&ok);
    return ok ? TamAcNivel(n) : 0;
}

int TDBPicture::levelOf(const QString &code) const
{
    const int length = int(withoutTrailingBlanks(code).size());
    if (length == 0)
        return 0;
    const QList<int> lengths = validLengths();
    for (int i = 0; i < lengths.size(); ++i)
        if (length <= lengths.at(i))
            return i + 1;
    return TtNiveis();
}

QString TDBPicture::Nivel(const QString &code) const { return QString::number(levelOf(code)); }

TDBPicture::Fault TDBPicture::check(const QString &code, int *position) const
{
    const QString c = withoutTrailingBlanks(code);
    if (!validLengths().contains(int(c.size())))
        return Fault::Length;
    for (int i = 0; i < c.size(); ++i) {
        const QChar ch = c.at(i);
        const Position &p = m_positions.at(i);
        bool ok = false;
        switch (p.kind.unicode()) {
        case '0': case '9': ok = ch >= QLatin1Char('0') && ch <= QLatin1Char('9'); break;
        case '#': ok = (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || ch == QLatin1Char('+') || ch == QLatin1Char('-'); break;
        case 'L': case 'l': ok = ch.isLetter(); break;
        case 'A': case 'a': ok = ch.isLetterOrNumber(); break;
        default: ok = !ch.isSpace(); break;
        }
        if (ok && ch.isLetter() && p.letterCase != 0)
            ok = p.letterCase > 0 ? ch.isUpper() : ch.isLower();
        if (!ok) {
            if (position)
                *position = i + 1;
            return Fault::Character;
        }
    }
    return Fault::None;
}
