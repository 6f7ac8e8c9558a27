// Bevel: a sunken or raised line or box, drawn only.
#pragma once

#include "PropertyEnums.h"

#include <QWidget>

class TBevel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(PropertyEnums::TBevelShape Shape READ Shape WRITE setShape)
    Q_PROPERTY(PropertyEnums::TBevelStyle Style READ Style WRITE setStyle_)

public:
    explicit TBevel(QWidget *parent = nullptr);
    PropertyEnums::TBevelShape Shape() const { return m_shape; }
    void setShape(PropertyEnums::TBevelShape v);
    PropertyEnums::TBevelStyle Style() const { return m_style; }
    void setStyle_(PropertyEnums::TBevelStyle v);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    PropertyEnums::TBevelShape m_shape = PropertyEnums::TBevelShape::bsBox;
    PropertyEnums::TBevelStyle m_style = PropertyEnums::TBevelStyle::bsLowered;
};
