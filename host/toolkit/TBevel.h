// Bevel: a sunken or raised line or box, drawn only.
#pragma once

#include <QWidget>

class TBevel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Shape READ Shape WRITE setShape)
    Q_PROPERTY(QString Style READ Style WRITE setStyle_)

public:
    explicit TBevel(QWidget *parent = nullptr);
    QString Shape() const { return m_shape; }
    void setShape(const QString &v);
    QString Style() const { return m_style; }
    void setStyle_(const QString &v);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QString m_shape = QStringLiteral("bsBox");
    QString m_style = QStringLiteral("bsLowered");
};
