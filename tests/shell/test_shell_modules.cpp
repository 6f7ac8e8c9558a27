// The shell's "Relatórios" menu comes from the modules of its module folder
// as each describes itself: a module's entry opens it with the key it names,
// and without the screen's module its key opens nothing; a module that does
// not describe itself stays out of the menu (a script's `open` still reaches
// it); a file that is not a module does not stop the shell; `get` reads the
// variables a module offers.
#include "appdata/dtmDBGeral.h"
#include "support/ProcessRun.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

class TestShellModules : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;
    int m_folders = 0;

    // A module folder holding these module files (by their names there).
    QString folder(const QHash<QString, QString> &files)
    {
        const QString path = m_dir.filePath(QStringLiteral("modules-%1").arg(++m_folders));
        QDir().mkpath(path);
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            if (!QFile::link(it.value(), QDir(path).filePath(it.key())))
                qFatal("cannot link %s", qPrintable(it.value()));
        return path;
    }

    static QString testModule(const char *code)
    {
        return QStringLiteral(TEST_MODULES "/PKG_%1.so").arg(QLatin1String(code));
    }

    ProcessRun::Result session(const QString &modules, const QString &script)
    {
        QProcessEnvironment env = ProcessRun::noDisplay(m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        return ProcessRun::run(QStringLiteral(SHELL_PROGRAM),
                               {QStringLiteral("--script"), QStringLiteral("-"), QStringLiteral("--modules"), modules,
                                QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db},
                               env, 120000, script);
    }

    // The printed events of one kind.
    static QList<QJsonObject> events(const ProcessRun::Result &r, const QString &kind)
    {
        QList<QJsonObject> out;
        for (const QString &line : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
            if (o.value("event").toString() == kind)
                out << o;
        }
        return out;
    }

    static QStringList texts(const QList<QJsonObject> &list)
    {
        QStringList out;
        for (const QJsonObject &o : list)
            out << o.value("text").toString();
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("demo.sqlite"));
        TdtmDBGeral::createSqliteFile(m_db);
    }

    void eachDescribedModuleOpensFromItsEntry()
    {
        const QString garbage = m_dir.filePath(QStringLiteral("garbage.so"));
        QFile file(garbage);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a module");
        file.close();
        const QString modules = folder({{QStringLiteral("PKG_XTS00001.so"), testModule("XTS00001")},
                                        {QStringLiteral("PKG_XTS00002.so"), testModule("XTS00002")},
                                        {QStringLiteral("PKG_XTS00003.so"), garbage},
                                        {QStringLiteral("PKG_XEV01700.so"), QStringLiteral(SCREEN_MODULE)}});
        const auto r = session(modules, QStringLiteral("key Ctrl+T\nget Contador\nopen XTS00002\n"
                                                       "key Ctrl+G\nget medCdFilial\n"));
        QVERIFY2(r.finished && r.code == 0, qPrintable(ProcessRun::describe(r)));
        QCOMPARE(texts(events(r, QStringLiteral("message"))),
                 QStringList({QStringLiteral("Módulo XTS00001 aberto."), QStringLiteral("Módulo XTS00002 aberto.")}));
        const QList<QJsonObject> values = events(r, QStringLiteral("value"));
        QCOMPARE(values.size(), 2);
        QCOMPARE(values[0].value("control").toString(), QStringLiteral("Contador"));
        QCOMPARE(values[0].value("value").toString(), QStringLiteral("7"));
        // Ctrl+G, the screen module's own key, opened its screen.
        QCOMPARE(values[1].value("control").toString(), QStringLiteral("medCdFilial"));
    }

    void aModuleThatIsNotThereHasNoEntry()
    {
        const QString modules = folder({{QStringLiteral("PKG_XTS00001.so"), testModule("XTS00001")},
                                        {QStringLiteral("PKG_XTS00002.so"), testModule("XTS00002")}});
        const auto r = session(modules, QStringLiteral("key Ctrl+G\nget medCdFilial\nkey Ctrl+T\n"));
        QVERIFY2(r.finished && r.code == 1, qPrintable(ProcessRun::describe(r)));
        const QList<QJsonObject> errors = events(r, QStringLiteral("error"));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].value("line").toInt(), 2);
        QCOMPARE(errors[0].value("text").toString(), QStringLiteral("no screen is open"));
        // The described module answers its key; the other has none.
        QCOMPARE(texts(events(r, QStringLiteral("message"))), QStringList({QStringLiteral("Módulo XTS00001 aberto.")}));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestShellModules)
#include "test_shell_modules.moc"
