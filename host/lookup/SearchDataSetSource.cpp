#include "SearchDataSetSource.h"
#include "core/EditMask.h"
#include "core/Errors.h"
#include "data/SqlStatement.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBStringField.h"

#include <QElapsedTimer>

namespace {
int indexOfColumn(const QStringList &columns, const QString &name)
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
} // namespace

SearchDataSetSource::SearchDataSetSource(TADOIBDataSet *dataSet, const Options &options) : m_dataSet(dataSet)
{
    if (!dataSet)
        throw EHostError(QStringLiteral("Pesquisa sem conjunto de dados."));
    const QStringList result = dataSet->ColumnNames();
    QList<TADOIBStringField *> shown;
    if (!options.fields.isEmpty()) {
        for (const QString &name : options.fields)
            if (indexOfColumn(result, name) >= 0)
                shown << dataSet->FieldByName(name);
    }
    if (shown.isEmpty())
        shown = dataSet->VisibleFields();
    if (shown.isEmpty())
        throw EHostError(QStringLiteral("Pesquisa sem campos visíveis."));

    for (TADOIBStringField *f : shown) {
        const int idx = indexOfColumn(result, f->FieldName());
        if (idx < 0)
            throw EHostError(QStringLiteral("Campo '%1' não está no resultado da pesquisa.").arg(f->FieldName()));
        m_columns.append({f->DisplayName(), f->EditMask(), -1});
        m_rowColumns << result.at(idx);
        m_resultIndex << idx;
        if (!f->EditMask().isEmpty()) {
            const EditMask m(f->EditMask());
            const QString blank = m.filter(QString());
            for (int i = 0; i < m.length() && i < blank.size(); ++i)
                if (m.isLiteral(i) && !m_maskLiterals.contains(blank.at(i)))
                    m_maskLiterals += blank.at(i);
        }
    }
    // Hidden columns the list needs: the key, then the level.
    auto addHidden = [&](const QString &name) -> int {
        int i = indexOfColumn(m_rowColumns, name);
        if (i >= 0)
            return i;
        const int idx = indexOfColumn(result, name);
        if (idx < 0)
            return -1;
        m_rowColumns << result.at(idx);
        m_resultIndex << idx;
        return int(m_rowColumns.size()) - 1;
    };
    m_keyField = options.keyField.isEmpty() ? m_rowColumns.first() : options.keyField;
    m_keyIndex = addHidden(m_keyField);
    if (m_keyIndex < 0)
        throw EHostError(QStringLiteral("Campo chave '%1' não está no resultado da pesquisa.").arg(m_keyField));
    m_keyField = m_rowColumns.at(m_keyIndex);
    if (!options.levelField.isEmpty()) {
        const int level = addHidden(options.levelField);
        const int name = options.nameField.isEmpty() ? -1 : indexOfColumn(m_rowColumns, options.nameField);
        if (level >= 0 && name >= 0 && name < m_columns.size())
            m_columns[name].indentBy = level;
    }
}

SearchDataSetSource::~SearchDataSetSource() = default;

TADOIBDataSet *SearchDataSetSource::dataSet() const
{
    if (!m_dataSet)
        throw EHostError(QStringLiteral("O conjunto de dados da pesquisa não existe mais."));
    return m_dataSet;
}

RowFilter SearchDataSetSource::filter() const
{
    RowFilter f;
    if (!m_filter.isEmpty()) {
        f.text = m_filter;
        f.columns = m_rowColumns.mid(0, m_columns.size());
        f.keyColumn = m_keyField;
    }
    return f;
}

void SearchDataSetSource::startScan()
{
    if (!m_scan && !m_scanDone)
        m_scan = dataSet()->OpenScan(filter());
}

bool SearchDataSetSource::readRow(QStringList *row)
{
    startScan();
    if (m_scanDone)
        return false;
    if (!m_scan->next()) {
        m_scanDone = true;
        m_scan.reset(); // lets go of the cursor (and SQLite's read lock)
        return false;
    }
    ++m_counted;
    if (row) {
        row->reserve(m_resultIndex.size());
        for (int idx : m_resultIndex)
            *row << m_scan->value(idx).toString();
    }
    return true;
}

int SearchDataSetSource::fetchAgain(int max, QList<QStringList> &out)
{
    const QList<QVariantList> page = dataSet()->FetchPage(filter(), m_offset, max);
    for (const QVariantList &values : page) {
        QStringList row;
        row.reserve(m_resultIndex.size());
        for (int idx : m_resultIndex)
            row << (idx < values.size() ? values.at(idx).toString() : QString());
        out << row;
    }
    m_offset += page.size();
    return int(page.size());
}

int SearchDataSetSource::fetch(int max, QList<QStringList> &out)
{
    if (m_atEnd || max <= 0)
        return 0;
    dataSet();
    int n = 0;
    while (n < max) {
        if (!m_ahead.isEmpty()) {
            out << m_ahead.takeFirst();
            ++m_offset;
            ++n;
        } else if (m_offset < m_counted) {
            // Counted and dropped: read that stretch again.
            const int want = int(qMin<qint64>(max - n, m_counted - m_offset));
            const int got = fetchAgain(want, out);
            n += got;
            if (got < want)
                break;
        } else {
            QStringList row;
            if (!readRow(&row))
                break;
            out << row;
            ++m_offset;
            ++n;
        }
    }
    if (n < max)
        m_atEnd = true;
    return n;
}

bool SearchDataSetSource::countMore(int budgetMs)
{
    dataSet();
    QElapsedTimer clock;
    clock.start();
    do {
        if (!m_dropping && m_ahead.size() < kAheadRows) {
            QStringList row;
            if (!readRow(&row))
                break;
            m_ahead << row;
        } else {
            m_dropping = true;
            if (!readRow(nullptr))
                break;
        }
    } while (clock.elapsed() < budgetMs);
    return m_scanDone;
}

void SearchDataSetSource::setFilter(const QString &text)
{
    QString t = text;
    if (!m_maskLiterals.isEmpty()) {
        bool codeLike = true, hasLiteral = false;
        for (QChar c : t) {
            if (m_maskLiterals.contains(c))
                hasLiteral = true;
            else if (!c.isLetterOrNumber())
                codeLike = false;
        }
        if (codeLike && hasLiteral) {
            for (QChar l : m_maskLiterals)
                t.remove(l);
        }
    }
    m_filter = t;
    m_scan.reset();
    m_scanDone = false;
    m_ahead.clear();
    m_dropping = false;
    m_counted = 0;
    m_offset = 0;
    m_atEnd = false;
}

bool SearchDataSetSource::positionOn(const QString &key)
{
    if (!m_dataSet)
        return false;
    return m_dataSet->OpenOnKey(m_keyField, key);
}
