// Which pages of a laid-out run go to a printer or a PDF, and how many
// times: a page range (1-based, both ends included; 0 for "all"), copies,
// and whether copies are collated (1 2 3, 1 2 3) or not (1 1, 2 2, 3 3).
// check() refuses a range that is not inside the document with a message
// for the user (EHostError); runs() lists the stretches of pages to paint in
// order, [first, last) from 0.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QPrinter;

struct PageSelection {
    int from = 0, to = 0; // 0, 0: every page
    int copies = 1;
    bool collate = true;

    // The pages and copies chosen in a print dialog. A device that makes its
    // own copies (a print queue: deviceCopies) gets each page once.
    static PageSelection of(const QPrinter &printer, bool deviceCopies);

    bool allPages() const { return from == 0 && to == 0; }
    // Throws EHostError when the range does not fit a document of pageCount
    // pages (or is backwards, or copies is below 1).
    void check(int pageCount, const QString &title) const;
    QList<QPair<int, int>> runs(int pageCount) const;
    // Pages painted in all (copies included).
    int pagesToPaint(int pageCount) const;
};
