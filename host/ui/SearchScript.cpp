#include "SearchScript.h"
#include "SearchModel.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "core/SearchSource.h"

#include <climits>

void SearchScript::record(const Shown &s)
{
    shown.append(s);
    if (onSearch)
        onSearch(s);
}

bool SearchScript::choose(const SearchRequest &request, const QStringList &keys, Shown &s, SearchChoice &choice)
{
    const Answer a = answers.isEmpty() ? Answer::cancelled() : answers.dequeue();
    if (a.cancel)
        return false;
    SearchChoice c;
    for (int i = 0; i < keys.size(); ++i) {
        const QString &k = keys.at(i);
        if (!a.codes.contains(k) || c.keys.contains(k))
            continue;
        if (c.row < 0)
            c.row = i;
        c.keys << k;
        if (!request.multiple)
            break;
    }
    for (const QString &code : a.codes)
        if (!keys.contains(code))
            s.unmatched << code;
    // A code no row holds cannot be chosen by a person either.
    if (c.keys.isEmpty())
        return false;
    choice = c;
    s.chosen = c.keys;
    return true;
}

bool SearchScript::answer(HostUi &ui, const SearchRequest &request, SearchSource &source, SearchChoice &choice)
{
    if (!filter.isNull())
        return answerFiltered(ui, request, source, choice);
    QList<QStringList> rows;
    try {
        while (!source.atEnd())
            if (source.fetch(1000, rows) == 0)
                break;
    } catch (const EHostError &e) {
        Shown failed{request.title, 0, request.multiple, {}, {}, {}, -1, {}, QStringLiteral("Erro ao ler a lista: ") + e.text()};
        record(failed);
        return false;
    }
    const int keyCol = source.keyColumn();
    QStringList keys;
    for (const QStringList &r : std::as_const(rows))
        keys << (keyCol < r.size() ? r.at(keyCol) : QString());

    Shown s{request.title, int(rows.size()), request.multiple, {}, {}, {}, -1, {}, {}};
    if (rows.isEmpty()) {
        record(s);
        ui.showInfo(request.emptyMessage());
        return false;
    }
    const bool chosen = choose(request, keys, s, choice);
    record(s);
    return chosen;
}

bool SearchScript::answerFiltered(HostUi &ui, const SearchRequest &request, SearchSource &source,
                                  SearchChoice &choice)
{
    SearchModel model(source, request.multiple, {});
    Shown s{request.title, 0, request.multiple, {}, {}, filter, -1, {}, {}};
    if (!model.readErrorMessage().isEmpty()) {
        filter = QString();
        s.error = model.readErrorMessage();
        record(s);
        return false;
    }
    if (model.rowCount() == 0) {
        s.filter = QString(); // no list was shown to type into
        record(s);
        ui.showInfo(request.emptyMessage());
        return false;
    }
    model.setFilter(filter);
    filter = QString();
    s.rows = model.rowCount();
    for (int r = 0; r < s.rows; ++r) {
        QStringList shownRow;
        for (int c = 0; c < model.columnCount(); ++c)
            shownRow << model.displayText(model.sourceRow(r), c).trimmed();
        s.matches << shownRow;
    }
    model.countAll();
    s.total = model.total();
    if (!model.readErrorMessage().isEmpty()) {
        s.error = model.readErrorMessage();
        record(s);
        return false;
    }
    model.ensureRows(INT_MAX);
    QStringList keys;
    for (int r = 0; r < model.rowCount(); ++r)
        keys << model.key(model.sourceRow(r));
    const bool chosen = choose(request, keys, s, choice);
    if (chosen)
        choice.row = model.sourceRow(choice.row);
    record(s);
    return chosen;
}
