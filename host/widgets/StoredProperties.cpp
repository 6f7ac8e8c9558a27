#include "StoredProperties.h"

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

bool listed(const char *names, const QString &name)
{
    const QByteArray wanted = name.toLatin1();
    const QList<QByteArray> all = QByteArray(names).split(' ');
    return all.contains(wanted);
}
} // namespace

namespace StoredProperties {

QString reasonFor(const QObject *obj, const QString &name)
{
    // Every non-visual component carries the place where it was dropped at
    // design time.
    if (!obj->isWidgetType() && (name == QLatin1String("Left") || name == QLatin1String("Top")))
        return QStringLiteral("design-time position of a non-visual component");
    for (const QMetaObject *mo = obj->metaObject(); mo; mo = mo->superClass())
        for (const Entry &e : kStored)
            if (qstrcmp(mo->className(), e.className) == 0 && listed(e.names, name))
                return QString::fromUtf8(e.reason);
    return QString();
}

} // namespace StoredProperties
