// Static text. Caption, AutoSize, FocusControl (the control that its
// accelerator focuses), Transparent, WordWrap, Alignment, Layout.
#pragma once

#include <QLabel>

class TLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(QObject *FocusControl READ FocusControl WRITE setFocusControl)
    Q_PROPERTY(bool Transparent MEMBER m_transparent)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(QString Alignment READ Alignment WRITE setAlignment_)
    Q_PROPERTY(QString Layout READ Layout WRITE setLayout_)

public:
    explicit TLabel(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &v);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool v);
    QObject *FocusControl() const;
    void setFocusControl(QObject *w);
    QString Alignment() const { return m_alignment; }
    void setAlignment_(const QString &v);
    QString Layout() const { return m_layout; }
    void setLayout_(const QString &v);

protected:
    void changeEvent(QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    // Sizes an auto-sized label to its caption (now, or when first shown).
    void fitText();
    void applyAlignment();
    bool m_fitPending = false;
    QString m_caption;
    bool m_autoSize = true;
    bool m_transparent = false;
    QString m_alignment = QStringLiteral("taLeftJustify");
    QString m_layout = QStringLiteral("tlTop");
};
