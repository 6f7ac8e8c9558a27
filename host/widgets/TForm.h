// A window laid out by its stored form definitions.
//
// Create() reads the definitions of the class chain, ancestor first, each
// from the resource ":/forms/<ClassName>.dfm", onto this one instance, then
// raises OnCreate. Close() runs the OnClose handler at once (also from
// inside OnCreate) and then does what its Action says. An MDI child
// (FormStyle fsMDIChild) lives in a subwindow of TApplication's MDI area.
#pragma once

#include "PropertyEnums.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <QMdiSubWindow>

class TForm : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE setClientWidth)
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE setClientHeight)
    Q_PROPERTY(PropertyEnums::TFormBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(PropertyEnums::TFormStyle FormStyle READ FormStyle WRITE setFormStyle)
    Q_PROPERTY(PropertyEnums::TWindowState WindowState READ WindowState WRITE setWindowState_)
    Q_PROPERTY(QString HelpFile READ HelpFile WRITE setHelpFile)

public:
    enum TCloseAction { caNone = 0, caHide = 1, caFree = 2, caMinimize = 3 };
    Q_ENUM(TCloseAction)

    explicit TForm(QWidget *parent = nullptr);
    ~TForm() override;

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString &v) { setWindowTitle(v); }
    int ClientWidth() const { return width(); }
    void setClientWidth(int v);
    int ClientHeight() const { return height(); }
    void setClientHeight(int v);
    PropertyEnums::TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(PropertyEnums::TFormBorderStyle v);
    PropertyEnums::TFormStyle FormStyle() const { return m_formStyle; }
    void setFormStyle(PropertyEnums::TFormStyle v) { m_formStyle = v; }
    PropertyEnums::TWindowState WindowState() const;
    void setWindowState_(PropertyEnums::TWindowState v);
    QString HelpFile() const { return m_helpFile; }
    void setHelpFile(const QString &v) { m_helpFile = v; }

    // Reads the definitions and raises OnCreate; a handler's exception propagates.
    void Create();
    void Show();
    void Close();
    void Repaint();
    void SetWindowStateNormal();
    bool isClosed() const { return m_closed; }
    QMdiSubWindow *subWindow() const { return m_sub; }
    // The widget that frames this form on screen: its subwindow or itself.
    QWidget *frame();
    // Raises OnActivate (the window became the active one).
    void activated();
    // Moves the focus to the next (or previous) stop of the keyboard order,
    // as Tab (Shift+Tab) does.
    void moveFocus(bool forward) { focusNextPrevChild(forward); }

    // Esc over a field's typing puts back the text the field held when it
    // got the focus (the shell's ScreenKeys). What else that typing changed
    // (a name looked up, a list emptied) is the screen's to put back: the
    // state is taken as the field gets the focus and given back after the
    // text. The base form keeps nothing.
    virtual QVariant typingState(const QWidget *field) const;
    virtual void restoreTypingState(const QWidget *field, const QVariant &state);

    // A component of this form by name.
    QObject *component(const QString &name) const;
    template <class T> T *component(const QString &name) const { return qobject_cast<T *>(component(name)); }
    // The component name as the part a screen's code needs, in every build:
    // throws DefinitionError naming the definition of owner (the class whose
    // code needs it, ":/forms/<Class>.dfm"), the name and the class T when
    // the definitions have no such component, or one of another class.
    template <class T> T *part(const char *name, const QMetaObject &owner) const
    {
        QObject *found = component(QLatin1String(name));
        if (T *typed = qobject_cast<T *>(found))
            return typed;
        throwMissingPart(name, T::staticMetaObject, found, owner);
    }

signals:
    void OnCreate(QObject *Sender);
    void OnActivate(QObject *Sender);
    void OnShow(QObject *Sender);
    void OnClose(QObject *Sender, int *Action);
    void OnKeyDown(QObject *Sender, int *Key, int Shift);

protected:
    // Runs after the definitions are read and before OnCreate: derived
    // screens take their component fields here.
    virtual void definitionsRead() {}
    bool focusNextPrevChild(bool next) override;
    void closeEvent(QCloseEvent *e) override;
    bool event(QEvent *e) override;

private:
    [[noreturn]] static void throwMissingPart(const char *name, const QMetaObject &wanted, const QObject *found,
                                              const QMetaObject &owner);
    int runCloseHandler();
    // Does what a close action says; true when the window goes for good.
    bool applyCloseAction(int action);
    // Gives the first control of the keyboard order the focus, unless a
    // control of this window holds it already.
    void focusFirstControl();
    // Takes the focus off this window's controls without exit events.
    void releaseFocus();
    bool isMdiChild() const { return m_formStyle == PropertyEnums::TFormStyle::fsMDIChild; }
    bool isSizeable() const { return m_borderStyle == PropertyEnums::TFormBorderStyle::bsSizeable; }

    bool m_closed = false;
    bool m_inClose = false;
    bool m_activatedOnce = false;
    QPointer<QMdiSubWindow> m_sub;
    PropertyEnums::TFormBorderStyle m_borderStyle = PropertyEnums::TFormBorderStyle::bsSizeable;
    PropertyEnums::TFormStyle m_formStyle = PropertyEnums::TFormStyle::fsNormal;
    QString m_helpFile;
};
