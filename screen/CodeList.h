// A list of codes as the screen keeps it (groups or services), and the one
// text the report and the screen's queries receive for it. The joined forms
// are a contract with the report definitions: a list the screen builds
// itself joins its codes with "_"; a list chosen in a search list keeps the
// search list's form (codes joined by kListSeparator, SearchLists.h).
#pragma once

#include <QStringList>

class CodeList {
public:
    // No codes; its text is empty.
    CodeList() = default;
    // Codes ticked in a search list, in its order.
    static CodeList fromSearch(const QStringList &codes);
    // A search list's codes as text once written by it (kept parameters).
    static CodeList fromSearchText(const QString &text);
    // Codes the screen gathered itself.
    static CodeList built(const QStringList &codes);

    const QStringList &codes() const { return m_codes; }
    bool isEmpty() const { return m_codes.isEmpty(); }
    qsizetype size() const { return m_codes.size(); }
    // The codes joined, as the report receives them.
    QString text() const;
    void clear() { m_codes.clear(); }

    bool operator==(const CodeList &other) const = default;

private:
    CodeList(const QStringList &codes, QChar separator) : m_codes(codes), m_separator(separator) {}

    QStringList m_codes;
    QChar m_separator;
};
