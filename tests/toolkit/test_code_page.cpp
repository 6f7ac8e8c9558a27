// Code page 1252: the characters where it differs from Latin-1 survive the
// round trip and sort by their byte, not as '?'.
#include "core/CodePage1252.h"

#include <QTest>

class TestCodePage : public QObject {
    Q_OBJECT

private slots:
    void encodesAndDecodesTheHighRange()
    {
        const QString text = QStringLiteral("€ Š š Ÿ ção");
        const QByteArray bytes = CodePage1252::encode(text);
        QCOMPARE(bytes, QByteArray("\x80 \x8a \x9a \x9f \xe7\xe3o"));
        QCOMPARE(CodePage1252::decode(bytes), text);
        // Unassigned bytes stand for themselves; missing characters become '?'.
        QCOMPARE(CodePage1252::decode(QByteArray("\x81")), QString(QChar(0x81)));
        QCOMPARE(CodePage1252::encode(QStringLiteral("日")), QByteArray("?"));
    }

    void comparesByteWise()
    {
        // "Š" is 0x8A: after every ASCII letter, before "Ç" (0xC7).
        QVERIFY(CodePage1252::compare(QStringLiteral("Š"), QStringLiteral("A")) > 0);
        QVERIFY(CodePage1252::compare(QStringLiteral("Š"), QStringLiteral("Ç")) < 0);
        QVERIFY(CodePage1252::compare(QStringLiteral("€"), QStringLiteral("z")) > 0);
        QVERIFY(CodePage1252::compare(QStringLiteral("01"), QStringLiteral("0102")) < 0);
        QCOMPARE(CodePage1252::compare(QStringLiteral("Š1"), QStringLiteral("Š1")), 0);
    }
};

#include "support/TestPrograms.h"
REGISTER_GUILESS_TEST(TestCodePage)
#include "test_code_page.moc"
