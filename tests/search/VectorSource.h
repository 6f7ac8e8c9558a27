// A search source over rows held in memory, counting what it is asked to
// read; it can be told to fail from a given read on.
#pragma once

#include "core/Errors.h"
#include "core/SearchSource.h"

class VectorSource : public SearchSource {
public:
    QList<SearchColumn> cols;
    QList<QStringList> rows;
    int key = 0;
    int reads = 0;        // fetch calls
    int rowsRead = 0;     // rows handed out
    int failFromRead = -1; // fetch number (1-based) that throws, -1 never

    int fetch(int max, QList<QStringList> &out) override
    {
        ++reads;
        if (failFromRead > 0 && reads >= failFromRead)
            throw EHostError(QStringLiteral("conexão perdida"));
        int n = 0;
        while (n < max && m_pos < rows.size()) {
            out << rows.at(m_pos++);
            ++n;
        }
        rowsRead += n;
        if (n < max)
            m_end = true;
        return n;
    }
    QList<SearchColumn> columns() const override { return cols; }
    int keyColumn() const override { return key; }
    bool atEnd() const override { return m_end; }

private:
    int m_pos = 0;
    bool m_end = false;
};
