#include "RunFileWriter.h"
#include "core/Errors.h"
#include "core/SafeFile.h"
#include "report/model/ReportFormat.h"

#include <QPdfWriter>

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

// The CSV's columns: group fields that are not columns, as text, so that each
// row says which group it belongs to; then the columns.
QList<ReportColumn> csvColumns(const ReportDefinition &def)
{
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
    return cols + def.columns;
}

class CsvLines {
public:
    CsvLines(const ReportDefinition &def, const std::function<int(const QString &)> &index) : m_cols(csvColumns(def))
    {
        for (const ReportColumn &c : m_cols)
            m_idx << index(c.field);
    }
    QString header() const
    {
        QStringList h;
        for (const ReportColumn &c : m_cols)
            h << csvField(c.field);
        return h.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    QString row(const QVector<QVariant> &row) const
    {
        QStringList cells;
        for (int c = 0; c < m_cols.size(); ++c)
            cells << csvField(m_idx[c] >= 0 && m_idx[c] < row.size() ? ReportFormat::csv(m_cols[c], row[m_idx[c]]) : QString());
        return cells.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }

private:
    QList<ReportColumn> m_cols;
    QList<int> m_idx;
};
} // namespace

int RunFileWriter::writePdf(const ReportDocument &doc, const QString &path, const std::function<bool(int)> &pageDone,
                            const PageSelection &selection)
{
    // SafeFile, not a bare QSaveFile: a disk that fills up must fail the
    // write, never leave a truncated PDF in place.
    SafeFile f(path);
    int pages = 0;
    bool stopped = false;
    {
        QPdfWriter pdf(f.device());
        pdf.setResolution(int(ReportMetrics::Resolution));
        pdf.setPageLayout(doc.pageLayout());
        pdf.setTitle(doc.title());
        pdf.setCreator(QStringLiteral("Gerador de relatórios"));
        pages = doc.paint(&pdf, [&](int n) {
            stopped = pageDone && !pageDone(n);
            return !stopped;
        }, selection); // an exception leaves f uncommitted
    }
    if (stopped) {
        f.discard();
        throw EAbort();
    }
    f.commit();
    return pages;
}

void RunFileWriter::writeRowsCsv(const ReportDocument &doc, const QString &path, const std::function<bool(qint64)> &rowDone)
{
    SafeFile f(path);
    const CsvLines lines(doc.definition(), [&doc](const QString &name) { return doc.values().fieldIndex(name); });
    f.write(lines.header().toUtf8());
    const std::unique_ptr<ReportRowReader> reader = doc.rows()->reader();
    QVector<QVariant> row;
    QByteArray chunk;
    for (qint64 n = 1; reader->next(row); ++n) {
        chunk += lines.row(row).toUtf8();
        if (chunk.size() > 256 * 1024) {
            f.write(chunk);
            chunk.clear();
        }
        if (rowDone && !rowDone(n)) {
            f.discard();
            throw EAbort();
        }
    }
    f.write(chunk);
    f.commit();
}
