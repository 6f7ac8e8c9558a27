// The main window's menus and keys, on the window itself: each menu bar and
// menu gives every entry a letter of its own; the Relatórios menu holds
// every report command with its key; Ctrl+W and Ctrl+F4 close the screen;
// every key of the menus is in the README's keyboard table and in the
// screen's help page. ScreenKeys: a key that a field claims for itself
// goes to the menu instead when a menu holds it, in a screen of the window
// only; Esc puts back a field's typing, then closes the screen.
#include "report/commands/ReportCommandTable.h"
#include "shell/HelpWindow.h"
#include "shell/MainWindow.h"
#include "shell/ModuleLoader.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {
QList<QAction *> menuActions(const QMenuBar *bar)
{
    QList<QAction *> out;
    for (QAction *top : bar->actions())
        if (top->menu())
            for (QAction *a : top->menu()->actions())
                if (!a->isSeparator())
                    out << a;
    return out;
}

// The letter after the single '&' of an entry's text.
QChar mnemonic(const QString &text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        if (text[i] == QLatin1Char('&'))
            ++i;
    }
    return {};
}

void checkMnemonics(const QString &where, const QList<QAction *> &actions)
{
    QHash<QChar, QString> used;
    for (const QAction *a : actions) {
        if (a->isSeparator())
            continue;
        const QChar letter = mnemonic(a->text());
        QVERIFY2(!letter.isNull(), qPrintable(where + QStringLiteral(": no letter in ") + a->text()));
        QVERIFY2(!used.contains(letter), qPrintable(QStringLiteral("%1: '%2' in %3 and %4")
                                                        .arg(where, QString(letter), used.value(letter), a->text())));
        used.insert(letter, a->text());
    }
}

QString fileText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Whether text names key as a whole ("Ctrl+E" is not in "Ctrl+Shift+E" nor "Ctrl+E1").
bool names(const QString &text, const QString &key)
{
    return text.contains(QRegularExpression(QStringLiteral("(?<![\\w+])%1(?![\\w+])").arg(QRegularExpression::escape(key))));
}

// A screen inside the window: a line edit and a spin box.
struct FakeScreen {
    QMdiSubWindow *sub;
    QLineEdit *edit;
    QSpinBox *spin;
};

FakeScreen addScreen(MainWindow &window)
{
    auto *body = new QWidget;
    auto *layout = new QVBoxLayout(body);
    auto *edit = new QLineEdit(QStringLiteral("0101"), body);
    auto *spin = new QSpinBox(body);
    spin->setValue(2);
    layout->addWidget(edit);
    layout->addWidget(spin);
    QMdiSubWindow *sub = window.mdiArea()->addSubWindow(body);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    window.mdiArea()->setActiveSubWindow(sub);
    return {sub, edit, spin};
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ModuleLoader> m_loader;
    std::unique_ptr<MainWindow> m_window;

    QAction *action(const QString &name) const { return m_window->findChild<QAction *>(name); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_loader = std::make_unique<ModuleLoader>(m_dir.path());
        m_window = std::make_unique<MainWindow>(*m_loader, QStringLiteral("Merenda Escolar"));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanupTestCase()
    {
        m_window.reset();
        m_loader.reset();
    }

    void everyMenuGivesEachEntryALetterOfItsOwn()
    {
        checkMnemonics(QStringLiteral("menu bar"), m_window->menuBar()->actions());
        for (QAction *top : m_window->menuBar()->actions())
            checkMnemonics(top->text(), top->menu()->actions());
    }

    void theReportsMenuHoldsEveryCommandOfTheCommandBar()
    {
        const QList<QPair<QString, QString>> wanted = {
            {QStringLiteral("actsbtPrint"), QStringLiteral("Ctrl+P")},
            {QStringLiteral("actsbtPreview"), QStringLiteral("F5")},
            {QStringLiteral("actsbtSalvarComo"), QStringLiteral("Ctrl+S")},
            {QStringLiteral("actmnuExportarCsv"), QStringLiteral("Ctrl+E")},
            {QStringLiteral("actmnuExportarXlsx"), QStringLiteral("Ctrl+Shift+E")},
            {QStringLiteral("actmnuEditRel"), QStringLiteral("Ctrl+D")},
            {QStringLiteral("actmnuRelatPadr"), QStringLiteral("Ctrl+Shift+D")},
            {QStringLiteral("actRepeatLastParameters"), QStringLiteral("Ctrl+R")},
            {QStringLiteral("actSaveParameterSet"), QStringLiteral("Ctrl+Shift+S")},
            {QStringLiteral("actOpenParameterSet"), QStringLiteral("Ctrl+O")},
            {QStringLiteral("actRecentRuns"), QStringLiteral("Ctrl+H")}};
        for (const auto &[name, key] : wanted) {
            QAction *a = action(name);
            QVERIFY2(a, qPrintable(name));
            QCOMPARE(a->shortcut().toString(QKeySequence::PortableText), key);
        }
        QVERIFY(action(QStringLiteral("actmnuEditRel"))->text().remove(QLatin1Char('&')).contains(QStringLiteral("Editar relatório")));
        QVERIFY(action(QStringLiteral("actmnuRelatPadr"))->text().remove(QLatin1Char('&')).contains(QStringLiteral("Relatório padrão")));
    }

    void ctrlWAndCtrlF4CloseTheScreen()
    {
        QAction *close = action(QStringLiteral("actFechar"));
        QVERIFY(close);
        QCOMPARE(close->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+W")),
                                                          QKeySequence(QStringLiteral("Ctrl+F4"))}));
    }

    // A screen's frame has a Close of its own in its system menu, with Ctrl+W
    // and Ctrl+F4 on some desktops: two shortcuts for a key run neither.
    void ctrlWAndCtrlF4ReachTheWindowsCloseInAScreen()
    {
        for (const char *key : {"Ctrl+W", "Ctrl+F4"}) {
            const FakeScreen screen = addScreen(*m_window);
            QPointer<QMdiSubWindow> sub = screen.sub;
            for (const QAction *a : sub->systemMenu()->actions())
                QVERIFY2(!a->shortcuts().contains(QKeySequence(QLatin1String(key))), qPrintable(a->text()));
            screen.edit->setFocus();
            QTRY_VERIFY(screen.edit->hasFocus());
            const QKeySequence sequence{QLatin1String(key)};
            QTest::keyClick(screen.edit, Qt::Key(sequence[0].key()), sequence[0].keyboardModifiers());
            QTRY_VERIFY2(!sub, key);
        }
    }

    void theReadmeAndTheHelpPageNameEveryKeyOfTheMenus()
    {
        const QString readme = fileText(QStringLiteral(SOURCE_DIR "/README.md"));
        const int from = readme.indexOf(QLatin1String("## The window, at the keyboard"));
        QVERIFY(from >= 0);
        const QString table = readme.mid(from, readme.indexOf(QLatin1String("\n## "), from + 1) - from);
        // The page as the help window shows it: the commands' list in its place.
        QString help = fileText(QStringLiteral(SOURCE_DIR "/screen/help/10701700.html"));
        QVERIFY(help.contains(QLatin1String(HelpWindow::kReportCommandsMark)));
        help.replace(QLatin1String(HelpWindow::kReportCommandsMark), ReportCommandTable::helpList());
        QStringList keys = {QStringLiteral("Esc"), QStringLiteral("F9"), QStringLiteral("Tab")};
        for (QAction *a : menuActions(m_window->menuBar()))
            for (const QKeySequence &k : a->shortcuts())
                keys << k.toString(QKeySequence::PortableText);
        QVERIFY(keys.size() > 12);
        for (const QString &key : keys) {
            QVERIFY2(names(table, QLatin1Char('`') + key + QLatin1Char('`')), qPrintable(QStringLiteral("README: ") + key));
            QVERIFY2(names(help, QStringLiteral("<b>") + key + QStringLiteral("</b>"))
                         || names(help, QLatin1Char('(') + key + QLatin1Char(')')),
                     qPrintable(QStringLiteral("help: ") + key));
        }
    }

    // Ctrl+A is claimed by every line edit (select all): with a menu entry
    // holding it, the entry runs instead, in a screen of the window.
    void aMenuKeyWinsOverTheFieldWithTheFocus()
    {
        QAction *probe = m_window->menuBar()->actions().first()->menu()->addAction(QStringLiteral("&Teste"));
        probe->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
        int ran = 0;
        connect(probe, &QAction::triggered, this, [&ran] { ++ran; });
        const FakeScreen screen = addScreen(*m_window);
        for (QWidget *field : {static_cast<QWidget *>(screen.edit), static_cast<QWidget *>(screen.spin)}) {
            field->setFocus();
            QTRY_VERIFY(field->hasFocus());
            const int before = ran;
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(ran, before + 1);
        }
        QVERIFY(screen.edit->selectedText().isEmpty());

        // A field outside the window's screens keeps its keys.
        QLineEdit outside(QStringLiteral("texto"));
        outside.show();
        QVERIFY(QTest::qWaitForWindowActive(&outside));
        outside.setFocus();
        QTest::keyClick(&outside, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(outside.selectedText(), QStringLiteral("texto"));
        outside.close();
        delete probe;
        screen.sub->close();
        QTest::qWait(0);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void escPutsBackTheTypingThenClosesTheScreen()
    {
        const FakeScreen screen = addScreen(*m_window);
        QPointer<QMdiSubWindow> sub = screen.sub;
        screen.edit->setFocus();
        QTRY_VERIFY(screen.edit->hasFocus());
        screen.edit->end(false);
        QTest::keyClicks(screen.edit, QStringLiteral("99"));
        QCOMPARE(screen.edit->text(), QStringLiteral("010199"));
        QTest::keyClick(screen.edit, Qt::Key_Escape);
        QCOMPARE(screen.edit->text(), QStringLiteral("0101"));
        QVERIFY(sub);

        screen.spin->setFocus();
        QTRY_VERIFY(screen.spin->hasFocus());
        screen.spin->selectAll();
        QTest::keyClicks(screen.spin, QStringLiteral("7"));
        QCOMPARE(screen.spin->value(), 7);
        QTest::keyClick(screen.spin, Qt::Key_Escape);
        QCOMPARE(screen.spin->value(), 2);
        QVERIFY(sub);

        QTest::keyClick(screen.spin, Qt::Key_Escape);
        QTRY_VERIFY(!sub);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestMainWindow)
#include "test_main_window.moc"
