#include "SearchModel.h"
#include "core/EditMask.h"
#include "core/Errors.h"
#include "data/TextFold.h"

#include <QTimer>

#include <climits>

namespace {
QString maskedDisplay(const QString &mask, const QString &raw)
{
    if (mask.isEmpty() || raw.isEmpty())
        return raw;
    const EditMask m(mask);
    if (m.isEmpty())
        return raw;
    const QString shown = m.filter(raw);
    int last = -1, filled = 0;
    for (int i = 0; i < shown.size() && i < m.length(); ++i)
        if (!m.isLiteral(i) && shown.at(i) != m.blank()) {
            last = i;
            ++filled;
        }
    // Characters the mask refused would be lost: show the value as it is.
    QString compact = raw;
    compact.remove(QLatin1Char(' '));
    if (filled < compact.size())
        return raw;
    return shown.left(last + 1);
}
} // namespace

QString SearchModel::fold(const QString &s) { return TextFold::fold(s); }

SearchModel::SearchModel(SearchSource &source, bool multiple, const QStringList &ticked, QObject *parent)
    : QAbstractTableModel(parent), m_source(source), m_columns(source.columns()),
      m_keyColumn(source.keyColumn()), m_multiple(multiple)
{
    for (const QString &k : ticked)
        m_ticked.insert(k);
    for (const SearchColumn &c : m_columns) {
        QString literals;
        if (!c.editMask.isEmpty()) {
            const EditMask m(c.editMask);
            const QString shown = m.filter(QString());
            for (int i = 0; i < m.length() && i < shown.size(); ++i)
                if (m.isLiteral(i) && !literals.contains(shown.at(i)))
                    literals += shown.at(i);
        }
        m_maskLiterals.append(literals);
    }
    m_countTimer = new QTimer(this);
    m_countTimer->setInterval(0);
    connect(m_countTimer, &QTimer::timeout, this, &SearchModel::countSlice);
    fetchBatch();
    restartCount();
}

namespace {
int g_countSliceMs = 15;
}

int SearchModel::countSliceMs() { return g_countSliceMs; }
void SearchModel::setCountSliceMs(int ms) { g_countSliceMs = ms; }

void SearchModel::restartCount()
{
    m_countDone = !m_source.countsItself();
    if (!m_countDone && m_readError.isEmpty())
        m_countTimer->start();
    else
        m_countTimer->stop();
    emit countChanged();
}

void SearchModel::countSlice()
{
    if (m_countDone || !m_readError.isEmpty()) {
        m_countTimer->stop();
        return;
    }
    QString error;
    try {
        m_countDone = m_source.countMore(countSliceMs());
    } catch (const EHostError &e) {
        error = e.text();
    } catch (const std::exception &e) {
        error = QString::fromLocal8Bit(e.what());
    }
    if (!error.isNull()) {
        m_readError = error.isEmpty() ? QStringLiteral("Erro ao ler a lista.") : error;
        m_countTimer->stop();
        emit readFailed(m_readError);
        return;
    }
    if (m_countDone)
        m_countTimer->stop();
    emit countChanged();
}

void SearchModel::countAll()
{
    if (!m_source.countsItself())
        ensureRows(INT_MAX); // the count is the rows read
    while (!m_countDone && m_readError.isEmpty())
        countSlice();
}

qint64 SearchModel::total() const
{
    if (!m_readError.isEmpty())
        return -1;
    if (m_source.countsItself())
        return m_countDone ? m_source.counted() : -1;
    return m_source.atEnd() ? rowCount() : -1;
}

qint64 SearchModel::countedSoFar() const
{
    if (m_source.countsItself())
        return qMax<qint64>(m_source.counted(), rowCount());
    return rowCount();
}

int SearchModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_filtered ? int(m_visible.size()) : int(m_rows.size());
}

int SearchModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

int SearchModel::sourceRow(int viewRow) const
{
    if (viewRow < 0 || viewRow >= rowCount())
        return -1;
    return m_filtered ? m_visible.at(viewRow) : viewRow;
}

QString SearchModel::key(int sourceRow) const
{
    if (sourceRow < 0 || sourceRow >= m_rows.size())
        return {};
    const QStringList &r = m_rows.at(sourceRow);
    return m_keyColumn < r.size() ? r.at(m_keyColumn) : QString();
}

QString SearchModel::displayText(int sourceRow, int column) const
{
    if (sourceRow < 0 || sourceRow >= m_rows.size() || column < 0 || column >= m_columns.size())
        return {};
    const QStringList &r = m_rows.at(sourceRow);
    const SearchColumn &c = m_columns.at(column);
    QString text = maskedDisplay(c.editMask, column < r.size() ? r.at(column) : QString());
    if (c.indentBy >= 0 && c.indentBy < r.size()) {
        const int level = r.at(c.indentBy).trimmed().toInt();
        if (level > 1)
            text.prepend(QString(3 * (level - 1), QLatin1Char(' ')));
    }
    return text;
}

QVariant SearchModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int src = sourceRow(index.row());
    if (src < 0)
        return {};
    if (role == Qt::DisplayRole)
        return displayText(src, index.column());
    if (role == Qt::CheckStateRole && m_multiple && index.column() == 0)
        return m_ticked.contains(key(src)) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool SearchModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !m_multiple || index.column() != 0)
        return false;
    const QString k = key(sourceRow(index.row()));
    if (value.toInt() == Qt::Checked)
        m_ticked.insert(k);
    else
        m_ticked.remove(k);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

QVariant SearchModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns.at(section).label;
    return QAbstractTableModel::headerData(section, o, role);
}

Qt::ItemFlags SearchModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_multiple && index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool SearchModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_source.atEnd() && m_readError.isEmpty();
}

void SearchModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid())
        return;
    ensureRows(rowCount() + kBatch);
}

int SearchModel::fetchBatch()
{
    if (m_source.atEnd())
        return 0;
    QList<QStringList> batch;
    const int got = m_source.fetch(kBatch, batch);
    if (got <= 0)
        return 0;
    const int firstSource = int(m_rows.size());
    QVector<int> newVisible;
    if (m_filtered)
        for (int i = 0; i < batch.size(); ++i)
            if (matches(batch.at(i)))
                newVisible.append(firstSource + i);
    const int shownBefore = rowCount();
    const int added = m_filtered ? int(newVisible.size()) : int(batch.size());
    if (added > 0)
        beginInsertRows({}, shownBefore, shownBefore + added - 1);
    m_rows.append(std::move(batch));
    if (m_filtered)
        m_visible += newVisible;
    if (added > 0)
        endInsertRows();
    return got;
}

void SearchModel::ensureRows(int n)
{
    while (rowCount() < n && !m_source.atEnd() && m_readError.isEmpty())
        if (safeFetchBatch() == 0)
            break;
}

int SearchModel::safeFetchBatch()
{
    if (!m_readError.isEmpty())
        return 0;
    QString error;
    try {
        return fetchBatch();
    } catch (const EHostError &e) {
        error = e.text();
    } catch (const std::exception &e) {
        error = QString::fromLocal8Bit(e.what());
    }
    m_readError = error.isEmpty() ? QStringLiteral("Erro ao ler a lista.") : error;
    emit readFailed(m_readError);
    return 0;
}

bool SearchModel::matches(const QStringList &row) const
{
    for (int c = 0; c < m_columns.size() && c < row.size(); ++c) {
        const QString &v = row.at(c);
        if (TextFold::containsFolded(v, m_needle))
            return true;
        const QString &lit = m_maskLiterals.at(c);
        if (!lit.isEmpty()) {
            QString bare = m_needle;
            for (QChar l : lit)
                bare.remove(l);
            if (!bare.isEmpty() && TextFold::containsFolded(v, bare))
                return true;
        }
    }
    return false;
}

void SearchModel::setFilter(const QString &text)
{
    if (text == m_filter)
        return;
    beginResetModel();
    m_filter = text;
    m_visible.clear();
    if (m_source.filtersItself()) {
        // The source reads only matching rows: start again from the first.
        m_rows.clear();
        m_readError.clear();
        m_filtered = false;
        m_source.setFilter(text);
    } else {
        m_needle = fold(text);
        m_filtered = !text.isEmpty();
        if (m_filtered)
            for (int i = 0; i < m_rows.size(); ++i)
                if (matches(m_rows.at(i)))
                    m_visible.append(i);
    }
    endResetModel();
    ensureRows(kBatch);
    if (m_source.filtersItself())
        restartCount();
}

void SearchModel::toggle(int viewRow)
{
    const int src = sourceRow(viewRow);
    if (src < 0 || !m_multiple)
        return;
    const QModelIndex i = index(viewRow, 0);
    setData(i, isTicked(viewRow) ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

bool SearchModel::isTicked(int viewRow) const
{
    const int src = sourceRow(viewRow);
    return src >= 0 && m_ticked.contains(key(src));
}

QStringList SearchModel::tickedKeys()
{
    // Ticks hidden by a filter of the source count too: read unfiltered.
    if (!m_ticked.isEmpty() && m_source.filtersItself() && !m_filter.isEmpty())
        setFilter(QString());
    QStringList out;
    QSet<QString> found;
    auto collect = [&](int from) {
        for (int i = from; i < m_rows.size(); ++i) {
            const QString k = key(i);
            if (m_ticked.contains(k) && !found.contains(k)) {
                found.insert(k);
                out.append(k);
            }
        }
    };
    collect(0);
    while (found.size() < m_ticked.size() && !m_source.atEnd()) {
        const int from = int(m_rows.size());
        if (safeFetchBatch() == 0)
            break;
        collect(from);
    }
    return out;
}
