// A screen on a private copy of the demo database: the data module opened on
// it, a costs server of its own on it, the working branch set, dialogs
// scripted. The module is linked in.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class CostsServerProcess;
class ScriptedHostUi;
class TdtmDBGeral;
class TfrmRealGlobal;

class ScreenFixture {
public:
    explicit ScreenFixture(const QString &branch = QStringLiteral("0101"));
    ~ScreenFixture();

    // Runs a statement on the database (to shape the data of one case).
    void exec(const QString &sql);
    // IniProc; the screen shown and active, or nullptr when it refused.
    TfrmRealGlobal *open();
    void closeScreen();

    ScriptedHostUi *ui = nullptr;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TdtmDBGeral> m_data;
    std::unique_ptr<CostsServerProcess> m_costs;
};
