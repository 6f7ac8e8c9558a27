// The module's variables the shell may read (scripted sessions' `get`), as
// read-only properties: the code lists as the report and the screen's
// queries receive them.
#pragma once

#include <QObject>
#include <QString>

class ModuleVariables : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString ListaGrup READ ListaGrup)
    Q_PROPERTY(QString ListaServPesq READ ListaServPesq)
    Q_PROPERTY(QString ListaServ READ ListaServ)

public:
    using QObject::QObject;

    QString ListaGrup() const;
    QString ListaServPesq() const;
    QString ListaServ() const;
};
