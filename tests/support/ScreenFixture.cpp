#include "appdata/CostsServerProcess.h"
#include "appdata/dtmDBGeral.h"
#include "core/Dispatch.h"
#include "module/Pkg_xev01700.h"
#include "screen/TfrmRealGlobal.h"
#include "session/LocalCache.h"
#include "session/ShellContext.h"
#include "support/ScreenFixture.h"
#include "ui/ScriptedHostUi.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {
// The demo database is built once per test program and copied for each case.
QString demoTemplate()
{
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("demo.sqlite"));
        TdtmDBGeral::createSqliteFile(path);
    }
    return path;
}
}

ScreenFixture::ScreenFixture(const QString &branch)
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const QString db = m_dir.filePath(QStringLiteral("case.sqlite"));
    QFile::copy(demoTemplate(), db);
    ShellConfig config;
    config.database = QStringLiteral("sqlite:") + db;
    config.branch = branch;
    m_data = std::make_unique<TdtmDBGeral>();
    m_data->open(config);
    m_costs = std::make_unique<CostsServerProcess>();
    QString why;
    if (!m_costs->start(config.database, {}, 10000, &why))
        qFatal("costs server: %s", qPrintable(why));
    ShellContext::instance().webHost = m_costs->host();
    ShellContext::instance().webPort = m_costs->port();
    LocalCache::instance().clear();
    ui = HostUi::install(std::make_unique<ScriptedHostUi>());
    Initialize();
}

ScreenFixture::~ScreenFixture()
{
    closeScreen();
    Finalize();
    m_costs->stop();
    m_data->close();
}

void ScreenFixture::exec(const QString &sql)
{
    QSqlQuery q(m_data->database());
    if (!q.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    LocalCache::instance().clear();
}

TfrmRealGlobal *ScreenFixture::open()
{
    Dispatch::guard([] { IniProc(); });
    TfrmRealGlobal *screen = moduleState().frmRealGlobal;
    if (!screen)
        return nullptr;
    screen->show();
    screen->activateWindow();
    if (!QTest::qWaitForWindowActive(screen))
        qWarning("screen not active");
    QApplication::processEvents();
    return screen;
}

void ScreenFixture::closeScreen()
{
    if (TfrmRealGlobal *screen = moduleState().frmRealGlobal)
        Dispatch::guard([screen] { screen->Close(); });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
