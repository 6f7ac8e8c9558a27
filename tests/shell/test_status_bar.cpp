// The main window's status bar and small windows, on the window itself: a
// notice of a fault keeps all its text (elided to fit, whole in its tool
// tip, with a red mark) until it is cleared, and a click on it or the menu
// entry "Tentar novamente" asks to try again; a file written is shown with
// "Abrir pasta", which opens its folder; Esc closes the help window; the
// screens' area scrolls rather than cutting a screen off.
#include "shell/HelpWindow.h"
#include "shell/MainWindow.h"
#include "shell/ModuleLoader.h"
#include "shell/SavedFileNotice.h"
#include "shell/StatusNotice.h"

#include <QAction>
#include <QDesktopServices>
#include <QMdiArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

// Receives the URLs the desktop would open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestStatusBar : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ModuleLoader> m_loader;
    std::unique_ptr<MainWindow> m_window;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_loader = std::make_unique<ModuleLoader>(m_dir.path());
        m_window = std::make_unique<MainWindow>(*m_loader, QStringLiteral("Merenda Escolar"));
        m_window->resize(1024, 600);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanupTestCase()
    {
        m_window.reset();
        m_loader.reset();
    }

    void aLongNoticeIsKeptWholeUntilCleared()
    {
        auto *notice = m_window->findChild<StatusNotice *>(QStringLiteral("lblStatusAviso"));
        QVERIFY(notice);
        QVERIFY(!notice->isVisible());
        const QString text = QStringLiteral("Servidor de custos 127.0.0.1:45678: conexão recusada (nenhum servidor escuta "
                                            "nessa porta). A lista de tipos de custo ficou vazia. ")
                                 .repeated(3);
        m_window->showNotice(text);
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->notice(), text);
        QVERIFY(notice->toolTip().startsWith(text));
        QVERIFY2(notice->text().startsWith(QStringLiteral("\u25CF Servidor de c")), qPrintable(notice->text()));
        QVERIFY2(notice->text().endsWith(QStringLiteral("…")), qPrintable(notice->text())); // elided, not cut
        QVERIFY(notice->palette().color(QPalette::WindowText).red() > 150);
        // It fits inside the window with the other fields.
        QVERIFY(notice->geometry().right() < m_window->width());
        QTest::qWait(50);
        QCOMPARE(notice->notice(), text); // no time limit
        m_window->clearNotice();
        QVERIFY(!notice->isVisible());
        QCOMPARE(notice->notice(), QString());
    }

    void aClickOnTheNoticeOrTheMenuTriesAgain()
    {
        auto *notice = m_window->findChild<StatusNotice *>(QStringLiteral("lblStatusAviso"));
        int clicks = 0;
        connect(notice, &StatusNotice::clicked, this, [&clicks] { ++clicks; });
        m_window->showNotice(QStringLiteral("O servidor de custos não respondeu."));
        QTest::mouseClick(notice, Qt::LeftButton, {}, notice->rect().center());
        QCOMPARE(clicks, 1);
        auto *retry = m_window->findChild<QAction *>(QStringLiteral("actTentarNovamente"));
        QVERIFY(retry);
        QVERIFY(retry->isEnabled());
        retry->trigger(); // with no screen open and no own server, nothing to do and nothing thrown
        m_window->clearNotice();
    }

    void aFileWrittenIsShownWithItsFolder()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        const QString file = m_dir.filePath(QStringLiteral("custo-realizado-0101-2026-03.xlsx"));
        m_window->showFileWritten(file);
        auto *saved = m_window->findChild<SavedFileNotice *>();
        QVERIFY(saved && saved->isVisible());
        auto *label = m_window->findChild<QLabel *>(QStringLiteral("lblArquivoGravado"));
        QCOMPARE(label->text(), QStringLiteral("Arquivo gravado em ") + file);
        auto *open = m_window->findChild<QToolButton *>(QStringLiteral("btnAbrirPasta"));
        QTest::mouseClick(open, Qt::LeftButton);
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

        // A fault takes its place, and gives it back once cleared.
        m_window->showNotice(QStringLiteral("O servidor de custos não respondeu."));
        QVERIFY(!saved->isVisible());
        m_window->clearNotice();
        QVERIFY(saved->isVisible());
    }

    void escClosesTheHelpWindow()
    {
        const QString page = m_dir.filePath(QStringLiteral("ajuda.html"));
        QFile f(page);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html><head><title>Tela</title></head><body><p>Texto</p></body></html>");
        f.close();
        HelpWindow help;
        QVERIFY(help.showPage(page));
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QApplication::setActiveWindow(&help);
        QTest::keyClick(&help, Qt::Key_Escape);
        QTRY_VERIFY(!help.isVisible());
    }

    void aTallScreenScrollsInsteadOfBeingCutOff()
    {
        QCOMPARE(m_window->mdiArea()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QCOMPARE(m_window->mdiArea()->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestStatusBar)
#include "test_status_bar.moc"
