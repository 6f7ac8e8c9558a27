#include "Glyphs.h"

#include <QCoreApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace Glyphs {
namespace {
QPixmap draw(const QString &name, const QColor &ink)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.5));
    if (name == QLatin1String("search")) {
        p.drawEllipse(QRectF(2, 2, 8, 8));
        p.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
    } else if (name == QLatin1String("calendar")) {
        p.drawRect(QRectF(1.5, 2.5, 13, 12));
        p.fillRect(QRectF(1.5, 2.5, 13, 3), ink);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                p.fillRect(QRectF(3 + c * 3, 7 + r * 2.5, 1.5, 1.5), ink);
    } else if (name == QLatin1String("print")) {
        p.drawRect(QRectF(4.5, 1.5, 7, 4));
        p.drawRect(QRectF(1.5, 5.5, 13, 6));
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
    } else if (name == QLatin1String("preview")) {
        p.drawRect(QRectF(2.5, 1.5, 9, 12));
        p.drawEllipse(QRectF(6, 6, 6, 6));
        p.drawLine(QPointF(11, 11), QPointF(14.5, 14.5));
    } else if (name == QLatin1String("save")) {
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.drawRect(QRectF(3.5, 9.5, 9, 5));
    } else if (name == QLatin1String("edit")) {
        QPainterPath path;
        path.moveTo(3, 13);
        path.lineTo(4, 10);
        path.lineTo(12, 2);
        path.lineTo(14, 4);
        path.lineTo(6, 12);
        path.closeSubpath();
        p.drawPath(path);
    } else if (name == QLatin1String("export")) {
        // A sheet with a grid and an arrow leaving it.
        p.drawRect(QRectF(1.5, 1.5, 9, 12));
        p.drawLine(QPointF(1.5, 5.5), QPointF(10.5, 5.5));
        p.drawLine(QPointF(1.5, 9.5), QPointF(10.5, 9.5));
        p.drawLine(QPointF(5.5, 1.5), QPointF(5.5, 13.5));
        p.drawLine(QPointF(8, 11), QPointF(14.5, 11));
        p.drawLine(QPointF(12, 8.5), QPointF(14.5, 11));
        p.drawLine(QPointF(12, 13.5), QPointF(14.5, 11));
    } else {
        return QPixmap();
    }
    return pm;
}
}

QIcon icon(const QString &name)
{
    // Drawn once per name and application: every button of every screen
    // asks at load. Never destroyed with the other statics (pixmaps must go
    // while an application lives): emptied when the application goes.
    static auto *drawn = new QHash<QString, QIcon>;
    static QCoreApplication *owner = nullptr;
    if (owner != QCoreApplication::instance()) {
        drawn->clear();
        owner = QCoreApplication::instance();
        if (owner)
            QObject::connect(owner, &QObject::destroyed, [] {
                drawn->clear();
                owner = nullptr;
            });
    }
    const auto found = drawn->constFind(name);
    if (found != drawn->constEnd())
        return *found;
    QIcon i;
    const QPixmap normal = draw(name, QColor(20, 40, 110));
    if (!normal.isNull()) {
        i.addPixmap(normal, QIcon::Normal);
        i.addPixmap(draw(name, QColor(160, 160, 160)), QIcon::Disabled);
    }
    if (owner)
        drawn->insert(name, i);
    return i;
}
}
