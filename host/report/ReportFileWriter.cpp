#include "ReportFileWriter.h"
#include "ReportFormat.h"
#include "ReportRenderer.h"
#include "toolkit/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>

namespace {
QString csvField(const QString &s)
{
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n'))
        && !s.contains(QLatin1Char('\r')))
        return s;
    QString q = s;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

void openTarget(QSaveFile &f, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!f.open(QIODevice::WriteOnly))
        throw EHostError(QStringLiteral("Não foi possível gravar \"%1\": %2").arg(path, f.errorString()));
}

void commit(QSaveFile &f, const QString &path)
{
    if (!f.commit())
        throw EHostError(QStringLiteral("Não foi possível gravar \"%1\": %2").arg(path, f.errorString()));
}
} // namespace

int ReportFileWriter::writePdf(const ReportDefinition &def, const ReportData &data, const QString &path)
{
    QSaveFile f(path);
    openTarget(f, path);
    int pages = 0;
    {
        QPdfWriter pdf(&f);
        pdf.setResolution(300);
        pdf.setPageLayout(ReportRenderer::pageLayout(def));
        pdf.setTitle(def.title);
        pdf.setCreator(QStringLiteral("Gerador de relatórios"));
        ReportRenderer renderer(def, data);
        pages = renderer.paint(&pdf); // an exception leaves f uncommitted
    }
    commit(f, path);
    return pages;
}

QString ReportFileWriter::csvText(const ReportDefinition &def, const ReportData &data)
{
    QString out;
    // Group fields that are not columns come first, as text, so that each
    // row says which group it belongs to.
    QList<ReportColumn> cols;
    for (const ReportGroup &g : def.groups) {
        bool shown = false;
        for (const ReportColumn &c : def.columns)
            shown = shown || c.field.compare(g.field, Qt::CaseInsensitive) == 0;
        if (!shown) {
            ReportColumn c;
            c.field = g.field;
            cols << c;
        }
    }
    cols += def.columns;
    QStringList header;
    QList<int> idx;
    for (const ReportColumn &c : cols) {
        header << csvField(c.field);
        idx << data.fieldIndex(c.field);
    }
    out += header.join(QLatin1Char(',')) + QLatin1String("\r\n");
    for (const auto &row : data.rows) {
        QStringList cells;
        for (int c = 0; c < cols.size(); ++c)
            cells << csvField(idx[c] >= 0 ? ReportFormat::csv(cols[c], row[idx[c]]) : QString());
        out += cells.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return out;
}

void ReportFileWriter::writeCsv(const ReportDefinition &def, const ReportData &data, const QString &path)
{
    QSaveFile f(path);
    openTarget(f, path);
    f.write(csvText(def, data).toUtf8());
    commit(f, path);
}
