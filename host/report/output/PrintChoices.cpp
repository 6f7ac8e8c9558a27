#include "PrintChoices.h"

#include <QDir>
#include <QPageSize>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>

namespace {
QString preferencesFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("preferencias.ini"));
}

// One group per report title; QSettings escapes what a key cannot hold.
QString keyOf(const QPrinter &printer, const char *what)
{
    QString title = printer.docName();
    title.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return QStringLiteral("impressao/%1/%2").arg(title, QLatin1String(what));
}
} // namespace

namespace PrintChoices {

void offer(QPrinter &printer)
{
    if (printer.docName().isEmpty())
        return;
    const QSettings kept(preferencesFile(), QSettings::IniFormat);
    const QString orientation = kept.value(keyOf(printer, "orientacao")).toString();
    bool known = false;
    const int paper = kept.value(keyOf(printer, "papel")).toInt(&known);
    if (known && paper >= 0 && paper <= QPageSize::LastPageSize && paper != QPageSize::Custom)
        printer.setPageSize(QPageSize(QPageSize::PageSizeId(paper)));
    if (orientation == QLatin1String("paisagem"))
        printer.setPageOrientation(QPageLayout::Landscape);
    else if (orientation == QLatin1String("retrato"))
        printer.setPageOrientation(QPageLayout::Portrait);
}

void remember(const QPrinter &printer)
{
    if (printer.docName().isEmpty())
        return;
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    QSettings kept(preferencesFile(), QSettings::IniFormat);
    const QPageLayout layout = printer.pageLayout();
    kept.setValue(keyOf(printer, "orientacao"), layout.orientation() == QPageLayout::Landscape
                                                    ? QStringLiteral("paisagem")
                                                    : QStringLiteral("retrato"));
    kept.setValue(keyOf(printer, "papel"), int(layout.pageSize().id())); // QPageSize::PageSizeId
}

} // namespace PrintChoices
