// The main window's keys win over the fields of its screens, and Esc
// closes a screen.
//
// Qt first offers each key to the focus widget as a ShortcutOverride; a
// widget that claims it gets it as typing and the window's shortcut never
// runs. On X11 a line edit claims Ctrl+E (end of line), Ctrl+D, Ctrl+U and
// more, and spin boxes, date edits and editable combo boxes claim the same
// through the line edit inside. For every widget of the main window (the
// screens inside it), this filter refuses the claim when an enabled action
// of the window's menus holds the key, so the menu command runs whatever
// control has the focus. Dialogs and other windows keep their keys.
//
// A screen's frame (QMdiSubWindow) brings its own system menu whose Close
// holds Ctrl+W on X11: two shortcuts for one key and Qt runs neither, so the
// frames' entries drop the keys the window's menus hold.
//
// Esc in a screen closes it as Ctrl+W does, unless the field with the
// focus holds typing since it got the focus: then Esc puts back what the
// field held when it got the focus, with what the screen says that typing
// changed beside it (TForm::typingState: a branch's name, say), and a
// second Esc closes the screen.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

class QKeyEvent;
class QLineEdit;
class QMainWindow;
class QKeySequence;
class QMdiArea;
class QMdiSubWindow;
class QWidget;
class TForm;

class ScreenKeys : public QObject {
public:
    // Watches the application's key events for window, whose screens live
    // in area. Owned by window.
    ScreenKeys(QMainWindow *window, QMdiArea *area);

    // Whether an enabled action of the window's menus (or the window's own
    // actions) holds the key of event.
    bool windowHolds(const QKeyEvent *event) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool inScreen(const QWidget *w) const;
    bool windowHolds(const QKeySequence &key) const;
    // Takes from a screen's frame the keys the window's menus hold.
    void dropFrameKeys(QMdiSubWindow *frame) const;
    void remember(QWidget *focused);
    // Puts back the text the field held on focus; false when nothing was typed.
    bool undoTyping(QWidget *focused);

    QMainWindow *m_window;
    QMdiArea *m_area;
    QPointer<QLineEdit> m_edit; // the editor of the field with the focus
    QString m_textOnFocus;
    QPointer<TForm> m_form; // the screen of that field, and its state then
    QVariant m_stateOnFocus;
};
