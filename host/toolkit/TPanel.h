// Panel: a container with an optional caption and raised or lowered bevels.
#pragma once

#include <QFrame>

class TPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QString BevelOuter READ BevelOuter WRITE setBevelOuter)
    Q_PROPERTY(QString BevelInner READ BevelInner WRITE setBevelInner)
    Q_PROPERTY(int BevelWidth MEMBER m_bevelWidth)
    Q_PROPERTY(QString BorderStyle MEMBER m_borderStyle)
    Q_PROPERTY(QString Alignment MEMBER m_alignment)

public:
    explicit TPanel(QWidget *parent = nullptr);
    QString Caption() const { return m_caption; }
    void setCaption(const QString &v);
    QString BevelOuter() const { return m_outer; }
    void setBevelOuter(const QString &v);
    QString BevelInner() const { return m_inner; }
    void setBevelInner(const QString &v);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QString m_caption;
    QString m_outer = QStringLiteral("bvRaised");
    QString m_inner = QStringLiteral("bvNone");
    int m_bevelWidth = 1;
    QString m_borderStyle = QStringLiteral("bsNone");
    QString m_alignment = QStringLiteral("taCenter");
};
