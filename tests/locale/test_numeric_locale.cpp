// The C library's numbers under a Brazilian locale. The program runs with
// LC_ALL=pt_BR.UTF-8 (set here before the application object exists, as a
// user's session would): its Q*Application sets the C library's locale from
// it, and the host keeps LC_NUMERIC at "C" (NumericLocale) so that
// libxlsxwriter and every printf-style conversion write "1.5", while Qt's
// own locale, which the screens show, stays Brazilian. An XLSX written
// through libxlsxwriter is read back with openpyxl.
#include "ExportReader.h"
#include "core/NumericLocale.h"
#include "report/output/ReportExport.h"
#include "report/output/XlsxExportWriter.h"

#include <QApplication>
#include <QJsonArray>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <thread>

namespace {
QString printed(const char *format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return QString::fromLatin1(text);
}

QString numericName() { return QString::fromLatin1(std::setlocale(LC_NUMERIC, nullptr)); }

// Puts the Brazilian numbers back into the C library for the whole process,
// as a library that calls setlocale(LC_ALL, "") after start-up would.
struct BrazilianCLibrary {
    BrazilianCLibrary() { std::setlocale(LC_NUMERIC, "pt_BR.UTF-8"); }
    ~BrazilianCLibrary() { NumericLocale::keepCForProcess(); }
};

ReportColumn numberColumn(const QString &caption, int decimals)
{
    ReportColumn c;
    c.field = caption;
    c.caption = caption;
    c.format = ReportColumn::Format::Number;
    c.decimals = decimals;
    return c;
}

// The texts of an XLSX's worksheet XML, which openpyxl would refuse with a
// decimal comma in it.
QString sheetXml(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral(SYSTEM_PYTHON3),
            {QStringLiteral("-c"),
             QStringLiteral("import sys, zipfile; sys.stdout.write(zipfile.ZipFile(sys.argv[1]).read("
                            "'xl/worksheets/sheet1.xml').decode())"),
             path});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

class TestNumericLocale : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        const locale_t brazil = newlocale(LC_ALL_MASK, "pt_BR.UTF-8", nullptr);
        QVERIFY2(brazil, "the locale pt_BR.UTF-8 is not installed (scripts/setup makes it)");
        freelocale(brazil);
        QVERIFY(m_dir.isValid());
    }

    void theCLibraryWritesNumbersInCFormOnEveryThread()
    {
        QCOMPARE(numericName(), QStringLiteral("C"));
        QCOMPARE(printed("%g", 1.5), QStringLiteral("1.5"));
        QCOMPARE(printed("%.16g", 166.387), QStringLiteral("166.387"));
        QCOMPARE(std::strtod("29.7109375", nullptr), 29.7109375);
        QString onWorker;
        std::thread([&onWorker] { onWorker = printed("%g", 29.7109375); }).join();
        QCOMPARE(onWorker, QStringLiteral("29.7109"));
    }

    void everythingElseFollowsTheUser()
    {
        QCOMPARE(QString::fromLatin1(std::setlocale(LC_CTYPE, nullptr)), QStringLiteral("pt_BR.UTF-8"));
        QCOMPARE(QString::fromLatin1(std::setlocale(LC_MESSAGES, nullptr)), QStringLiteral("pt_BR.UTF-8"));
        QCOMPARE(QLocale::system().name(), QStringLiteral("pt_BR"));
        QCOMPARE(QLocale::system().toString(1.5), QStringLiteral("1,5"));
    }

    void aScopeKeepsCNumbersOnItsThreadOnly()
    {
        const BrazilianCLibrary brazil;
        QCOMPARE(printed("%g", 1.5), QStringLiteral("1,5"));
        {
            const NumericLocale::ScopedC c;
            QCOMPARE(printed("%g", 1.5), QStringLiteral("1.5"));
            QString other;
            std::thread([&other] { other = printed("%g", 1.5); }).join();
            QCOMPARE(other, QStringLiteral("1,5"));
        }
        QCOMPARE(printed("%g", 1.5), QStringLiteral("1,5"));
    }

    // The workbook is right even when something put the Brazilian numbers
    // back into the process: the writer guards its own calls.
    void xlsxOpensInASpreadsheetUnderABrazilianCLibrary()
    {
        const QString file = m_dir.filePath(QStringLiteral("custos.xlsx"));
        {
            const BrazilianCLibrary brazil;
            XlsxExportWriter sink(file);
            sink.begin({QStringLiteral("Custos"), {}, {numberColumn(QStringLiteral("Valor realizado no período"), 3)}});
            sink.detail({166.387});
            sink.detail({-0.5});
            sink.commit();
        }
        const QString xml = sheetXml(file);
        QVERIFY2(xml.contains(QLatin1String("<v>166.387</v>")), qPrintable(xml));
        QVERIFY2(!xml.contains(QRegularExpression(QStringLiteral("(<v>|width=\")[-0-9]*,"))), qPrintable(xml));
        const QJsonObject book = ExportReader::xlsx(file);
        QVERIFY2(!book.isEmpty(), "openpyxl could not read the workbook");
        const QJsonArray rows = book.value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 5); // title, a blank row, captions, the two lines
        QCOMPARE(rows[3].toArray()[0].toObject().value(QStringLiteral("value")).toDouble(), 166.387);
        QCOMPARE(rows[4].toArray()[0].toObject().value(QStringLiteral("value")).toDouble(), -0.5);
        QVERIFY(book.value(QStringLiteral("widths")).toArray()[0].toDouble() > 20);
    }
};

int main(int argc, char **argv)
{
    // As a Brazilian desktop session starts the programs.
    qputenv("LC_ALL", "pt_BR.UTF-8");
    QApplication app(argc, argv);
    TestNumericLocale test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_numeric_locale.moc"
