#include "SearchScript.h"
#include "toolkit/HostUi.h"
#include "toolkit/SearchSource.h"

bool SearchScript::answer(HostUi &ui, const SearchRequest &request, SearchSource &source, SearchChoice &choice)
{
    QList<QStringList> rows;
    while (!source.atEnd())
        if (source.fetch(1000, rows) == 0)
            break;
    const int keyCol = source.keyColumn();
    auto keyOf = [&](int i) { return keyCol < rows.at(i).size() ? rows.at(i).at(keyCol) : QString(); };

    Shown s{request.title, int(rows.size()), request.multiple, {}, {}};
    bool chosen = false;
    if (rows.isEmpty()) {
        shown.append(s);
        if (onSearch)
            onSearch(s);
        ui.showInfo(request.emptyMessage());
        return false;
    }
    const Answer a = answers.isEmpty() ? Answer::cancelled() : answers.dequeue();
    if (!a.cancel) {
        SearchChoice c;
        for (int i = 0; i < rows.size(); ++i) {
            const QString k = keyOf(i);
            if (!a.codes.contains(k) || c.keys.contains(k))
                continue;
            if (c.row < 0)
                c.row = i;
            c.keys << k;
            if (!request.multiple)
                break;
        }
        for (const QString &code : a.codes) {
            bool found = false;
            for (int i = 0; i < rows.size() && !found; ++i)
                found = keyOf(i) == code;
            if (!found)
                s.unmatched << code;
        }
        // A code no row holds cannot be chosen by a person either.
        if (!c.keys.isEmpty()) {
            choice = c;
            s.chosen = c.keys;
            chosen = true;
        }
    }
    shown.append(s);
    if (onSearch)
        onSearch(s);
    return chosen;
}
