// Edit masks: typing, assigning and pasting through the stored masks.
#include "core/EditMask.h"
#include "widgets/TMaskEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

class TestEditMask : public QObject {
    Q_OBJECT

    TMaskEdit *shownEdit(const QString &mask)
    {
        auto *e = new TMaskEdit;
        e->setEditMask(mask);
        e->show();
        e->activateWindow();
        e->setFocus();
        if (!QTest::qWaitForWindowActive(e))
            qWarning("window not active");
        return e;
    }

private slots:
    void branchMaskUppercasesAndStopsAtFour()
    {
        std::unique_ptr<TMaskEdit> e(shownEdit(QStringLiteral(">aaaa;0; ")));
        QTest::keyClicks(e.get(), QStringLiteral("ab1c9"));
        QCOMPARE(e->Text(), QStringLiteral("AB1C"));
    }

    void branchMaskRefusesPunctuation()
    {
        std::unique_ptr<TMaskEdit> e(shownEdit(QStringLiteral(">aaaa;0; ")));
        QTest::keyClicks(e.get(), QStringLiteral("a-b"));
        QCOMPARE(e->Text(), QStringLiteral("AB"));
    }

    void digitMaskTakesDigitsOnly()
    {
        std::unique_ptr<TMaskEdit> e(shownEdit(QStringLiteral("9999;0; ")));
        QTest::keyClicks(e.get(), QStringLiteral("0a1b2"));
        QCOMPARE(e->Text(), QStringLiteral("012"));
    }

    void shortTextHasNoTrailingBlanks()
    {
        std::unique_ptr<TMaskEdit> e(shownEdit(QStringLiteral(">aaaa;0; ")));
        QTest::keyClicks(e.get(), QStringLiteral("2"));
        QCOMPARE(e->Text(), QStringLiteral("2"));
    }

    void pictureMaskLeavesLiteralsOutOfText()
    {
        std::unique_ptr<TMaskEdit> e(shownEdit(QStringLiteral("99.99.9999;0; ")));
        QTest::keyClicks(e.get(), QStringLiteral("01020003"));
        QCOMPARE(e->Text(), QStringLiteral("01020003"));
        QCOMPARE(e->displayText(), QStringLiteral("01.02.0003"));
    }

    void pictureMaskKeepsLiteralsWhenAsked()
    {
        EditMask m(QStringLiteral("99.99.9999;1;_"));
        QCOMPARE(m.valueOf(m.filter(QStringLiteral("0102"))), QStringLiteral("01.02"));
        QCOMPARE(m.valueOf(m.filter(QStringLiteral("01.02.0003"))), QStringLiteral("01.02.0003"));
    }

    void aClickPastTheFilledPositionsTypesRightAfterThem()
    {
        std::unique_ptr<TMaskEdit> e(shownEdit(QStringLiteral("99.99.9999;0; ")));
        e->resize(200, 24);
        const QPoint farRight(e->width() - 8, e->height() / 2);
        // Clicks apart, not a double click that selects.
        const int apart = QApplication::doubleClickInterval() + 50;
        // Empty: the first position.
        QTest::mouseClick(e.get(), Qt::LeftButton, {}, farRight, apart);
        QTest::keyClicks(e.get(), QStringLiteral("01"));
        QCOMPARE(e->Text(), QStringLiteral("01"));
        // Partly filled: right after what is there.
        QTest::mouseClick(e.get(), Qt::LeftButton, {}, farRight, apart);
        QTest::keyClicks(e.get(), QStringLiteral("02"));
        QCOMPARE(e->displayText(), QStringLiteral("01.02.    "));
        // A click inside what is filled stays where it is.
        QTest::mouseClick(e.get(), Qt::LeftButton, {}, QPoint(2, e->height() / 2), apart);
        QCOMPARE(e->cursorPosition(), 0);
    }

    void typingAfterAnAssignedTextContinuesAfterIt()
    {
        std::unique_ptr<TMaskEdit> e(shownEdit(QStringLiteral("99.99.9999;0; ")));
        e->setText_(QStringLiteral("01"));
        QTest::keyClicks(e.get(), QStringLiteral("02"));
        QCOMPARE(e->displayText(), QStringLiteral("01.02.    "));
    }

    void assignedTextIsFiltered()
    {
        TMaskEdit e;
        e.setEditMask(QStringLiteral(">aaaa;0; "));
        e.setText_(QStringLiteral("x!y?z#w9"));
        QCOMPARE(e.Text(), QStringLiteral("XYZW"));
        e.setEditMask(QStringLiteral("99.99.9999;0; "));
        e.setText_(QStringLiteral("0102ab0003"));
        QCOMPARE(e.Text(), QStringLiteral("01020003"));
        e.setText_(QStringLiteral("01.02"));
        QCOMPARE(e.Text(), QStringLiteral("0102"));
    }

    void pastedTextIsFiltered()
    {
        std::unique_ptr<TMaskEdit> e(shownEdit(QStringLiteral("9999;0; ")));
        QApplication::clipboard()->setText(QStringLiteral("1a2b3c4d5"));
        QTest::keySequence(e.get(), QKeySequence::Paste);
        QCOMPARE(e->Text(), QStringLiteral("1234"));
    }

    void changingTheMaskKeepsTheValue()
    {
        TMaskEdit e;
        e.setEditMask(QStringLiteral("9999;0; "));
        e.setText_(QStringLiteral("0102"));
        e.setEditMask(QStringLiteral("99.99.9999;0; "));
        QCOMPARE(e.Text(), QStringLiteral("0102"));
    }

    // A mask that leaves its literals out of Text: that Text assigned back
    // fills the same positions, also when it starts with a character equal
    // to a literal before the first input position.
    void textWithoutLiteralsAssignedBackIsKept()
    {
        TMaskEdit e;
        e.setEditMask(QStringLiteral(">\\B\\RAAAA;0;_"));
        e.setText_(QStringLiteral("B123"));
        QCOMPARE(e.displayText(), QStringLiteral("BRB123"));
        QCOMPARE(e.Text(), QStringLiteral("B123"));
        e.setText_(e.Text());
        QCOMPARE(e.Text(), QStringLiteral("B123"));
        // A text that does not fit as Text has its literals skipped as before.
        e.setText_(QStringLiteral("BR-12345"));
        QCOMPARE(e.Text(), QStringLiteral("1234"));
        const EditMask m(QStringLiteral("(00) 113000;0;*"));
        QCOMPARE(m.filter(m.valueOf(QStringLiteral("(11) 113333"))), QStringLiteral("(11) 113333"));
    }

    void lengthsOfAMask()
    {
        EditMask m(QStringLiteral("99.99.9999;0; "));
        QCOMPARE(m.length(), 10);
        QCOMPARE(m.inputLength(), 8);
        QVERIFY(!m.saveLiterals());
        QCOMPARE(m.blank(), QChar(' '));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestEditMask)
#include "test_edit_mask.moc"
