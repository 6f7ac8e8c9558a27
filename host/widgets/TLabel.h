// Static text. Caption, AutoSize, FocusControl (the control that its
// accelerator focuses), WordWrap, Alignment, Layout.
#pragma once

#include "PropertyEnums.h"

#include <QLabel>

class TLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(QObject *FocusControl READ FocusControl WRITE setFocusControl)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(PropertyEnums::TAlignment Alignment READ Alignment WRITE setAlignment_)
    Q_PROPERTY(PropertyEnums::TTextLayout Layout READ Layout WRITE setLayout_)

public:
    explicit TLabel(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &v);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool v);
    QObject *FocusControl() const;
    void setFocusControl(QObject *w);
    PropertyEnums::TAlignment Alignment() const { return m_alignment; }
    void setAlignment_(PropertyEnums::TAlignment v);
    PropertyEnums::TTextLayout Layout() const { return m_layout; }
    void setLayout_(PropertyEnums::TTextLayout v);

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
    PropertyEnums::TAlignment m_alignment = PropertyEnums::TAlignment::taLeftJustify;
    PropertyEnums::TTextLayout m_layout = PropertyEnums::TTextLayout::tlTop;
};
