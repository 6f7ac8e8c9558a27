// A document of pages that a viewer shows one page at a time, painting only
// the pages that come into view (a report of 18,000 pages opens at once).
#pragma once

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <memory>

class QPainter;
class QPrinter;
class Work;

class PagedDocument {
public:
    virtual ~PagedDocument() = default;

    virtual QString title() const = 0;
    virtual int pageCount() const = 0;
    // Paper and margins of every page.
    virtual QPageLayout pageLayout() const = 0;
    // Units of paintPage per millimetre of paper.
    virtual double unitsPerMm() const = 0;
    // Paints page index (from 0) with p, whose origin is the top-left corner
    // of the printable area (inside the margins), in the document's units.
    // Throws EHostError when the page cannot be made.
    virtual void paintPage(QPainter &p, int index) = 0;
    // The texts page index shows, in the order they are painted (the
    // preview's search); throws EHostError as paintPage does.
    virtual QStringList pageTexts(int index);
    // Starts printing the pages and copies chosen on printer (its range and
    // copy count), off the GUI thread; the printer must outlive the work.
    // Throws EHostError when it cannot start or the range is outside the
    // document.
    virtual std::unique_ptr<Work> startPrinting(QPrinter *printer) = 0;
};
