// The preview's search (Ctrl+F): a text box with "Próximo" (Enter, F3) and
// "Anterior" (Shift+Enter, Shift+F3). It looks for the text, ignoring case,
// in the pages' texts (PagedDocument::pageTexts), from the page in view on,
// going round the end; a page found is brought into view and the bar says
// which it is, or that the text is on no page.
#pragma once

#include <QWidget>

class PagedDocument;
class PreviewPageView;
class QLabel;
class QLineEdit;

class PreviewFindBar : public QWidget {
    Q_OBJECT

public:
    PreviewFindBar(PagedDocument &doc, PreviewPageView *view, QWidget *parent = nullptr);

    // Shows the bar with the text box focused and selected.
    void start();
    // Hides the bar and gives the focus back to the pages (Esc while it shows).
    void dismiss();
    // Looks for the box's text after (or before) the last page found, else
    // from the page in view; the page found, from 0, or -1.
    int findNext();
    int findPrevious();

private:
    int find(int step);
    bool pageHas(int index, const QString &text);

    PagedDocument &m_doc;
    PreviewPageView *m_view;
    QLineEdit *m_text;
    QLabel *m_result;
    QString m_lastText;
    int m_lastPage = -1;
};
