// Scripted answers to search lists, for tests and scripted sessions.
//
// Each search shown takes the next queued answer: a list of codes (the rows
// whose key equals one of them are chosen, in the order of the rows) or a
// cancel. With no queued answer the search is cancelled. An empty list
// takes no answer: it records the search with 0 rows and shows its
// empty-list text as an information message. Every search is recorded.
#pragma once

#include "toolkit/SearchRequest.h"

#include <QList>
#include <QQueue>
#include <functional>

class HostUi;
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
    };

    // Answers one search; `ui` shows the empty-list text.
    bool answer(HostUi &ui, const SearchRequest &request, SearchSource &source, SearchChoice &choice);

    QQueue<Answer> answers;
    QList<Shown> shown;
    // Called after each search is recorded.
    std::function<void(const Shown &)> onSearch;
};
