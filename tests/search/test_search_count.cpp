// The count of a search list over a query: the rows come first ("100+
// registros"), the total follows once the same run of the query has been
// read to its end ("20.316 registros"), a slice at a time from the event
// loop, so that timers fire and the user types on meanwhile; a new filter
// starts a new count.
#include "appdata/dtmDBGeral.h"
#include "data/HostDatabase.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "data/TDataSource.h"
#include "lookup/SearchLists.h"
#include "ui/QtHostUi.h"
#include "ui/SearchDialog.h"
#include "ui/SearchModel.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTableView>
#include <QtTest>

class TestSearchCount : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TdtmDBGeral> m_dm;
    QObject m_owner;
    TDataSource *m_products = nullptr;

    qint64 scalar(const QString &sql)
    {
        QSqlQuery q(HostDatabase::instance().database());
        q.exec(sql);
        return q.next() ? q.value(0).toLongLong() : -1;
    }

    // Runs the product search while drive acts on its dialog.
    void search(const std::function<void(SearchDialog *)> &drive)
    {
        HostUi::install(std::make_unique<QtHostUi>());
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            if (auto *dlg = qobject_cast<SearchDialog *>(QApplication::activeModalWidget())) {
                seen = true;
                drive(dlg);
                dlg->reject();
            }
        });
        Pesquisar_Plus(m_products, QStringLiteral("Produto|vazio"), false, true);
        HostUi::uninstall();
        QVERIFY(seen);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        DemoSizes sizes;
        sizes.costRows = 0;
        sizes.products = 20000;
        const QString path = m_dir.filePath(QStringLiteral("count.sqlite"));
        TdtmDBGeral::createSqliteFile(path, sizes);
        m_dm = std::make_unique<TdtmDBGeral>();
        ShellConfig c;
        c.database = QStringLiteral("sqlite:") + path;
        m_dm->open(c);
        auto *q = new TADOIBQuery(&m_owner);
        q->setSQL({QStringLiteral("SELECT CDARVPROD, NMPRODUTO FROM PRODUTO ORDER BY CDARVPROD")});
        for (const char *name : {"CDARVPROD", "NMPRODUTO"})
            (new TADOIBStringField(q))->setFieldName(QLatin1String(name));
        m_products = new TDataSource(&m_owner);
        m_products->setDataSet(q->Query());
    }

    void cleanupTestCase()
    {
        qDeleteAll(m_owner.children());
        m_dm.reset();
    }

    void countText()
    {
        QCOMPARE(SearchDialog::countText(100, -1, 100, false), QStringLiteral("100+ registros"));
        QCOMPARE(SearchDialog::countText(100, -1, 4321, false), QStringLiteral("4.321+ registros"));
        QCOMPARE(SearchDialog::countText(100, 1234, 1234, false), QStringLiteral("1.234 registros"));
        QCOMPARE(SearchDialog::countText(1, 1, 1, true), QStringLiteral("1 registro"));
        QCOMPARE(SearchDialog::countText(0, -1, 0, true), QStringLiteral("Nenhum registro corresponde ao filtro."));
        QCOMPARE(SearchDialog::countText(0, 0, 0, false), QStringLiteral("Nenhum registro corresponde ao filtro."));
    }

    void rowsFirstThenTheTotal()
    {
        const qint64 all = scalar(QStringLiteral("SELECT COUNT(*) FROM PRODUTO"));
        QVERIFY(all > 20000);
        // Slices of 1 ms: a count of 20,000 rows takes many on any machine.
        SearchModel::setCountSliceMs(1);
        auto restore = qScopeGuard([] { SearchModel::setCountSliceMs(15); });
        search([&](SearchDialog *dlg) {
            QCOMPARE(dlg->model()->rowCount(), SearchModel::kBatch);
            QCOMPARE(dlg->model()->total(), qint64(-1));
            QVERIFY(dlg->model()->counting());
            QCOMPARE(dlg->statusText(), QStringLiteral("100+ registros"));
            if (qEnvironmentVariableIsSet("SCREENSHOT_DIR"))
                dlg->grab().save(QDir(qEnvironmentVariable("SCREENSHOT_DIR")).filePath(QStringLiteral("lookup-counting.png")));
            // The event loop runs between slices: what is posted meanwhile
            // (a keystroke, say) runs before the count is complete.
            int updates = 0;
            bool posted = false, ranWhileCounting = false;
            connect(dlg->model(), &SearchModel::countChanged, dlg, [&] {
                ++updates;
                if (!posted) {
                    posted = true;
                    QTimer::singleShot(0, dlg, [&] { ranWhileCounting = dlg->model()->counting(); });
                }
            });
            QTRY_VERIFY(!dlg->model()->counting());
            QCOMPARE(dlg->model()->total(), all);
            QCOMPARE(dlg->statusText(), QStringLiteral("%1 registros").arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(all)));
            QVERIFY2(updates > 2, qPrintable(QStringLiteral("%1 slices").arg(updates)));
            QVERIFY(ranWhileCounting);
            // Counting read the rows ahead without showing them.
            QCOMPARE(dlg->model()->rowCount(), SearchModel::kBatch);
        });
    }

    void typingDuringTheCountStartsANewOne()
    {
        const qint64 feijao = scalar(QStringLiteral("SELECT COUNT(*) FROM PRODUTO WHERE NMPRODUTO LIKE '%Feijão%'"));
        QVERIFY(feijao > SearchModel::kBatch);
        search([&](SearchDialog *dlg) {
            QVERIFY(dlg->model()->counting());
            QTest::keyClicks(dlg->table(), QStringLiteral("FEIJAO"));
            QCOMPARE(dlg->filterEdit()->text(), QStringLiteral("FEIJAO"));
            QTRY_COMPARE(dlg->model()->filter(), QStringLiteral("FEIJAO"));
            QVERIFY(dlg->statusText().endsWith(QLatin1String("+ registros")) || !dlg->model()->counting());
            QTRY_COMPARE(dlg->model()->total(), feijao);
            // SCREENSHOT_DIR: a picture of the list with its count, to look at.
            if (qEnvironmentVariableIsSet("SCREENSHOT_DIR"))
                dlg->grab().save(QDir(qEnvironmentVariable("SCREENSHOT_DIR")).filePath(QStringLiteral("lookup-count.png")));
            QVERIFY(dlg->model()->data(dlg->model()->index(0, 1), Qt::DisplayRole).toString().startsWith(QStringLiteral("Feijão")));
            // A filter that nothing matches says so at once.
            dlg->filterEdit()->setText(QStringLiteral("xyzzy"));
            dlg->applyFilterNow();
            QCOMPARE(dlg->statusText(), QStringLiteral("Nenhum registro corresponde ao filtro."));
        });
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestSearchCount)
#include "test_search_count.moc"
