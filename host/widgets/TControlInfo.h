// Properties every visual component has (position, tab order, colour, font,
// hint, ...), attached to any QWidget as a child object. The form reader
// looks here when the widget's own class has no property of the name, so the
// component classes only declare what is their own.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;
class TFont;

class TControlInfo : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE setTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE setTabStop)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE setParentShowHint)
    Q_PROPERTY(QString Color READ Color WRITE setColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE setParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE setParentFont)
    Q_PROPERTY(QObject *Font READ Font)
    Q_PROPERTY(int HelpContext READ HelpContext WRITE setHelpContext)

public:
    // The info of w, created on first use.
    static TControlInfo *of(QWidget *w);
    // The info of w when it has one, else nullptr.
    static TControlInfo *find(const QWidget *w);

    int Left() const;
    void setLeft(int v);
    int Top() const;
    void setTop(int v);
    int Width() const;
    void setWidth(int v);
    int Height() const;
    void setHeight(int v);
    // -1 until a definition stores one; then ordered among the siblings.
    int TabOrder() const { return m_tabOrder; }
    void setTabOrder(int v) { m_tabOrder = v; }
    bool TabStop() const { return m_tabStop; }
    void setTabStop(bool v) { m_tabStop = v; }
    bool Enabled() const;
    void setEnabled(bool v);
    bool Visible() const { return m_visible; }
    void setVisible(bool v);
    QString Hint() const;
    void setHint(const QString &v);
    bool ShowHint() const { return m_showHint; }
    void setShowHint(bool v);
    bool ParentShowHint() const { return m_parentShowHint; }
    void setParentShowHint(bool v) { m_parentShowHint = v; }
    QString Color() const { return m_color; }
    void setColor(const QString &v);
    bool ParentColor() const { return m_parentColor; }
    void setParentColor(bool v) { m_parentColor = v; }
    bool ParentFont() const { return m_parentFont; }
    void setParentFont(bool v) { m_parentFont = v; }
    QObject *Font();
    TFont *font();
    int HelpContext() const { return m_helpContext; }
    void setHelpContext(int v) { m_helpContext = v; }

    QWidget *widget() const;

    // Named colours of the definitions (clInfoBk, clBtnFace, clBlue, $00RRGGBB as BGR...).
    static QColor colorFromName(const QString &name, bool *ok = nullptr);

private:
    explicit TControlInfo(QWidget *w);
    int m_tabOrder = -1;
    bool m_tabStop = true;
    bool m_visible = true;
    bool m_showHint = false;
    bool m_parentShowHint = true;
    bool m_parentColor = true;
    bool m_parentFont = true;
    int m_helpContext = 0;
    QString m_color;
    TFont *m_font = nullptr;
};
