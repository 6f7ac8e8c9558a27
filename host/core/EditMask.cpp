#include "EditMask.h"

EditMask::EditMask(const QString &definition) : m_definition(definition)
{
    // The mask part may itself hold ';' only escaped; split on the last two.
    QString mask = definition;
    const QStringList parts = definition.split(QLatin1Char(';'));
    if (parts.size() >= 3) {
        mask = parts.mid(0, parts.size() - 2).join(QLatin1Char(';'));
        m_saveLiterals = parts[parts.size() - 2] != QLatin1String("0");
        const QString b = parts.last();
        m_blank = b.isEmpty() ? QLatin1Char(' ') : b[0];
    } else if (parts.size() == 2) {
        mask = parts[0];
        m_saveLiterals = parts[1] != QLatin1String("0");
    }
    int caseMode = 0;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == QLatin1Char('<') && i + 1 < mask.size() && mask[i + 1] == QLatin1Char('>')) {
            caseMode = 0;
            ++i;
            continue;
        }
        if (c == QLatin1Char('>')) { caseMode = 1; continue; }
        if (c == QLatin1Char('<')) { caseMode = -1; continue; }
        if (c == QLatin1Char('!')) continue; // blank handling: no meaning here
        Slot s;
        s.caseMode = caseMode;
        if (c == QLatin1Char('\\') && i + 1 < mask.size()) {
            s.literal = true;
            s.ch = mask[++i];
        } else if (QStringLiteral("09#LlAaCc").contains(c)) {
            s.ch = c;
        } else {
            s.literal = true;
            s.ch = c;
        }
        m_slots.append(s);
    }
}

int EditMask::inputLength() const
{
    int n = 0;
    for (const auto &s : m_slots)
        n += s.literal ? 0 : 1;
    return n;
}

bool EditMask::accepts(int slot, QChar ch, QChar *out) const
{
    const Slot &s = m_slots[slot];
    if (s.literal)
        return false;
    bool ok = false;
    switch (s.ch.unicode()) {
    case '0': case '9': ok = ch.isDigit(); break;
    case '#': ok = ch.isDigit() || ch == QLatin1Char('+') || ch == QLatin1Char('-'); break;
    case 'L': case 'l': ok = ch.isLetter(); break;
    case 'A': case 'a': ok = ch.isLetterOrNumber(); break;
    case 'C': case 'c': ok = ch.isPrint(); break;
    default: break;
    }
    if (ok && out)
        *out = s.caseMode > 0 ? ch.toUpper() : s.caseMode < 0 ? ch.toLower() : ch;
    return ok;
}

QString EditMask::toQtInputMask() const
{
    QString out;
    int caseMode = 0;
    for (const auto &s : m_slots) {
        if (s.caseMode != caseMode) {
            out += s.caseMode > 0 ? QStringLiteral(">") : s.caseMode < 0 ? QStringLiteral("<") : QStringLiteral("!");
            caseMode = s.caseMode;
        }
        if (s.literal) {
            out += QLatin1Char('\\');
            out += s.ch;
            continue;
        }
        // Qt's letters mean the opposite requiredness for digits; every position
        // is optional here so that partial codes can be typed.
        switch (s.ch.unicode()) {
        case '0': case '9': out += QLatin1Char('0'); break;
        case '#': out += QLatin1Char('#'); break;
        case 'L': case 'l': out += QLatin1Char('a'); break;
        case 'A': case 'a': out += QLatin1Char('n'); break;
        default: out += QLatin1Char('x'); break;
        }
    }
    out += QLatin1Char(';');
    out += m_blank;
    return out;
}

bool EditMask::fillsInputsInOrder(const QString &text, QString &shown) const
{
    int slot = 0;
    for (QChar c : text) {
        while (slot < m_slots.size() && m_slots[slot].literal)
            ++slot;
        QChar cased;
        if (slot >= m_slots.size() || !accepts(slot, c, &cased))
            return false;
        shown[slot++] = cased;
    }
    return true;
}

QString EditMask::filter(const QString &text) const
{
    QString shown;
    shown.reserve(m_slots.size());
    for (const auto &s : m_slots)
        shown += s.literal ? s.ch : m_blank;
    // The Text of a mask that leaves literals out holds input characters
    // only: read as such, a character equal to a literal ahead of it cannot
    // be taken for that literal.
    if (!m_saveLiterals) {
        QString plain = shown;
        if (fillsInputsInOrder(text, plain))
            return plain;
    }
    int slot = 0;
    for (QChar c : text) {
        while (slot < m_slots.size() && m_slots[slot].literal) {
            if (c == m_slots[slot].ch)
                break;
            ++slot;
        }
        if (slot >= m_slots.size())
            break;
        if (m_slots[slot].literal) { // the text carries the literal itself
            ++slot;
            continue;
        }
        QChar cased;
        if (accepts(slot, c, &cased)) {
            shown[slot] = cased;
            ++slot;
        }
    }
    return shown;
}

QString EditMask::valueOf(const QString &displayed) const
{
    QString out;
    int lastFilled = -1;
    for (int i = 0; i < m_slots.size() && i < displayed.size(); ++i) {
        if (m_slots[i].literal) {
            if (m_saveLiterals)
                out += m_slots[i].ch;
            continue;
        }
        const QChar c = displayed[i];
        if (c == m_blank || c.isSpace())
            continue;
        out += c;
        lastFilled = out.size();
    }
    // Literals after the last filled position belong to nothing.
    if (m_saveLiterals && lastFilled >= 0)
        out.truncate(lastFilled);
    else if (m_saveLiterals)
        out.clear();
    return out;
}
