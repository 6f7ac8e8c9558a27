// The print preview of a report: its pages in a scrolling view that paints
// them as they come into sight (PreviewPageView), a tool bar with print,
// zoom, page width and the page number ("Página X de Y", which also jumps to
// a page), and Fechar. Printing runs off the GUI thread with its progress
// (HostUi::waitForWork). A page that cannot be painted is reported through
// HostUi once.
#pragma once

#include <QDialog>

class PagedDocument;
class PreviewPageView;
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
    PagedDocument &m_doc;
    PreviewPageView *m_view;
    QToolBar *m_tools;
    QSpinBox *m_page;
};
