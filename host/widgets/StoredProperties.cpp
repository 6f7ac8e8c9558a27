#include "StoredProperties.h"

#include <QHash>
#include <QMetaObject>
#include <QObject>

namespace {
struct Entry {
    const char *className; // the class or any ancestor of the component
    const char *names;     // blank-separated property names
    const char *reason;
};

const Entry kStored[] = {
    {"QWidget", "ParentCtl3D Ctl3D Align Anchors",
     "the windows have fixed sizes and the stored positions already place every control; "
     "borders are drawn by the style"},
    {"TForm", "Left Top Visible Position BorderIcons PixelsPerInch TextHeight KeyPreview OldCreateOrder Scaled",
     "a screen is placed by the MDI area, shown by its module and laid out at the stored pixel sizes; "
     "key handling and creation order are fixed by the toolkit"},
    {"TEdit", "AutoSelect AutoSize BorderStyle", "edits keep their stored size and the style's border"},
    {"TCheckBox", "Alignment", "the box is drawn left of its caption by the style"},
    {"TRadioButton", "Alignment", "the button is drawn left of its caption by the style"},
    {"TComboBox", "ItemHeight Sorted", "items keep the style's height and the order they are given in"},
    {"TLabel", "Transparent", "labels are always drawn over their parent's background"},
    {"TPanel", "BevelInner BevelWidth BorderStyle", "panels draw one bevel of the style's width"},
    {"TSpeedButton", "NumGlyphs GroupIndex AllowAllUp Layout Spacing Margin",
     "speed buttons here are plain command buttons with the icon beside the caption"},
    {"TFont", "Charset", "texts are Unicode; stored definitions are read as code page 1252"},
    {"TADOIBQuery",
     "ADOConnection DataBase Transaction ADOCursorLocation ADOCursorType ADOLockType ADOCacheSize ADOMaxRecords "
     "ADOEnableBCD ADOFiltered ADOPrepared ADOExecuteOptions ADOMarshalOptions CachedUpdates ObjectView "
     "AutoCalcFields Constraints",
     "one shared connection of the data module serves every query, read forward only"},
    {"TADOIBStringField", "FixedChar ReadOnly Origin Index", "fields are read only, in the order of the result"},
    {"TDataSource", "AutoEdit", "data sources only show rows"},
    {"TSaveDialog", "Options", "the save dialog always asks before replacing"},
    {"TNetConnection", "ServerGUID Address", "the costs server is reached by host and port"},
};

// Class name -> property name -> reason; built once, read only afterwards
// (so any thread may read it). Every property of a form passes here.
using Table = QHash<QByteArray, QHash<QString, QString>>;

const Table &table()
{
    static const Table t = [] {
        Table built;
        for (const Entry &e : kStored) {
            QHash<QString, QString> &names = built[QByteArray(e.className)];
            const QString reason = QString::fromUtf8(e.reason);
            for (const QByteArray &n : QByteArray(e.names).split(' '))
                names.insert(QString::fromLatin1(n), reason);
        }
        return built;
    }();
    return t;
}
} // namespace

namespace StoredProperties {

QString reasonFor(const QObject *obj, const QString &name)
{
    // Every non-visual component carries the place where it was dropped at
    // design time.
    if (!obj->isWidgetType() && (name == QLatin1String("Left") || name == QLatin1String("Top")))
        return QStringLiteral("design-time position of a non-visual component");
    const Table &t = table();
    for (const QMetaObject *mo = obj->metaObject(); mo; mo = mo->superClass()) {
        const auto cls = t.constFind(QByteArray::fromRawData(mo->className(), int(qstrlen(mo->className()))));
        if (cls == t.constEnd())
            continue;
        const auto reason = cls->constFind(name);
        if (reason != cls->constEnd())
            return *reason;
    }
    return QString();
}

} // namespace StoredProperties
