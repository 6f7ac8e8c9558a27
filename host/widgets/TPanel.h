// Panel: a container with an optional caption and raised or lowered bevels.
#pragma once

#include "PropertyEnums.h"

#include <QFrame>

class TPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(PropertyEnums::TBevelCut BevelOuter READ BevelOuter WRITE setBevelOuter)
    Q_PROPERTY(PropertyEnums::TAlignment Alignment READ Alignment WRITE setAlignment_)

public:
    explicit TPanel(QWidget *parent = nullptr);
    QString Caption() const { return m_caption; }
    void setCaption(const QString &v);
    PropertyEnums::TBevelCut BevelOuter() const { return m_outer; }
    void setBevelOuter(PropertyEnums::TBevelCut v);
    PropertyEnums::TAlignment Alignment() const { return m_alignment; }
    void setAlignment_(PropertyEnums::TAlignment v);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QString m_caption;
    PropertyEnums::TBevelCut m_outer = PropertyEnums::TBevelCut::bvRaised;
    PropertyEnums::TAlignment m_alignment = PropertyEnums::TAlignment::taCenter;
};
