#include "XlsxNumberText.h"
#include "core/Errors.h"
#include "core/FixedDecimal.h"

#include <QFile>
#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <cerrno>
#include <memory>

namespace XlsxNumberText {

namespace {
// Column index of a cell reference ("AB12" -> 27); -1 when there is none.
int columnOf(const QByteArray &header)
{
    const qsizetype at = header.indexOf(" r=\"");
    if (at < 0)
        return -1;
    int col = 0;
    qsizetype i = at + 4;
    for (; i < header.size() && header[i] >= 'A' && header[i] <= 'Z'; ++i)
        col = col * 26 + (header[i] - 'A' + 1);
    return i == at + 4 ? -1 : col - 1;
}
} // namespace

QByteArray SheetNumbers::cell(const QByteArray &xml) const
{
    const qsizetype headerEnd = xml.indexOf('>');
    const QByteArray header = xml.left(headerEnd);
    if (header.contains(" t=\""))
        return xml; // text, Boolean or error cells
    const int scale = m_scales.value(columnOf(header), -1);
    const qsizetype from = xml.indexOf("<v>", headerEnd), to = xml.indexOf("</v>", headerEnd);
    if (scale < 0 || from < 0 || to < from)
        return xml;
    const QByteArray number = xml.mid(from + 3, to - from - 3);
    const std::optional<FixedDecimal> exact = FixedDecimal::fromText(QString::fromLatin1(number), scale);
    if (!exact)
        return xml;
    return xml.left(from + 3) + exact->shortestText().toLatin1() + xml.mid(to);
}

QByteArray SheetNumbers::feed(const QByteArray &piece)
{
    m_pending += piece;
    QByteArray out;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype start = m_pending.indexOf("<c ", pos);
        if (start < 0) {
            // Keep what may be the start of a cell cut by the piece's end.
            const qsizetype keep = qMax(pos, m_pending.size() - 2);
            out += QByteArrayView(m_pending).sliced(pos, keep - pos);
            pos = keep;
            break;
        }
        const qsizetype headerEnd = m_pending.indexOf('>', start);
        if (headerEnd < 0) {
            out += QByteArrayView(m_pending).sliced(pos, start - pos);
            pos = start;
            break;
        }
        qsizetype end = -1;
        if (m_pending[headerEnd - 1] == '/') {
            end = headerEnd + 1; // an empty cell
        } else {
            const qsizetype close = m_pending.indexOf("</c>", headerEnd);
            end = close < 0 ? -1 : close + 4;
        }
        out += QByteArrayView(m_pending).sliced(pos, start - pos);
        if (end < 0) {
            pos = start;
            break;
        }
        out += cell(m_pending.mid(start, end - start));
        pos = end;
    }
    m_pending.remove(0, pos);
    return out;
}

QByteArray SheetNumbers::finish()
{
    QByteArray rest = m_pending;
    m_pending.clear();
    return rest;
}

namespace {
struct UnzipClose {
    void operator()(void *f) const { unzClose(f); }
};
struct ZipClose {
    void operator()(void *f) const { zipClose(f, nullptr); }
};

[[noreturn]] void failed(const char *what, const QString &entry)
{
    const int error = errno;
    EHostError e(QStringLiteral("a planilha não pôde ser montada (%1 %2)").arg(QString::fromLatin1(what), entry));
    errno = error;
    throw e;
}

bool isSheet(const QString &name)
{
    return name.startsWith(QLatin1String("xl/worksheets/sheet")) && name.endsWith(QLatin1String(".xml"));
}

void copyEntry(unzFile in, zipFile out, const unz_file_info64 &info, const QByteArray &name, const QVector<int> &scales)
{
    zip_fileinfo zi{};
    zi.tmz_date = {info.tmu_date.tm_sec, info.tmu_date.tm_min, info.tmu_date.tm_hour,
                   info.tmu_date.tm_mday, info.tmu_date.tm_mon, info.tmu_date.tm_year};
    zi.dosDate = info.dosDate;
    const int zip64 = info.uncompressed_size >= 0xffff0000u ? 1 : 0;
    const bool sheet = isSheet(QString::fromUtf8(name));
    int method = 0, level = 0;
    if (unzOpenCurrentFile2(in, &method, &level, sheet ? 0 : 1) != UNZ_OK)
        failed("ao ler", QString::fromUtf8(name));
    // Sheets are deflated again at the fastest level: they are the bulk of
    // a long report and the time goes there; the rest is copied compressed.
    if (zipOpenNewFileInZip4_64(out, name.constData(), &zi, nullptr, 0, nullptr, 0, nullptr, sheet ? Z_DEFLATED : method,
                                sheet ? Z_BEST_SPEED : level, sheet ? 0 : 1, -MAX_WBITS, DEF_MEM_LEVEL,
                                Z_DEFAULT_STRATEGY, nullptr, 0, 0, 0, zip64) != ZIP_OK)
        failed("ao gravar", QString::fromUtf8(name));
    SheetNumbers numbers(scales);
    QByteArray buffer(1 << 18, Qt::Uninitialized);
    auto put = [&](const QByteArray &bytes) {
        if (!bytes.isEmpty() && zipWriteInFileInZip(out, bytes.constData(), unsigned(bytes.size())) != ZIP_OK)
            failed("ao gravar", QString::fromUtf8(name));
    };
    for (;;) {
        const int n = unzReadCurrentFile(in, buffer.data(), unsigned(buffer.size()));
        if (n < 0)
            failed("ao ler", QString::fromUtf8(name));
        if (n == 0)
            break;
        const QByteArray piece = buffer.left(n);
        put(sheet ? numbers.feed(piece) : piece);
    }
    if (sheet)
        put(numbers.finish());
    if (unzCloseCurrentFile(in) != UNZ_OK)
        failed("ao ler", QString::fromUtf8(name));
    const int closed = sheet ? zipCloseFileInZip(out) : zipCloseFileInZipRaw64(out, info.uncompressed_size, info.crc);
    if (closed != ZIP_OK)
        failed("ao gravar", QString::fromUtf8(name));
}
} // namespace

void copy(const QString &from, const QString &to, const QVector<int> &scales)
{
    std::unique_ptr<void, UnzipClose> in(unzOpen64(QFile::encodeName(from).constData()));
    if (!in)
        failed("ao ler", from);
    std::unique_ptr<void, ZipClose> out(zipOpen64(QFile::encodeName(to).constData(), APPEND_STATUS_CREATE));
    if (!out)
        failed("ao gravar", to);
    for (int r = unzGoToFirstFile(in.get()); r == UNZ_OK; r = unzGoToNextFile(in.get())) {
        unz_file_info64 info{};
        char name[512];
        if (unzGetCurrentFileInfo64(in.get(), &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            failed("ao ler", from);
        copyEntry(in.get(), out.get(), info, QByteArray(name), scales);
    }
    void *zf = out.release();
    if (zipClose(zf, nullptr) != ZIP_OK)
        failed("ao gravar", to);
}

} // namespace XlsxNumberText
