#include "MainWindow.h"
#include "HelpWindow.h"
#include "ModuleLoader.h"
#include "ReportMenu.h"
#include "SavedFileNotice.h"
#include "ScreenKeys.h"
#include "StatusNotice.h"
#include "UserPreferences.h"
#include "appdata/CostsServerSupervisor.h"
#include "core/Dispatch.h"
#include "core/HostUi.h"
#include "report/commands/TfrmDadosGerRel.h"
#include "widgets/KeyboardHelpers.h"
#include "widgets/TApplication.h"
#include "widgets/TForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>

MainWindow::MainWindow(ModuleLoader &loader, const QString &title)
    : m_loader(loader), m_area(new QMdiArea(this))
{
    setWindowTitle(title);
    setCentralWidget(m_area);
    m_area->setBackground(QColor(0x5a, 0x6e, 0x8c));
    // On a small screen (1024x600) a screen taller than the area is scrolled
    // to, never cut off.
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    TApplication::setMdiArea(m_area);
    buildFileMenu();
    buildReportsMenu();
    buildWindowMenu();
    buildHelpMenu();
    buildStatusBar();
    // The menus' keys reach the menus whatever field has the focus.
    new ScreenKeys(this, m_area);
    connect(m_area, &QMdiArea::subWindowActivated, this, &MainWindow::updateCommands);
    updateCommands();
    fitDefaultSize();
}

void MainWindow::fitDefaultSize()
{
    // The status bar must not end below a small screen's edge (1024x768 with
    // a panel, say). The frame is not known before the window is shown, so
    // room is left for a usual one.
    QSize size(1024, 720);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(size);
}

void MainWindow::restorePlace()
{
    const QByteArray saved = UserPreferences::mainWindowGeometry();
    if (saved.isEmpty() || !restoreGeometry(saved))
        fitDefaultSize();
}

void MainWindow::rememberPlace() const { UserPreferences::setMainWindowGeometry(saveGeometry()); }

void MainWindow::buildFileMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&Arquivo"));
    QAction *enter = file->addAction(QStringLiteral("&Enter avança para o próximo campo"));
    enter->setObjectName(QStringLiteral("actEnterAvanca"));
    enter->setCheckable(true);
    enter->setChecked(UserPreferences::enterMovesFocus());
    KeyboardHelpers::setEnterMovesFocus(enter->isChecked());
    connect(enter, &QAction::toggled, this, [](bool on) {
        KeyboardHelpers::setEnterMovesFocus(on);
        UserPreferences::setEnterMovesFocus(on);
    });
    file->addSeparator();
    QAction *retry = file->addAction(QStringLiteral("&Tentar novamente o servidor de custos"), this,
                                     &MainWindow::retryCostsServer);
    retry->setObjectName(QStringLiteral("actTentarNovamente"));
    file->addSeparator();
    QAction *quit = file->addAction(QStringLiteral("&Sair"), this, &QWidget::close);
    quit->setObjectName(QStringLiteral("actSair"));
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
}

void MainWindow::buildReportsMenu()
{
    QMenu *reports = menuBar()->addMenu(QStringLiteral("&Relatórios"));
    m_modules = m_loader.describeAll();
    for (const ModuleDescription &module : std::as_const(m_modules)) {
        QAction *open = reports->addAction(module.menuTitle);
        open->setObjectName(QStringLiteral("actAbrir") + module.code);
        open->setShortcut(QKeySequence(module.menuKey));
        connect(open, &QAction::triggered, this, [this, code = module.code] { openModule(code); });
    }
    reports->addSeparator();
    m_reportMenu = new ReportMenu(reports, [this] { return activeScreen(); });
}

void MainWindow::buildWindowMenu()
{
    QMenu *window = menuBar()->addMenu(QStringLiteral("&Janela"));
    window->addAction(QStringLiteral("&Cascata"), m_area, &QMdiArea::cascadeSubWindows);
    window->addAction(QStringLiteral("&Lado a lado"), m_area, &QMdiArea::tileSubWindows);
    QAction *close = window->addAction(QStringLiteral("&Fechar"), m_area, &QMdiArea::closeActiveSubWindow);
    close->setObjectName(QStringLiteral("actFechar"));
    // Ctrl+W as on this desktop, Ctrl+F4 as users of other systems expect; Esc too (ScreenKeys).
    close->setShortcuts({QKeySequence(QStringLiteral("Ctrl+W")), QKeySequence(QStringLiteral("Ctrl+F4"))});
}

void MainWindow::buildHelpMenu()
{
    QMenu *help = menuBar()->addMenu(QStringLiteral("Aj&uda"));
    QAction *screenHelp = help->addAction(QStringLiteral("&Ajuda da tela"), this, &MainWindow::showHelp);
    screenHelp->setObjectName(QStringLiteral("actAjudaTela"));
    screenHelp->setShortcut(QKeySequence(QStringLiteral("F1")));
    help->addSeparator();
    help->addAction(QStringLiteral("&Sobre"), this, &MainWindow::showAbout)->setObjectName(QStringLiteral("actSobre"));
}

void MainWindow::buildStatusBar()
{
    m_database = new QLabel(this);
    m_branch = new QLabel(this);
    m_costs = new QLabel(this);
    m_database->setObjectName(QStringLiteral("lblStatusBanco"));
    m_branch->setObjectName(QStringLiteral("lblStatusFilial"));
    m_costs->setObjectName(QStringLiteral("lblStatusCustos"));
    // A little room between the three, as separate fields read.
    for (QLabel *l : {m_database, m_branch, m_costs})
        l->setContentsMargins(8, 0, 8, 0);
    m_notice = new StatusNotice(this);
    connect(m_notice, &StatusNotice::clicked, this, &MainWindow::retryCostsServer);
    statusBar()->addWidget(m_notice, 1);
    m_saved = new SavedFileNotice(this);
    statusBar()->addWidget(m_saved, 1);
    m_reportRights = new QLabel(this);
    m_reportRights->setObjectName(QStringLiteral("lblStatusRelatorios"));
    m_reportRights->setStyleSheet(QStringLiteral("color: #b00000"));
    m_reportRights->setContentsMargins(8, 0, 8, 0);
    m_reportRights->hide();
    statusBar()->addPermanentWidget(m_reportRights);
    statusBar()->addPermanentWidget(m_database);
    statusBar()->addPermanentWidget(m_branch);
    statusBar()->addPermanentWidget(m_costs);
}

void MainWindow::showDatabase(const QString &location)
{
    m_database->setText(QStringLiteral("Banco: ") + location);
}

void MainWindow::showReportRights(const QString &warning)
{
    m_reportRights->setText(QStringLiteral("Relatórios como administrador"));
    m_reportRights->setToolTip(warning);
    m_reportRights->setAccessibleDescription(warning);
    m_reportRights->setVisible(!warning.isEmpty());
}

void MainWindow::showBranch(const QString &code, const QString &name)
{
    m_branch->setText(QStringLiteral("Filial: %1 - %2").arg(code, name));
}

void MainWindow::showCostsServer(const QString &state)
{
    m_costs->setText(QStringLiteral("Servidor de custos: ") + state);
}

void MainWindow::followCostsServer(CostsServerSupervisor *server)
{
    m_costsServer = server;
    connect(server, &CostsServerSupervisor::stateChanged, this, [this, server] { showCostsServer(server->stateText()); });
}

void MainWindow::showNotice(const QString &text)
{
    m_saved->hide(); // the fault matters more than the last file
    m_notice->showNotice(text);
}

void MainWindow::showFileWritten(const QString &path)
{
    if (m_notice->notice().isEmpty())
        m_saved->showFile(path);
}

void MainWindow::clearNotice()
{
    m_notice->clearNotice();
    if (!m_saved->file().isEmpty())
        m_saved->show();
}

void MainWindow::retryCostsServer()
{
    if (m_costsServer && m_costsServer->state() != CostsServerSupervisor::State::Running) {
        QString why;
        if (!m_costsServer->ensureRunning(&why)) {
            showNotice(QStringLiteral("O servidor de custos não pôde ser iniciado: %1. Tente novamente em instantes; "
                                      "se persistir, reinicie o programa.")
                           .arg(why));
            return;
        }
    }
    // Each open screen reads its lists again; one that gets them clears the notice.
    for (QMdiSubWindow *sub : m_area->subWindowList())
        if (auto *screen = qobject_cast<TfrmDadosGerRel *>(sub->widget()))
            Dispatch::guard([&] { screen->refreshRemoteData(); });
}

TForm *MainWindow::activeScreen() const
{
    QMdiSubWindow *sub = m_area->activeSubWindow();
    return sub ? qobject_cast<TForm *>(sub->widget()) : nullptr;
}

void MainWindow::updateCommands() { m_reportMenu->update(); }

void MainWindow::showHelp()
{
    const QString page = HelpWindow::pageOf(activeScreen(), m_modules);
    if (page.isEmpty()) {
        HostUi::instance().showInfo(QStringLiteral("Não há ajuda para esta tela."));
        return;
    }
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->showPage(page);
}

void MainWindow::showAbout()
{
    QStringList titles;
    for (const ModuleDescription &module : std::as_const(m_modules))
        titles << QString(module.menuTitle).remove(QRegularExpression(QStringLiteral("&(?=[^&])"))); // no mnemonic
    HostUi::instance().showAbout(QStringLiteral("Sobre o %1").arg(QApplication::applicationDisplayName()),
                                 QStringLiteral("%1 %2\n%3\n\n%4\n%5\n%6")
                                    .arg(QApplication::applicationDisplayName(), QApplication::applicationVersion(),
                                         titles.join(QLatin1Char('\n')), m_database->text(), m_branch->text(),
                                         m_costs->text()));
}

void MainWindow::openModule(const QString &code)
{
    Dispatch::guard([&] { m_loader.open(code); });
}

void MainWindow::closeScreens()
{
    m_area->closeAllSubWindows();
    // Deletions requested by the close handling happen before modules unload.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void MainWindow::closeEvent(QCloseEvent *e)
{
    closeScreens();
    e->accept();
}
