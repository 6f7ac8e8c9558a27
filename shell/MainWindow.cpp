#include "MainWindow.h"
#include "ModuleLoader.h"
#include "toolkit/Dispatch.h"
#include "toolkit/TApplication.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

MainWindow::MainWindow(ModuleLoader &loader, const QString &title)
    : m_loader(loader), m_area(new QMdiArea(this))
{
    setWindowTitle(title);
    setCentralWidget(m_area);
    m_area->setBackground(QColor(0x5a, 0x6e, 0x8c));
    TApplication::setMdiArea(m_area);

    QMenu *reports = menuBar()->addMenu(QStringLiteral("&Relatórios"));
    QAction *open = reports->addAction(
        QStringLiteral("Custo Realizado Global do Período (Planejamento de Alimentação Escolar)"));
    open->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
    connect(open, &QAction::triggered, this, [this] { openModule(QStringLiteral("XEV01700")); });

    QMenu *window = menuBar()->addMenu(QStringLiteral("&Janela"));
    window->addAction(QStringLiteral("&Cascata"), m_area, &QMdiArea::cascadeSubWindows);
    window->addAction(QStringLiteral("&Lado a lado"), m_area, &QMdiArea::tileSubWindows);
    window->addSeparator();
    QAction *quit = window->addAction(QStringLiteral("&Sair"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);
    resize(1024, 720);
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
