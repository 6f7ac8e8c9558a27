// The report-parameter screen "Custo Realizado Global do Período
// (Planejamento de Alimentação Escolar)".
#pragma once

#include "host/report/TfrmDadosGerRel.h"

class TfrmRealGlobal : public TfrmDadosGerRel {
    Q_OBJECT

public:
    explicit TfrmRealGlobal(QWidget *parent = nullptr);

public slots:
    void FormCreate(QObject *Sender);
    void FormActivate(QObject *Sender);
    void FormClose(QObject *Sender, int *Action);
};
