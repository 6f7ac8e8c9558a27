// The Font sub-object of a control: Name, Height (negative: pixel height of
// the characters), Size (points), Style set, Color. Fonts that do
// not exist here are mapped to an installed family (fontFamilyFor).
#pragma once

#include <QObject>
#include <QStringList>

class TControlInfo;
class QWidget;

class TFont : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE setName)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(int Size READ Size WRITE setSize)
    Q_PROPERTY(QStringList Style READ Style WRITE setStyle)
    Q_PROPERTY(QString Color READ Color WRITE setColor)

public:
    explicit TFont(TControlInfo *owner);

    QString Name() const { return m_name; }
    void setName(const QString &v);
    int Height() const { return m_height; }
    void setHeight(int v);
    int Size() const;
    void setSize(int points);
    QStringList Style() const { return m_style; }
    void setStyle(const QStringList &v);
    QString Color() const { return m_color; }
    void setColor(const QString &v);

    // The installed family that stands in for a stored font name.
    static QString fontFamilyFor(const QString &storedName);
    // Applies the fonts whose properties a definition set while it was read:
    // one font change per control instead of one per property.
    static void applyPending();

private:
    void apply();
    void applyNow();
    bool m_pending = false;
    QWidget *widget() const;
    QString m_name;
    int m_height = 0;
    QStringList m_style;
    QString m_color;
};
