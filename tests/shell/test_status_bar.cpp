// The main window's status bar and small windows, on the window itself: a
// notice of a fault keeps all its text (elided to fit, whole in its tool
// tip, with a red mark) until it is cleared, and a click on it or the menu
// entry "Tentar novamente" asks to try again; the notice and the last file
// written get their room before the database's path and the branch, which
// are elided (a path in the middle); a file written is shown with "Abrir
// pasta", which opens its folder, or says where it is when nothing can open
// it; a command's word takes the file's place; Esc closes the help window;
// the screens' area scrolls rather than cutting a screen off.
#include "core/HostUi.h"
#include "shell/ElidedLabel.h"
#include "shell/HelpWindow.h"
#include "shell/MainWindow.h"
#include "shell/ModuleLoader.h"
#include "shell/SavedFileNotice.h"
#include "shell/StatusNotice.h"
#include "ui/ScriptedHostUi.h"

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
        QVERIFY2(notice->shownText().startsWith(QStringLiteral("\u25CF Servidor de c")), qPrintable(notice->shownText()));
        QVERIFY2(notice->shownText().endsWith(QStringLiteral("…")), qPrintable(notice->shownText())); // elided, not cut
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

    // A costs server down at 1024 pixels, with a long database path and
    // branch name: the notice is read whole, the path keeps its file name.
    void noticesComeBeforeTheDatabaseAndTheBranch()
    {
        const QString folder = QStringLiteral("/home/planejamento.merenda/Documentos/Bases de dados da secretaria/2026");
        m_window->showDatabase(QStringLiteral("sqlite:") + folder + QStringLiteral("/xev-demo.sqlite"));
        m_window->showBranch(QStringLiteral("0101"), QStringLiteral("Escola Municipal de Ensino Fundamental São João Batista"));
        const QString text = QStringLiteral("O servidor de custos em 127.0.0.1:45678 não respondeu: conexão recusada.");
        m_window->showNotice(text);
        QApplication::processEvents();
        auto *notice = m_window->findChild<StatusNotice *>(QStringLiteral("lblStatusAviso"));
        auto *database = m_window->findChild<ElidedLabel *>(QStringLiteral("lblStatusBanco"));
        auto *branch = m_window->findChild<ElidedLabel *>(QStringLiteral("lblStatusFilial"));
        QCOMPARE(notice->shownText(), QStringLiteral("\u25CF ") + text);
        // The path gives way, elided in the middle: its start and its end stay.
        QVERIFY2(database->shownText().startsWith(QStringLiteral("Banco")) && database->shownText().contains(QStringLiteral("…"))
                     && database->shownText().endsWith(QStringLiteral("qlite")),
                 qPrintable(database->shownText()));
        QVERIFY2(branch->shownText().startsWith(QStringLiteral("Filial: 0101")), qPrintable(branch->shownText()));
        // Side by side, none under another, all inside the window.
        QList<QWidget *> fields{notice, database, branch};
        for (QWidget *a : fields) {
            QVERIFY(a->isVisible());
            QVERIFY(a->mapTo(m_window.get(), QPoint(a->width(), 0)).x() <= m_window->width());
            for (QWidget *b : fields)
                QVERIFY(a == b || !QRect(a->mapTo(m_window.get(), QPoint()), a->size())
                                        .intersects(QRect(b->mapTo(m_window.get(), QPoint()), b->size())));
        }
        const QString narrow = database->shownText();
        m_window->clearNotice();
        QApplication::processEvents();
        QVERIFY2(database->shownText().size() > narrow.size() + 20, qPrintable(database->shownText())); // its room back
    }

    void aFileWrittenIsShownWithItsFolder()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        const QString file = m_dir.filePath(QStringLiteral("custo-realizado-0101-2026-03.xlsx"));
        m_window->showFileWritten(file);
        QApplication::processEvents(); // the status bar lays itself out again
        auto *saved = m_window->findChild<SavedFileNotice *>();
        QVERIFY(saved && saved->isVisible());
        auto *label = m_window->findChild<QLabel *>(QStringLiteral("lblArquivoGravado"));
        QCOMPARE(label->text(), QStringLiteral("Arquivo gravado em ") + file);
        QVERIFY2(static_cast<ElidedLabel *>(label)->shownText().endsWith(QStringLiteral("custo-realizado-0101-2026-03.xlsx")),
                 qPrintable(static_cast<ElidedLabel *>(label)->shownText()));
        auto *open = m_window->findChild<QToolButton *>(QStringLiteral("btnAbrirPasta"));
        QTest::mouseClick(open, Qt::LeftButton);
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

        // A fault comes first, and the file stays in sight after it.
        m_window->showNotice(QStringLiteral("O servidor de custos não respondeu."));
        QApplication::processEvents();
        auto *notice = m_window->findChild<StatusNotice *>(QStringLiteral("lblStatusAviso"));
        QVERIFY(saved->isVisible() && notice->isVisible());
        QVERIFY(notice->x() < saved->x());
        m_window->clearNotice();
        QVERIFY(saved->isVisible());

        // Nothing on this desktop opens folders: a message says where the file is.
        auto *ui = HostUi::install(std::make_unique<ScriptedHostUi>());
        QTest::mouseClick(open, Qt::LeftButton);
        QCOMPARE(ui->messages.size(), 1);
        QVERIFY2(ui->messages.first().text.contains(QDir::toNativeSeparators(m_dir.path()))
                     && ui->messages.first().text.contains(QStringLiteral("custo-realizado-0101-2026-03.xlsx")),
                 qPrintable(ui->messages.first().text));
        HostUi::uninstall();

        // A command's word takes the file's place, and a new file the word's.
        m_window->showMessage(QStringLiteral("Relatório padrão escolhido: Custo Realizado."));
        auto *word = m_window->findChild<ElidedLabel *>(QStringLiteral("lblStatusMensagem"));
        QVERIFY(word->isVisible() && !saved->isVisible());
        QApplication::processEvents();
        QCOMPARE(word->shownText(), word->text()); // a short word is read whole
        m_window->showFileWritten(file);
        QVERIFY(!word->isVisible() && saved->isVisible());
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
