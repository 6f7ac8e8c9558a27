// The parts of scripted sessions that read what a script says: key names
// and combinations, the key of each typed character, quoted words with
// their escapes, and lines with their bound.
#include "shell/ScriptKeys.h"
#include "shell/ScriptLineReader.h"
#include "shell/ScriptTokens.h"

#include <QBuffer>
#include <QTest>

class TestScriptParts : public QObject {
    Q_OBJECT

    static KeyStroke key(const QString &name)
    {
        KeyStroke k;
        QString why;
        if (!ScriptKeys::parse(name, k, &why))
            qWarning("%s", qPrintable(why));
        return k;
    }

private slots:
    void namedKeysKeepTheirMeaning_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("Tab") << "Tab" << int(Qt::Key_Tab) << "\t";
        QTest::newRow("Backtab") << "Backtab" << int(Qt::Key_Backtab) << "";
        QTest::newRow("Enter is Return") << "Enter" << int(Qt::Key_Return) << "\r";
        QTest::newRow("escape") << "escape" << int(Qt::Key_Escape) << "\x1b";
        QTest::newRow("F9") << "F9" << int(Qt::Key_F9) << "";
        QTest::newRow("Space") << "Space" << int(Qt::Key_Space) << " ";
        QTest::newRow("Backspace") << "Backspace" << int(Qt::Key_Backspace) << "\b";
        QTest::newRow("Delete") << "Delete" << int(Qt::Key_Delete) << "\x7f";
        QTest::newRow("PageUp") << "PageUp" << int(Qt::Key_PageUp) << "";
        QTest::newRow("PageDown") << "pagedown" << int(Qt::Key_PageDown) << "";
        QTest::newRow("Home") << "Home" << int(Qt::Key_Home) << "";
    }

    void namedKeysKeepTheirMeaning()
    {
        QFETCH(QString, name);
        QFETCH(int, key);
        QFETCH(QString, text);
        const KeyStroke k = TestScriptParts::key(name);
        QCOMPARE(k.key, key);
        QCOMPARE(k.modifiers, Qt::NoModifier);
        QCOMPARE(k.text, text);
    }

    void combinationsCarryTheirModifiers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::newRow("SelectAll") << "SelectAll" << int(Qt::Key_A) << int(Qt::ControlModifier) << "\x01";
        QTest::newRow("Ctrl+P") << "Ctrl+P" << int(Qt::Key_P) << int(Qt::ControlModifier) << "\x10";
        QTest::newRow("ctrl+r lower case") << "ctrl+r" << int(Qt::Key_R) << int(Qt::ControlModifier) << "\x12";
        QTest::newRow("Shift+Enter") << "Shift+Enter" << int(Qt::Key_Return) << int(Qt::ShiftModifier) << "\r";
        QTest::newRow("Alt+Down") << "Alt+Down" << int(Qt::Key_Down) << int(Qt::AltModifier) << "";
        QTest::newRow("Ctrl+Space") << "Ctrl+Space" << int(Qt::Key_Space) << int(Qt::ControlModifier) << "";
        QTest::newRow("F1") << "F1" << int(Qt::Key_F1) << 0 << "";
        QTest::newRow("F5") << "F5" << int(Qt::Key_F5) << 0 << "";
        QTest::newRow("Ctrl+Shift+S") << "Ctrl+Shift+S" << int(Qt::Key_S)
                                      << int(Qt::ControlModifier | Qt::ShiftModifier) << "\x13";
        QTest::newRow("Alt+E") << "Alt+E" << int(Qt::Key_E) << int(Qt::AltModifier) << "e";
        QTest::newRow("Shift+A") << "Shift+A" << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A";
        QTest::newRow("Ctrl+Q") << "Ctrl+Q" << int(Qt::Key_Q) << int(Qt::ControlModifier) << "\x11";
    }

    void combinationsCarryTheirModifiers()
    {
        QFETCH(QString, name);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        const KeyStroke k = TestScriptParts::key(name);
        QCOMPARE(k.key, key);
        QCOMPARE(int(k.modifiers), modifiers);
        QCOMPARE(k.text, text);
    }

    void unknownKeysAreRefused()
    {
        for (const QString &name : {QStringLiteral("Bogus"), QStringLiteral("Ctrl+Bogus"), QStringLiteral("Hyper+Tab"),
                                    QStringLiteral("Ctrl+P, Ctrl+Q"), QStringLiteral("")}) {
            KeyStroke k;
            QString why;
            QVERIFY2(!ScriptKeys::parse(name, k, &why), qPrintable(name));
            QVERIFY2(why.contains(name), qPrintable(why));
        }
    }

    void charactersCarryTheirText()
    {
        KeyStroke k;
        QString why;
        QVERIFY(ScriptKeys::forCharacter(U'ã', k, &why));
        QCOMPARE(k.key, int(Qt::Key_Atilde));
        QCOMPARE(k.text, QStringLiteral("ã"));
        QCOMPARE(k.modifiers, Qt::NoModifier);
        QVERIFY(ScriptKeys::forCharacter(U'€', k, &why));
        QCOMPARE(k.key, 0x20ac);
        QCOMPARE(k.text, QStringLiteral("€"));
        QVERIFY(ScriptKeys::forCharacter(U'a', k, &why));
        QCOMPARE(k.key, int(Qt::Key_A));
        QCOMPARE(k.text, QStringLiteral("a"));
        // Beyond the first plane: one key, a text of two UTF-16 units.
        QVERIFY(ScriptKeys::forCharacter(U'\U0001F600', k, &why));
        QCOMPARE(k.text.size(), 2);
        QCOMPARE(k.text.toUcs4().value(0), 0x1F600u);
    }

    void controlCharactersAreKeysOrRefused()
    {
        KeyStroke k;
        QString why;
        QVERIFY(ScriptKeys::forCharacter(U'\t', k, &why));
        QCOMPARE(k.key, int(Qt::Key_Tab));
        QVERIFY(ScriptKeys::forCharacter(U'\n', k, &why));
        QCOMPARE(k.key, int(Qt::Key_Return));
        QVERIFY(ScriptKeys::forCharacter(U'\b', k, &why));
        QCOMPARE(k.key, int(Qt::Key_Backspace));
        QVERIFY(ScriptKeys::forCharacter(U'\x1b', k, &why));
        QCOMPARE(k.key, int(Qt::Key_Escape));
        QVERIFY(!ScriptKeys::forCharacter(U'\x07', k, &why));
        QCOMPARE(why, QStringLiteral("U+0007 is a control character with no key"));
        QVERIFY(!ScriptKeys::forCharacter(U'\x85', k, &why));
        QVERIFY(why.startsWith(QLatin1String("U+0085")));
    }

    void quotedWordsTakeEscapes()
    {
        QStringList words;
        QString why;
        QVERIFY(ScriptTokens::split(QStringLiteral("type \"S\\u00e3o Jo\\u00e3o\\t\" x"), words, &why));
        QCOMPARE(words, (QStringList{QStringLiteral("type"), QStringLiteral("São João\t"), QStringLiteral("x")}));
        QVERIFY(ScriptTokens::split(QStringLiteral("type \"a\\nb\\e\\b\\\"\\\\\\q\""), words, &why));
        QCOMPARE(words.value(1), QStringLiteral("a\nb\x1b\b\"\\q"));
        QVERIFY(!ScriptTokens::split(QStringLiteral("type \"\\u00g1\""), words, &why));
        QVERIFY(why.contains(QLatin1String("\\u")));
        QVERIFY(!ScriptTokens::split(QStringLiteral("type \"open"), words, &why));
        QCOMPARE(why, QStringLiteral("unterminated quote"));
    }

    void linesHaveABound()
    {
        const QByteArray atBound(ScriptLineReader::MaxLineBytes, 'a');
        const QByteArray overBound(ScriptLineReader::MaxLineBytes + 1, 'b');
        QByteArray data = "open X\r\n" + atBound + "\n" + overBound + "\nclose\nlast";
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        ScriptLineReader reader(buffer);
        ScriptLineReader::Line line;
        QVERIFY(reader.next(line));
        QCOMPARE(line.text, QStringLiteral("open X"));
        QVERIFY(reader.next(line));
        QVERIFY(!line.tooLong);
        QCOMPARE(line.text.size(), ScriptLineReader::MaxLineBytes);
        QVERIFY(reader.next(line));
        QVERIFY(line.tooLong);
        QVERIFY(line.text.isEmpty());
        QCOMPARE(line.bytes, ScriptLineReader::MaxLineBytes + 1);
        QCOMPARE(line.start, QString(40, QLatin1Char('b')));
        QCOMPARE(line.number, 3);
        QVERIFY(reader.next(line));
        QCOMPARE(line.text, QStringLiteral("close"));
        QCOMPARE(line.number, 4);
        QVERIFY(reader.next(line));
        QCOMPARE(line.text, QStringLiteral("last"));
        QVERIFY(!reader.next(line));
    }

    void aVeryLongLineIsSkippedInPieces()
    {
        // Several times the bound, and the next line still comes whole.
        QByteArray data = QByteArray(5 * ScriptLineReader::MaxLineBytes + 7, 'c') + "\nget x\n";
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        ScriptLineReader reader(buffer);
        ScriptLineReader::Line line;
        QVERIFY(reader.next(line));
        QVERIFY(line.tooLong);
        QCOMPARE(line.bytes, 5 * ScriptLineReader::MaxLineBytes + 7);
        QVERIFY(reader.next(line));
        QCOMPARE(line.text, QStringLiteral("get x"));
        QCOMPARE(line.number, 2);
    }
};

#include "support/TestPrograms.h"
REGISTER_GUILESS_TEST(TestScriptParts)
#include "test_script_parts.moc"
