// The status bar's fields laid out by importance: each field first gets its
// least width, then the room left goes to the fields in order of
// importance, each up to its whole width, so a notice of a fault is read
// whole before the database's path gets a letter more. Fields added with
// atRight sit at the right end; the room nobody needs lies between the two
// groups. Hidden fields take no room.
#pragma once

#include <QLayout>
#include <QList>

class StatusFieldsLayout : public QLayout {
public:
    explicit StatusFieldsLayout(QWidget *parent = nullptr);
    ~StatusFieldsLayout() override;

    // Adds field; a lower importance number is served first.
    void addField(QWidget *field, int importance, bool atRight = false);

    void addItem(QLayoutItem *item) override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

    // The widths fields get in room: each its least, then in order of
    // importance up to its whole (hints: {least, whole}).
    static QList<int> widths(const QList<QPair<int, int>> &hints, const QList<int> &importance, int room);

private:
    struct Field {
        QLayoutItem *item;
        int importance;
        bool atRight;
    };
    QSize total(bool least) const;
    QList<Field> m_fields;
};
