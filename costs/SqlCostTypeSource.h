// Cost types read from the shell's database (table TIPOCUSTO, in NRORDEM
// order), through a connection of its own opened as the shell's data module
// opens one. The connection opens at the first read and stays open; a failed
// read closes it so that the next read starts afresh. A SQLite file that
// does not exist is an error here: the server never creates the shell's
// database.
#pragma once

#include "CostTypeSource.h"
#include "appdata/ShellConfig.h"

class SqlCostTypeSource : public CostTypeSource {
public:
    SqlCostTypeSource(const DatabaseLocation &location, const QString &user, const QString &password);
    ~SqlCostTypeSource() override;

    bool read(QList<CostType> &out, QString &error) override;

    static const char *const kStatement;

private:
    bool open(QString &error);
    void close();

    DatabaseLocation m_location;
    QString m_user;
    QString m_password;
    QString m_connection;
    bool m_open = false;
};
