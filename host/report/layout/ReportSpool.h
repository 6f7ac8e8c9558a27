// Rows of a report run in a compact temporary file, so that memory stays the
// same whatever the number of rows. Values keep their type: null, integer,
// number, text, date, date-time, time and Boolean (anything else is kept as
// its text). The file is removed with the spool; readers open it by name and
// must not outlive it.
//
// Errors (the temporary folder full or not writable, a read that fails)
// throw EHostError naming the file.
#pragma once

#include "ReportRowStore.h"

#include <QByteArray>
#include <QTemporaryFile>

class ReportSpool : public ReportRowStore {
public:
    // The file is made in the user's private folder "relatorios"
    // (PrivateFolder: mode 0700, no other user can reach it).
    explicit ReportSpool(int fieldCount);
    ~ReportSpool() override;

    qint64 append(const QVector<QVariant> &row) override;
    void finish() override;
    qint64 rowCount() const override { return m_rows; }
    std::unique_ptr<ReportRowReader> reader() const override;

    QString fileName() const { return m_file.fileName(); }
    // Bytes written so far.
    qint64 size() const { return m_written + m_buffer.size(); }

private:
    void flush();

    int m_fieldCount;
    QString m_folder;
    QTemporaryFile m_file;
    QByteArray m_buffer;
    qint64 m_written = 0;
    qint64 m_rows = 0;
};
