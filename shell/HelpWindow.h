// The help of a screen: an HTML page of the screen's module resources,
// ":/help/<HelpContext>.html", found by the help context its definition
// stores, shown in a text browser window of its own (one at a time).
#pragma once

#include <QTextBrowser>

class TForm;

class HelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    // The page of form's help context; empty when the form has none.
    static QString pageOf(const TForm *form);
    // Shows the page; false when there is none (nothing is shown).
    bool showPage(const QString &page);
};
