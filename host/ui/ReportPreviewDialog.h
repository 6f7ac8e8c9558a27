// The print preview of a report: its pages in a scrolling view that paints
// them as they come into sight (PreviewPageView), opening at the page's
// width, a tool bar with print (Ctrl+P), zoom (Ctrl+-, Ctrl++, Ctrl+wheel,
// a percent box), page width (Ctrl+0) and the page number ("Página X de Y",
// which also jumps to a page), Localizar (Ctrl+F, PreviewFindBar) and Fechar
// (Esc; while the find bar shows, Esc puts it away first). Tab reaches every control;
// PgUp, PgDn, Home and End move by page in the view. Printing runs off the GUI thread with its progress
// (HostUi::waitForWork), on the preview's own paper and orientation: when
// the print dialog chose others, the person is asked first (HostUi::askYesNo).
// A page that cannot be painted is reported through HostUi once.
#pragma once

#include <QDialog>
#include <QKeySequence>
#include <QList>
#include <functional>

class PagedDocument;
class PreviewFindBar;
class PreviewPageView;
class QPrinter;
class QSpinBox;
class QToolBar;

class ReportPreviewDialog : public QDialog {
    Q_OBJECT

public:
    explicit ReportPreviewDialog(PagedDocument &doc, QWidget *parent = nullptr);

    PreviewPageView *view() const { return m_view; }
    // The tool bar, for commands added by others (exports).
    QToolBar *toolBar() const { return m_tools; }

public slots:
    void print();

private:
    // Whether the print goes on when the printer's paper or orientation is
    // not the preview's: the person is asked, and printing keeps the preview's.
    bool keepsPreviewPage(const QPrinter &printer) const;
    void buildTools(int pageCount);
    void addTool(const QString &caption, const QString &name, const QList<QKeySequence> &keys,
                 const std::function<void()> &run);

    PagedDocument &m_doc;
    PreviewPageView *m_view;
    QToolBar *m_tools;
    QSpinBox *m_page;
    QSpinBox *m_zoom = nullptr;
    PreviewFindBar *m_find = nullptr;
};
