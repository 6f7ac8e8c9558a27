// Where each page of a report starts, worked out while the rows are read (the
// first pass): enough to paint any page later without the pages before it,
// and to print "Página X de Y" on the first page. A page starts at a line of
// some row's lines; a group header never ends a page (it moves to the next,
// with the headers just above it), and a page that starts inside a group
// repeats that group's header, marked "(continuação)" (the outer ones while
// they take at most half the page).
//
// Memory grows with the pages, a few hundred bytes each, never with the rows.
#pragma once

#include "ReportLineStream.h"

#include <QList>
#include <functional>

struct ReportPageStart {
    qint64 token = -1;        // store token of the row whose lines the page starts in (-1: after the last)
    qint64 row = 0;           // that row's index (the row count: the lines after the last row)
    int skip = 0;             // lines of that row that belong to the page before
    int lines = 0;            // lines on the page, repeated headers not counted
    qint64 firstLine = 0;     // index of the page's first line in the whole report
    QList<QPair<int, QString>> continued; // headers repeated at the top (level, text), outer first
    ReportLineStream::State state; // the stream before that row, but for its last row:
    qint64 lastToken = -1;    // the token of the row before (-1: none), read back when painting
};

class ReportPageIndex {
public:
    // linesPerPage: lines under the header; linesTaken(line): lines a line takes.
    ReportPageIndex(ReportLineStream &stream, int linesPerPage);

    // The lines of one row (token, index), just taken by the stream whose
    // state before that row was `before` (only read when a page starts here;
    // its last row is not kept, lastToken says where it is).
    void place(const QList<ReportLine> &lines, qint64 token, qint64 row, const ReportLineStream::State *before,
               qint64 lastToken, const std::function<int(const ReportLine &)> &linesTaken);
    // Whether the next row may start a page: then its state before must be kept.
    bool breakPossible() const;
    void finish();

    const QList<ReportPageStart> &pages() const { return m_pages; }
    qint64 lineCount() const { return m_lineCount; }

private:
    void startPage(const QList<ReportLine> &lines, int at, qint64 token, qint64 row,
                   const ReportLineStream::State *before, qint64 lastToken);

    ReportLineStream &m_stream;
    int m_linesPerPage;
    QList<ReportPageStart> m_pages;
    int m_capacity = 0, m_used = 0, m_usedLines = 0, m_trailing = 0;
    qint64 m_lineCount = 0;
};
