#include "MainWindow.h"
#include "ElidedLabel.h"
#include "HelpWindow.h"
#include "ModuleLoader.h"
#include "RecentRunsWindow.h"
#include "ReportMenu.h"
#include "session/RunHistory.h"
#include "SavedFileNotice.h"
#include "ScreenKeys.h"
#include "StatusFieldsLayout.h"
#include "StatusNotice.h"
#include "UserPreferences.h"
#include "appdata/CostsServerSupervisor.h"
#include "core/Dispatch.h"
#include "core/HostUi.h"
#include "report/commands/TfrmDadosGerRel.h"
#include "widgets/AccessibleNames.h"
#include "widgets/KeyboardHelpers.h"
#include "widgets/TApplication.h"
#include "widgets/TForm.h"
#include "widgets/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>

MainWindow::MainWindow(ModuleLoader &loader, const QString &title)
    : m_loader(loader), m_area(new QMdiArea(this))
{
    setObjectName(QStringLiteral("frmPrincipal"));
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
    reserveMenuLetters();
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

void MainWindow::rememberPlace() { WindowPlacement::remember(this); }

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
    // The status bar's "Abrir pasta" from the keyboard too.
    m_openFolder = file->addAction(QStringLiteral("Abrir &pasta do último arquivo gravado"), this,
                                   [this] { m_saved->openFolder(); });
    m_openFolder->setObjectName(QStringLiteral("actAbrirPasta"));
    m_openFolder->setEnabled(false);
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
    connect(m_reportMenu, &ReportMenu::recentRunsRequested, this, &MainWindow::showRecentRuns);
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

void MainWindow::reserveMenuLetters()
{
    // Alt+A opens "Arquivo" whatever screen is open: screens' captions take other letters.
    QString letters;
    for (const QAction *menu : menuBar()->actions()) {
        const qsizetype at = menu->text().indexOf(QLatin1Char('&'));
        if (at >= 0 && at + 1 < menu->text().size())
            letters += menu->text().at(at + 1);
    }
    AccessibleNames::setReservedLetters(letters);
}

void MainWindow::buildStatusBar()
{
    m_database = new ElidedLabel(Qt::ElideMiddle, this); // a path: its file name matters most
    m_branch = new ElidedLabel(Qt::ElideRight, this);
    m_costs = new ElidedLabel(Qt::ElideRight, this);
    m_message = new ElidedLabel(Qt::ElideRight, this);
    m_database->setObjectName(QStringLiteral("lblStatusBanco"));
    m_branch->setObjectName(QStringLiteral("lblStatusFilial"));
    m_costs->setObjectName(QStringLiteral("lblStatusCustos"));
    m_message->setObjectName(QStringLiteral("lblStatusMensagem"));
    m_message->hide();
    m_notice = new StatusNotice(this);
    connect(m_notice, &StatusNotice::clicked, this, &MainWindow::retryCostsServer);
    m_saved = new SavedFileNotice(this);
    // A report run as an administrator is a warning: served right after the notices.
    m_reportRights = new ElidedLabel(Qt::ElideRight, this);
    m_reportRights->setObjectName(QStringLiteral("lblStatusRelatorios"));
    m_reportRights->setStyleSheet(QStringLiteral("color: #b00000"));
    m_reportRights->hide();
    auto *fields = new QWidget(this);
    fields->setObjectName(QStringLiteral("pnlStatus"));
    auto *layout = new StatusFieldsLayout(fields);
    layout->addField(m_notice, 0);
    layout->addField(m_saved, 1);
    layout->addField(m_message, 1);
    layout->addField(m_reportRights, 1, true);
    layout->addField(m_database, 4, true);
    layout->addField(m_branch, 2, true);
    layout->addField(m_costs, 3, true);
    statusBar()->addWidget(fields, 1);
}

void MainWindow::showDatabase(const QString &location)
{
    m_database->setFullText(QStringLiteral("Banco: ") + location);
}

void MainWindow::showReportRights(const QString &warning)
{
    m_reportRights->setFullText(QStringLiteral("Relatórios como administrador"));
    m_reportRights->setToolTip(warning);
    m_reportRights->setAccessibleDescription(warning);
    m_reportRights->setVisible(!warning.isEmpty());
}

void MainWindow::showBranch(const QString &code, const QString &name)
{
    m_branch->setFullText(QStringLiteral("Filial: %1 - %2").arg(code, name));
}

void MainWindow::showCostsServer(const QString &state)
{
    m_costs->setFullText(QStringLiteral("Servidor de custos: ") + state);
}

void MainWindow::followCostsServer(CostsServerSupervisor *server)
{
    m_costsServer = server;
    connect(server, &CostsServerSupervisor::stateChanged, this, [this, server] { showCostsServer(server->stateText()); });
}

void MainWindow::showNotice(const QString &text) { m_notice->showNotice(text); }

void MainWindow::showFileWritten(const QString &path)
{
    m_message->hide();
    m_saved->showFile(path);
    m_openFolder->setEnabled(true);
}

void MainWindow::showMessage(const QString &text)
{
    m_saved->hide();
    m_message->setFullText(text);
    m_message->show();
}

void MainWindow::clearNotice() { m_notice->clearNotice(); }

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

void MainWindow::showRecentRuns()
{
    RunHistory *history = RunHistory::installed();
    if (!history)
        return;
    if (!m_recentRuns)
        m_recentRuns = new RecentRunsWindow(*history, [this](const QString &code) { return reportScreenFor(code); }, this);
    m_recentRuns->refresh();
    m_recentRuns->show();
    m_recentRuns->raise();
    m_recentRuns->activateWindow();
}

TfrmDadosGerRel *MainWindow::reportScreenFor(const QString &reportCode)
{
    const auto find = [&]() -> TfrmDadosGerRel * {
        for (QMdiSubWindow *w : m_area->subWindowList()) {
            auto *screen = qobject_cast<TfrmDadosGerRel *>(w->widget());
            if (screen && screen->reportCode() == reportCode) {
                m_area->setActiveSubWindow(w);
                return screen;
            }
        }
        return nullptr;
    };
    if (TfrmDadosGerRel *open = find())
        return open;
    for (const ModuleDescription &module : std::as_const(m_modules))
        if (!reportCode.isEmpty() && module.code.startsWith(reportCode))
            openModule(module.code);
    if (TfrmDadosGerRel *opened = find())
        return opened;
    HostUi::instance().showError(QStringLiteral("A tela do relatório %1 não pôde ser aberta; abra-a pelo menu "
                                                "Relatórios e tente de novo.").arg(reportCode), false);
    return nullptr;
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
