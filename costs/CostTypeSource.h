// Where the costs server reads its cost types from.
#pragma once

#include <QList>
#include <QString>

struct CostType {
    int numero = 0;
    QString nome;
};

class CostTypeSource {
public:
    virtual ~CostTypeSource() = default;
    // The cost types in list order; false with error set when they cannot be read.
    virtual bool read(QList<CostType> &out, QString &error) = 0;
};
