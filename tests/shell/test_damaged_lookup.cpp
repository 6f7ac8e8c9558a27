// A scripted look-up over a damaged search index says what the list's
// window says ("Erro ao ler a lista: ..."), as an error event of the line
// that opened it, instead of a search of 0 rows and a total of -1. The
// index is damaged from outside, by the sqlite3 shell as a second client.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestDamagedLookup : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QStringList session(const QString &database, const QString &script)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        QProcess shell;
        shell.setProcessEnvironment(env);
        shell.start(QStringLiteral(SHELL_PROGRAM), {QStringLiteral("--script"), QStringLiteral("-"), QStringLiteral("--db"),
                                                    QStringLiteral("sqlite:") + database, QStringLiteral("--create-database")});
        shell.write(script.toUtf8());
        shell.closeWriteChannel();
        if (!shell.waitForFinished(120000))
            return {QStringLiteral("the session did not end")};
        return QString::fromUtf8(shell.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    static QList<QJsonObject> events(const QStringList &lines, const QString &kind)
    {
        QList<QJsonObject> out;
        for (const QString &l : lines) {
            const QJsonObject o = QJsonDocument::fromJson(l.toUtf8()).object();
            if (o.value(QStringLiteral("event")).toString() == kind)
                out << o;
        }
        return out;
    }

private slots:
    void aDamagedIndexIsAnErrorOfTheLine()
    {
        const QString database = m_dir.filePath(QStringLiteral("demo.sqlite"));
        const QString script = QStringLiteral("open XEV01700\nfilter arroz\nanswer\nfocus medCdProdInic\nkey F9\nclose\n");
        const QStringList sound = session(database, script);
        QCOMPARE(events(sound, QStringLiteral("error")).size(), 0);
        QVERIFY2(events(sound, QStringLiteral("search")).value(0).value(QStringLiteral("rows")).toInt() > 0, qPrintable(sound.join('\n')));

        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {database, QStringLiteral("DELETE FROM PRODUTO_PESQ_data WHERE id > 10;")});
        QVERIFY(sqlite.waitForFinished(30000));
        QCOMPARE(sqlite.exitCode(), 0);

        const QStringList damaged = session(database, script);
        QCOMPARE(events(damaged, QStringLiteral("search")).size(), 0);
        const QList<QJsonObject> errors = events(damaged, QStringLiteral("error"));
        QVERIFY2(errors.size() == 1, qPrintable(damaged.join('\n')));
        QCOMPARE(errors[0].value(QStringLiteral("line")).toInt(), 5); // key F9
        QVERIFY2(errors[0].value(QStringLiteral("text")).toString().startsWith(QStringLiteral("Erro ao ler a lista: ")),
                 qPrintable(damaged.join('\n')));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestDamagedLookup)
#include "test_damaged_lookup.moc"
