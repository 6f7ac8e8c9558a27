// Rows of a report run in a compact temporary file, so that memory stays the
// same whatever the number of rows. Values keep their type: null, integer,
// number, text, date, date-time, time and Boolean (anything else is kept as
// its text). The file has no name in the temporary folder (ScratchFile), so
// a run killed at any point leaves nothing there; it goes with the spool.
// Readers open it through fileName() (this process only) and must not
// outlive the spool.
//
// Errors (the temporary folder full or not writable, a read that fails)
// throw EHostError naming the temporary folder and what to do.
#pragma once

#include "ReportRowStore.h"

#include "core/ScratchFile.h"

#include <QByteArray>
#include <QFile>

class ReportSpool : public ReportRowStore {
public:
    // The file has no name (ScratchFile): no other user can reach it and
    // nothing is left behind however the run ends.
    explicit ReportSpool(int fieldCount);
    ~ReportSpool() override;

    qint64 append(const QVector<QVariant> &row) override;
    void finish() override;
    qint64 rowCount() const override { return m_rows; }
    std::unique_ptr<ReportRowReader> reader() const override;

    // The unnamed file's /proc/self/fd/N path.
    QString fileName() const { return m_scratch.path(); }
    // Bytes written so far.
    qint64 size() const { return m_written + m_buffer.size(); }

private:
    void flush();

    [[noreturn]] void failWrite() const;

    int m_fieldCount;
    ScratchFile m_scratch;
    QFile m_file;
    QByteArray m_buffer;
    qint64 m_written = 0;
    qint64 m_rows = 0;
};
