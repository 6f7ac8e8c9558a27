// Scripted answers to search lists, for tests and scripted sessions.
//
// Each search shown takes the next queued answer: a list of codes (the rows
// whose key equals one of them are chosen, in the order of the rows) or a
// cancel. With no queued answer the search is cancelled. An empty list
// takes no answer: it records the search with 0 rows and shows its
// empty-list text as an information message. Every search is recorded.
//
// A filter set beforehand (filter) is typed into the next list's filter box
// before its answer is given, through the list's own model (SearchModel),
// so the database or the model filters as for a person; the answer then
// chooses among the matching rows only. The search is recorded with the
// filter, the rows of the first page (rows, matches) and the count of all
// matching rows (total). An empty list keeps its filter for the next one.
// A list that cannot be read is recorded with the list's own message
// (error) and cancelled, as a person can only cancel it.
#pragma once

#include "core/SearchRequest.h"

#include <QList>
#include <QQueue>
#include <functional>

class HostUi;
class SearchModel;
class SearchSource;

class SearchScript {
public:
    struct Answer {
        bool cancel = false;
        QStringList codes;
        static Answer choose(const QStringList &codes) { return {false, codes}; }
        static Answer cancelled() { return {true, {}}; }
    };
    struct Shown {
        QString title;
        int rows = 0;
        bool multiple = false;
        QStringList chosen;     // keys chosen; empty when cancelled
        QStringList unmatched;  // codes of the answer that no row holds
        QString filter;         // null: no filter was typed
        qint64 total = -1;      // with a filter: all matching rows
        QList<QStringList> matches; // with a filter: the first page as shown
        QString error;          // the list could not be read: what it says
    };

    // Answers one search; `ui` shows the empty-list text.
    bool answer(HostUi &ui, const SearchRequest &request, SearchSource &source, SearchChoice &choice);

    QQueue<Answer> answers;
    // Typed into the next list's filter box; null: none.
    QString filter;
    QList<Shown> shown;
    // Called after each search is recorded.
    std::function<void(const Shown &)> onSearch;

private:
    bool answerFiltered(HostUi &ui, const SearchRequest &request, SearchSource &source, SearchChoice &choice);
    // Chooses the rows of keys (in row order) by the next answer.
    bool choose(const SearchRequest &request, const QStringList &keys, Shown &s, SearchChoice &choice);
    void record(const Shown &s);
};
