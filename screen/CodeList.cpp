#include "CodeList.h"
#include "lookup/SearchLists.h"

CodeList CodeList::fromSearch(const QStringList &codes) { return CodeList(codes, kListSeparator); }

CodeList CodeList::fromSearchText(const QString &text) { return fromSearch(splitLista(text)); }

CodeList CodeList::built(const QStringList &codes) { return CodeList(codes, QLatin1Char('_')); }

QString CodeList::text() const { return m_codes.join(m_separator); }
