#include "ReportSpool.h"
#include "core/Errors.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

namespace {

enum Tag : char { Null, Int, Double, Text, Date, DateTime, Time, True, False };

const qsizetype kChunk = 256 * 1024;

void putVarint(QByteArray &out, quint64 v)
{
    while (v >= 0x80) {
        out.append(char(v | 0x80));
        v >>= 7;
    }
    out.append(char(v));
}

void putSigned(QByteArray &out, qint64 v) { putVarint(out, (quint64(v) << 1) ^ quint64(v >> 63)); }

void putFixed(QByteArray &out, const void *p) { out.append(static_cast<const char *>(p), 8); }

void putValue(QByteArray &out, const QVariant &v)
{
    if (v.isNull()) {
        out.append(char(Null));
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
        out.append(char(Int));
        putSigned(out, v.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        out.append(char(Double));
        putFixed(out, &d);
        return;
    }
    case QMetaType::QDate:
        out.append(char(Date));
        putSigned(out, v.toDate().toJulianDay());
        return;
    case QMetaType::QDateTime: {
        const qint64 ms = v.toDateTime().toMSecsSinceEpoch();
        out.append(char(DateTime));
        putFixed(out, &ms);
        return;
    }
    case QMetaType::QTime:
        out.append(char(Time));
        putSigned(out, v.toTime().msecsSinceStartOfDay());
        return;
    case QMetaType::Bool:
        out.append(char(v.toBool() ? True : False));
        return;
    default: {
        const QByteArray utf8 = v.toString().toUtf8();
        out.append(char(Text));
        putVarint(out, quint64(utf8.size()));
        out.append(utf8);
    }
    }
}

class SpoolReader : public ReportRowReader {
public:
    SpoolReader(const QString &path, int fields) : m_file(path), m_fields(fields)
    {
        if (!m_file.open(QIODevice::ReadOnly))
            fail();
    }

    void seek(qint64 token) override
    {
        if (!m_file.seek(token))
            fail();
        m_buf.clear();
        m_pos = 0;
    }

    bool next(QVector<QVariant> &row) override
    {
        if (!available(1))
            return false;
        row.resize(m_fields);
        for (int i = 0; i < m_fields; ++i)
            row[i] = value();
        return true;
    }

private:
    [[noreturn]] void fail() const
    {
        throw EHostError(QStringLiteral("As linhas do relatório guardadas na pasta temporária \"%1\" não puderam ser "
                                        "lidas: %2. Execute o relatório de novo.")
                             .arg(QDir::toNativeSeparators(QDir::tempPath()), m_file.errorString()));
    }

    // Whether n more bytes can be had, reading the next chunk when needed.
    bool available(qsizetype n)
    {
        if (m_pos + n <= m_buf.size())
            return true;
        m_buf.remove(0, m_pos);
        m_pos = 0;
        const QByteArray more = m_file.read(std::max(kChunk, n));
        if (more.isEmpty() && m_file.error() != QFileDevice::NoError)
            fail();
        m_buf.append(more);
        return m_buf.size() >= n;
    }
    void need(qsizetype n)
    {
        if (!available(n))
            fail();
    }
    quint64 varint()
    {
        quint64 v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            need(1);
            const quint8 b = quint8(m_buf[m_pos++]);
            v |= quint64(b & 0x7f) << shift;
            if (!(b & 0x80))
                return v;
        }
        fail();
    }
    qint64 signedVarint()
    {
        const quint64 z = varint();
        return qint64(z >> 1) ^ -qint64(z & 1);
    }
    template <class T> T fixed()
    {
        need(8);
        T v;
        std::memcpy(&v, m_buf.constData() + m_pos, 8);
        m_pos += 8;
        return v;
    }
    QVariant value()
    {
        need(1);
        switch (m_buf[m_pos++]) {
        case Null: return QVariant();
        case Int: return QVariant(signedVarint());
        case Double: return QVariant(fixed<double>());
        case Date: return QVariant(QDate::fromJulianDay(signedVarint()));
        case DateTime: return QVariant(QDateTime::fromMSecsSinceEpoch(fixed<qint64>()));
        case Time: return QVariant(QTime::fromMSecsSinceStartOfDay(int(signedVarint())));
        case True: return QVariant(true);
        case False: return QVariant(false);
        case Text: {
            const qsizetype n = qsizetype(varint());
            need(n);
            const QString s = QString::fromUtf8(m_buf.constData() + m_pos, n);
            m_pos += n;
            return QVariant(s);
        }
        default: fail();
        }
    }

    QFile m_file;
    int m_fields;
    QByteArray m_buf;
    qsizetype m_pos = 0;
};

} // namespace

const QString kWhat = QStringLiteral("as linhas do relatório");

ReportSpool::ReportSpool(int fieldCount) : m_fieldCount(fieldCount), m_scratch(kWhat)
{
    if (!m_file.open(m_scratch.fd(), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        throw EHostError(ScratchFile::writeFailure(kWhat, m_scratch.folder(), EBADF));
    m_buffer.reserve(kChunk + 4096);
}

void ReportSpool::failWrite() const
{
    const int error = errno;
    throw EHostError(ScratchFile::writeFailure(kWhat, m_scratch.folder(), ScratchFile::isFull(m_scratch.folder()) ? ENOSPC : error));
}

ReportSpool::~ReportSpool() = default;

qint64 ReportSpool::append(const QVector<QVariant> &row)
{
    const qint64 token = size();
    for (int i = 0; i < m_fieldCount; ++i)
        putValue(m_buffer, i < row.size() ? row[i] : QVariant());
    ++m_rows;
    if (m_buffer.size() >= kChunk)
        flush();
    return token;
}

void ReportSpool::flush()
{
    if (m_buffer.isEmpty())
        return;
    errno = 0;
    if (m_file.write(m_buffer) != m_buffer.size())
        failWrite();
    m_written += m_buffer.size();
    m_buffer.truncate(0);
}

void ReportSpool::finish()
{
    flush();
    if (!m_file.flush())
        failWrite();
}

std::unique_ptr<ReportRowReader> ReportSpool::reader() const
{
    return std::make_unique<SpoolReader>(m_scratch.path(), m_fieldCount);
}
