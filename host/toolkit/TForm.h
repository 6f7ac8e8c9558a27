// A window laid out by its stored form definitions.
//
// Create() reads the definitions of the class chain, ancestor first, each
// from the resource ":/forms/<ClassName>.dfm", onto this one instance, then
// raises OnCreate. Close() runs the OnClose handler at once (also from
// inside OnCreate) and then does what its Action says. An MDI child
// (FormStyle fsMDIChild) lives in a subwindow of TApplication's MDI area.
#pragma once

#include <QPointer>
#include <QWidget>

#include <QMdiSubWindow>

class TForm : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE setClientWidth)
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE setClientHeight)
    Q_PROPERTY(QString BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(QStringList BorderIcons MEMBER m_borderIcons)
    Q_PROPERTY(QString FormStyle READ FormStyle WRITE setFormStyle)
    Q_PROPERTY(QString Position MEMBER m_position)
    Q_PROPERTY(QString WindowState READ WindowState WRITE setWindowState_)
    Q_PROPERTY(QString HelpFile MEMBER m_helpFile)
    Q_PROPERTY(int PixelsPerInch MEMBER m_pixelsPerInch)
    Q_PROPERTY(int TextHeight MEMBER m_textHeight)
    Q_PROPERTY(bool KeyPreview MEMBER m_keyPreview)
    Q_PROPERTY(bool OldCreateOrder MEMBER m_oldCreateOrder)
    Q_PROPERTY(bool Scaled MEMBER m_scaled)
    // A window's position is where its frame goes when shown, not a move inside it.
    Q_PROPERTY(int Left MEMBER m_left)
    Q_PROPERTY(int Top MEMBER m_top)
    Q_PROPERTY(bool Visible MEMBER m_visible)

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
    QString BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(const QString &v);
    QString FormStyle() const { return m_formStyle; }
    void setFormStyle(const QString &v) { m_formStyle = v; }
    QString WindowState() const;
    void setWindowState_(const QString &v);
    QString HelpFile() const { return m_helpFile; }

    // Reads the definitions and raises OnCreate; a handler's exception propagates.
    void Create();
    void Show();
    void Close();
    void Repaint();
    void SetWindowStateNormal();
    bool isClosed() const { return m_closed; }
    bool isCreated() const { return m_created; }
    QMdiSubWindow *subWindow() const { return m_sub; }
    // The widget that frames this form on screen: its subwindow or itself.
    QWidget *frame();
    // Raises OnActivate (the window became the active one).
    void activated();

    // A component of this form by name.
    QObject *component(const QString &name) const;
    template <class T> T *component(const QString &name) const { return qobject_cast<T *>(component(name)); }

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
    int runCloseHandler();
    // Does what a close action says; true when the window goes for good.
    bool applyCloseAction(int action);
    // Gives the first control of the keyboard order the focus, unless a
    // control of this window holds it already.
    void focusFirstControl();
    // Takes the focus off this window's controls without exit events.
    void releaseFocus();
    bool m_closed = false;
    bool m_created = false;
    bool m_inClose = false;
    bool m_activatedOnce = false;
    QPointer<QMdiSubWindow> m_sub;
    QString m_borderStyle = QStringLiteral("bsSizeable");
    QStringList m_borderIcons;
    QString m_formStyle = QStringLiteral("fsNormal");
    QString m_position = QStringLiteral("poDesigned");
    QString m_helpFile;
    int m_pixelsPerInch = 96;
    int m_textHeight = 13;
    bool m_keyPreview = false;
    bool m_oldCreateOrder = false;
    bool m_scaled = true;
    int m_left = 0;
    int m_top = 0;
    bool m_visible = false;
};
