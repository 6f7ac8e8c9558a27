// The screen's rules on the demo database: lifecycle, start-up variants, the
// grouping-level bound, weekday labels, the service list, the order of the
// checks and the report parameters.
#include "core/Dispatch.h"
#include "core/ModuleRegistry.h"
#include "core/TMessages.h"
#include "data/TADOIBQuery.h"
#include "data/TParam.h"
#include "module/Pkg_xev01700.h"
#include "screen/TfrmRealGlobal.h"
#include "support/ScreenFixture.h"
#include "support/ScreenQueries.h"
#include "support/ScreenView.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/FormReader.h"
#include "widgets/TControlInfo.h"

#include <QApplication>
#include <QFile>
#include <QMetaProperty>
#include <QMdiSubWindow>
#include <QTest>

namespace {
// Runs a report check as a command would, and tells whether it completed.
bool runValida(TfrmRealGlobal *s)
{
    bool done = false;
    Dispatch::guard([&] {
        s->Valida(true);
        done = true;
    });
    return done;
}

QString focusName()
{
    for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            return w->objectName();
    return QString();
}

// Records the cursor while the screen's components are being created.
class CursorSpy : public QObject {
public:
    QList<int> shapes;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::ChildAdded && qobject_cast<TfrmRealGlobal *>(o))
            shapes << (QApplication::overrideCursor() ? int(QApplication::overrideCursor()->shape()) : -1);
        return false;
    }
};
}

class TestScreenRules : public QObject {
    Q_OBJECT

private slots:
    void oneScreenRestoredOnTheSecondCallAndNewAfterClosing()
    {
        ScreenFixture fx;
        TfrmRealGlobal *first = fx.open();
        QVERIFY(first);
        QVERIFY(moduleState().boIdCriado);
        first->frame()->showMinimized();
        fx.open();
        QCOMPARE(moduleState().frmRealGlobal, first);
        QVERIFY(!(first->frame()->windowState() & Qt::WindowMinimized));
        QPointer<TfrmRealGlobal> old = first;
        fx.closeScreen();
        QVERIFY(old.isNull());
        QVERIFY(!moduleState().boIdCriado);
        QVERIFY(!moduleState().frmRealGlobal);
        QVERIFY(fx.open());
        QVERIFY(moduleState().boIdCriado);
    }

    void startUpRecordsTheModuleAndShutDownEmptiesTheLists()
    {
        ScreenFixture fx;
        QVERIFY(moduleFileName().endsWith(QStringLiteral("PKG_XEV01700.so")));
        QVERIFY(ModuleRegistry::modules().contains(moduleFileName()));
        const PackageInfoTable *table = GetPackageInfoTable();
        QCOMPARE(table->unitCount, 2);
        QCOMPARE(QLatin1String(table->units[0].name), QLatin1String("Pkg_xev01700"));
        QCOMPARE(QLatin1String(table->units[1].name), QLatin1String("Cli_xev01700"));
        ModuleState &state = moduleState();
        state.ListaGrup = CodeList::fromSearch({QStringLiteral("001")});
        state.ListaServPesq = CodeList::fromSearch({QStringLiteral("00001")});
        state.ListaServ = CodeList::built({QStringLiteral("00001")});
        Finalize();
        QVERIFY(state.ListaGrup.isEmpty() && state.ListaServPesq.isEmpty() && state.ListaServ.isEmpty());
        QVERIFY(!ModuleRegistry::modules().contains(moduleFileName()));
        Initialize(); // the fixture shuts it down again
    }

    void theModuleDescribesItself()
    {
        ScreenFixture fx;
        const ModuleDescription *d = DescribeModule();
        QVERIFY(d);
        QCOMPARE(d->code, QStringLiteral("XEV01700"));
        QCOMPARE(d->menuTitle, QStringLiteral("&Custo Realizado Global do Período (Planejamento de Alimentação Escolar)"));
        QCOMPARE(d->menuKey, QStringLiteral("Ctrl+G"));
        // Its help is the page for the context the screen's definition stores,
        // with the place where the shell lists the report commands.
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        QCOMPARE(d->helpContext, TControlInfo::find(s)->HelpContext());
        QFile page(d->helpPage);
        QVERIFY(page.open(QIODevice::ReadOnly));
        QCOMPARE(page.readAll().count("<!-- report-commands -->"), 1);
        // The code lists, read-only, as the report receives them.
        QVERIFY(d->variables);
        moduleState().ListaGrup = CodeList::fromSearch({QStringLiteral("001"), QStringLiteral("003")});
        QCOMPARE(d->variables->property("ListaGrup").toString(), QStringLiteral("001;003"));
        moduleState().ListaServ = CodeList::built({QStringLiteral("00001"), QStringLiteral("00002")});
        QCOMPARE(d->variables->property("ListaServ").toString(), QStringLiteral("00001_00002"));
        QCOMPARE(d->variables->property("ListaServPesq").toString(), QString());
        const QMetaObject *mo = d->variables->metaObject();
        for (const char *name : {"ListaGrup", "ListaServPesq", "ListaServ"})
            QVERIFY(!mo->property(mo->indexOfProperty(name)).isWritable());
    }

    void cursorIsTheHourglassDuringCreationOnly()
    {
        ScreenFixture fx;
        CursorSpy spy;
        qApp->installEventFilter(&spy);
        QVERIFY(fx.open());
        qApp->removeEventFilter(&spy);
        QVERIFY(!spy.shapes.isEmpty());
        for (int shape : spy.shapes)
            QCOMPARE(shape, int(Qt::WaitCursor));
        QVERIFY(!QApplication::overrideCursor());
    }

    void refusalClosesTheScreenAndALaterCallTriesAgain()
    {
        ScreenFixture fx;
        fx.exec("UPDATE MODUFILIAL SET IDSITUACAO = 'f' WHERE CDFILIAL = '0100'");
        QVERIFY(!fx.open());
        QVERIFY(!moduleState().boIdCriado);
        QVERIFY(!moduleState().frmRealGlobal);
        QCOMPARE(fx.ui->messages.size(), 1);
        QCOMPARE(fx.ui->messages[0].text, QStringLiteral("Módulo XEV01700 bloqueado para a filial 0100."));
        QVERIFY(!fx.ui->messages[0].abort);
        QVERIFY(!QApplication::overrideCursor());
        // No window was ever shown for the refused screen.
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<TfrmRealGlobal *>(w) && w->isVisible()));
        fx.exec("UPDATE MODUFILIAL SET IDSITUACAO = 'M' WHERE CDFILIAL = '0100'");
        QVERIFY(fx.open());
    }

    void lowerCaseCentralFlagIsNotACentral()
    {
        ScreenFixture fx;
        fx.exec("UPDATE FILIAL SET IDFILCENTXEV = 's' WHERE CDFILIAL = '0101'");
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        ScreenView v(s);
        QCOMPARE(v.medCentral()->Text(), QStringLiteral("0100"));
        QCOMPARE(v.medCdFilial()->Text(), QStringLiteral("0101"));
    }

    void levelBound_data()
    {
        QTest::addColumn<QString>("widths");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<int>("bound");
        QTest::newRow("0 levels") << "" << "" << 0;
        QTest::newRow("1 level") << "4" << "9999;0; " << 1;
        QTest::newRow("2 levels") << "2,2" << "99.99;0; " << 0;
        QTest::newRow("3 levels") << "2,2,4" << "99.99.9999;0; " << 1;
        QTest::newRow("6 levels") << "1,1,1,1,1,1" << "9.9.9.9.9.9;0; " << 4;
    }

    void levelBound()
    {
        QFETCH(QString, widths);
        QFETCH(QString, mask);
        QFETCH(int, bound);
        ScreenFixture fx;
        fx.exec(QStringLiteral("UPDATE PICTCODIGO SET DSNIVEIS = '%1', DSMASCARA = '%2' WHERE NRTIPOPICT = 0").arg(widths, mask));
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        ScreenView v(s);
        QVERIFY2(fx.ui->messages.isEmpty(), qPrintable(fx.ui->messageTexts().join('\n')));
        QCOMPARE(v.sedNiveOrde()->MaxValue(), bound);
        QCOMPARE(v.sedNiveOrde()->MinValue(), 0);
        QCOMPARE(v.medCdProdInic()->EditMaskText(), mask);
        QCOMPARE(v.medCdProdFina()->EditMaskText(), mask);
        // Equal bounds do not limit the value.
        v.sedNiveOrde()->setValue_(bound + 3);
        QCOMPARE(v.sedNiveOrde()->Value(), bound == 0 ? 3 : bound);
    }

    void weekdayLabels()
    {
        ScreenFixture fx;
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        ScreenView v(s);
        QCOMPARE(v.depDataInic()->GetDate(), v.depDataFina()->GetDate());
        const QList<QPair<QDate, QString>> days = {{QDate(2026, 12, 6), "Dom"}, {QDate(2026, 12, 8), "Ter"},
                                                   {QDate(2026, 12, 12), "Sáb"}, {QDate(2026, 12, 9), "Qua"}};
        for (const auto &[date, label] : days) {
            v.depDataInic()->SetDate(date);
            s->depDataInicDateChange(v.depDataInic());
            QCOMPARE(v.edtDataInic()->Text(), label);
            v.depDataFina()->SetDate(date);
            s->depDataFinaDateChange(v.depDataFina());
            QCOMPARE(v.edtDataFina()->Text(), label);
        }
    }

    void effectiveServiceList()
    {
        ScreenFixture fx;
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        ScreenView v(s);
        const ModuleState &state = moduleState();
        s->Servico();
        const QStringList all = state.ListaServ.codes();
        QVERIFY(all.size() > 3);
        QStringList sorted = all;
        sorted.sort();
        QCOMPARE(all, sorted);
        // A list the screen builds reaches the report joined by "_".
        QCOMPARE(state.ListaServ.text(), all.join('_'));

        // Groups "Lista": only the services of the chosen groups.
        v.rbtListaGrup()->setChecked_(true);
        moduleState().ListaGrup = CodeList::fromSearch({QStringLiteral("003")});
        s->Servico();
        const QStringList lunch = state.ListaServ.codes();
        QVERIFY(!lunch.isEmpty());
        QVERIFY(lunch.size() < all.size());
        for (const QString &code : lunch)
            QVERIFY(all.contains(code));

        // Services "Lista": exactly the picks, whatever the groups say, as
        // the search list joined them.
        v.rbtListaServ()->setChecked_(true);
        moduleState().ListaServPesq = CodeList::fromSearch({QStringLiteral("00001"), QStringLiteral("00007")});
        s->Servico();
        QCOMPARE(state.ListaServ.text(), QStringLiteral("00001;00007"));
    }

    void shortBranchCodeGivesThePaddedBranchsServices()
    {
        ScreenFixture fx(QStringLiteral("0100"));
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        ScreenView v(s);
        // Typed, not yet left: a report command checks it.
        v.medCdFilial()->setText_(QStringLiteral("101"));
        v.medCdProdInic()->setText_(QStringLiteral("01"));
        v.medCdProdFina()->setText_(QStringLiteral("02"));
        runValida(s);
        QCOMPARE(v.medCdFilial()->Text(), QStringLiteral("0101"));
        QVERIFY(!moduleState().ListaServ.isEmpty());
        QCOMPARE(v.edtNmFilial()->Text(), QStringLiteral("Escola Municipal São João"));
    }

    void checksRunInOrderAndFocusTheFault()
    {
        ScreenFixture fx;
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        ScreenView v(s);
        v.medCdProdInic()->setText_(QStringLiteral("02"));
        v.medCdProdFina()->setText_(QStringLiteral("01"));
        v.depDataFina()->SetDate(v.depDataInic()->GetDate().addDays(-1));
        QVERIFY(!runValida(s));
        // Dates come before the product order.
        QCOMPARE(fx.ui->messages.last().text, QStringLiteral("Data incial deve ser menor ou igual a data final."));
        QCOMPARE(focusName(), QStringLiteral("depDataInic"));

        v.depDataFina()->SetDate(v.depDataInic()->GetDate());
        QVERIFY(!runValida(s));
        QCOMPARE(fx.ui->messages.last().text, QStringLiteral("Produto inicial deve ser menor ou igual ao produto final."));
        QCOMPARE(focusName(), QStringLiteral("medCdProdInic"));

        v.medCdProdInic()->setText_(QStringLiteral("01"));
        v.chbEstocaveis()->setChecked(false);
        v.chbNaoEstoc()->setChecked(false);
        QVERIFY(!runValida(s));
        QCOMPARE(fx.ui->messages.last().text, QStringLiteral("Tipo de produto deve ser informado."));
        QCOMPARE(focusName(), QStringLiteral("chbEstocaveis"));

        v.chbNaoEstoc()->setChecked(true);
        v.medCdProdFina()->setText_(QString());
        QVERIFY(!runValida(s));
        QCOMPARE(fx.ui->messages.last().text, QStringLiteral("Produto final deve ser informado."));
        QCOMPARE(focusName(), QStringLiteral("medCdProdFina"));

        // Both codes refused: the initial one is reported, though the focus is
        // in the final one.
        v.medCdProdInic()->setText_(QStringLiteral("010"));
        v.medCdProdFina()->setText_(QStringLiteral("020"));
        v.medCdProdFina()->setFocus();
        QVERIFY(!runValida(s));
        QVERIFY(fx.ui->messages.last().text.startsWith(QStringLiteral("Código '010' inválido")));
        QCOMPARE(focusName(), QStringLiteral("medCdProdInic"));

        v.medCdProdInic()->setText_(QStringLiteral("01"));
        v.medCdProdFina()->setText_(QStringLiteral("01"));
        v.rbtListaServ()->setChecked_(true);
        QVERIFY(!runValida(s));
        QCOMPARE(fx.ui->messages.last().text, QStringLiteral("Serviço deve ser informado."));
        QCOMPARE(focusName(), QStringLiteral("rbtListaServ"));
    }

    void messageKeysAreUniqueAndFoundInAnyCase()
    {
        // The texts the checks show are compared where they show
        // (checksRunInOrderAndFocusTheFault); here, that each is reachable:
        // a key given twice, in any case, would hide one of them.
        ScreenFixture fx;
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        TMessages *m = s->component<TMessages>("msgPadrao");
        QStringList keys;
        for (const QString &l : m->Messages())
            keys << l.section('|', 0, 0).toLower();
        QVERIFY(keys.size() > 10);
        const qsizetype all = keys.size();
        keys.removeDuplicates();
        QCOMPARE(keys.size(), all);
        QVERIFY(!m->Msg("ProdInic_nc").isEmpty());
        QCOMPARE(m->Msg("prodinic_NC"), m->Msg("ProdInic_nc"));
    }

    void queriesAreTheOnesCheckedOnEveryEngine()
    {
        // The data tests run every dialect text of the six queries, taken
        // from the screen's definition, on SQLite and Firebird; the screen
        // must carry exactly those texts.
        ScreenFixture fx;
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        const std::unique_ptr<TForm> copy = ScreenQueries::form();
        const auto queries = copy->findChildren<TADOIBQuery *>();
        QCOMPARE(queries.size(), 6);
        for (TADOIBQuery *q : queries) {
            auto *mine = s->component<TADOIBQuery>(q->objectName());
            QVERIFY2(mine, qPrintable(q->objectName()));
            for (const char *text : {"SQL", "SQL_ORACLE", "SQL_MSSQL", "SQL_IB"}) {
                auto trimmed = [](QStringList l) {
                    while (!l.isEmpty() && l.last().trimmed().isEmpty())
                        l.removeLast();
                    return l.join('\n');
                };
                QCOMPARE(trimmed(mine->property(text).toStringList()), trimmed(q->property(text).toStringList()));
            }
            QCOMPARE(mine->ParamsList().size(), q->ParamsList().size());
        }
    }

    void productRanges_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("fin");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::newRow("levels 1 and 1") << "01" << "02" << "01" << "02zzzzzz";
        QTest::newRow("level 2 final") << "01" << "0203" << "01" << "0203zzzz";
        QTest::newRow("complete final") << "01" << "02030004" << "01" << "02030004";
        QTest::newRow("equal codes") << "0102" << "0102" << "0102" << "0102zzzz";
        QTest::newRow("initial empty") << "" << "02" << "" << "02zzzzzz";
        // The values lose their blanks (a masked edit pads unfilled positions).
        QTest::newRow("blanks trimmed") << "01  " << "02  " << "01" << "02zzzzzz";
        // Compared untrimmed: a leading blank sorts first.
        QTest::newRow("leading blank") << " 02" << "01" << "02" << "01zzzzzz";
        QTest::newRow("wrong order covers the greater subtree") << "0203" << "01" << "01" << "0203zzzz";
    }

    void productRanges()
    {
        QFETCH(QString, ini);
        QFETCH(QString, fin);
        QFETCH(QString, low);
        QFETCH(QString, high);
        ScreenFixture fx;
        const auto r = TfrmRealGlobal::productRange(ini, fin);
        QCOMPARE(r.initial, low);
        QCOMPARE(r.final, high);
    }

    void bothCodesEmptyGiveTheRunAlone()
    {
        ScreenFixture fx;
        const auto r = TfrmRealGlobal::productRange(QString(), QString());
        QCOMPARE(r.initial, QString());
        // An empty code is level 0, of length 0: the run is the full length.
        QCOMPARE(r.final, QStringLiteral("zzzzzzzz"));
    }

    // The print dialog offers its PDF under the branch and the month the
    // period starts in, as the exports offer theirs.
    void thePdfIsOfferedUnderTheBranchAndTheMonth()
    {
        ScreenFixture fx;
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        ScreenView v(s);
        v.medCdProdInic()->setText_(QStringLiteral("01"));
        v.medCdProdFina()->setText_(QStringLiteral("0203"));
        v.depDataInic()->SetDate(QDate(2026, 2, 27));
        fx.ui->printerAnswers.enqueue(QString()); // the person cancels the dialog
        s->run(ReportCommand::Id::Print);
        QCOMPARE(fx.ui->offeredPdfNames, QStringList{QStringLiteral("custo-realizado-0101-2026-02.pdf")});
    }

    void parametersOnlyWhereDeclared()
    {
        ScreenFixture fx;
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        ScreenView v(s);
        v.medCdProdInic()->setText_(QStringLiteral("01"));
        v.medCdProdFina()->setText_(QStringLiteral("0203"));
        v.depDataInic()->SetDate(QDate(2026, 3, 2));
        v.depDataFina()->SetDate(QDate(2026, 3, 16));
        v.rdgOrdena()->setItemIndex(1);
        v.chbEstocaveis()->setChecked(false);

        TParams none;
        none.add("P_OTHER").SetAsString("keep");
        bool flag = true;
        s->rpddPadraoBeforeGetQueryParams(&none, &flag);
        QCOMPARE(none.Count(), 1);
        QCOMPARE(none.ParamByName("P_OTHER").AsString(), QStringLiteral("keep"));
        QVERIFY(flag);

        TParams some;
        some.add("P_CDFILIAL", TParam::DataType::String);
        some.add("P_DTPERIINIC", TParam::DataType::String);
        some.add("P_DTMESFINA", TParam::DataType::DateTime);
        some.add("P_NRTAMCODIGO", TParam::DataType::Integer);
        some.add("P_CDPRODUTOFIN", TParam::DataType::String);
        some.add("P_IDESTOCAVEIS", TParam::DataType::String);
        some.add("P_IDNESTOCAVEIS", TParam::DataType::String);
        some.add("P_NRTAMACNIVEL", TParam::DataType::Integer);
        s->rpddPadraoBeforeGetQueryParams(&some, &flag);
        QCOMPARE(some.Count(), 8);
        QCOMPARE(some.ParamByName("P_CDFILIAL").AsString(), QStringLiteral("0101"));
        QCOMPARE(some.ParamByName("P_DTPERIINIC").Value(), QVariant(QStringLiteral("02/03/2026")));
        QCOMPARE(some.ParamByName("P_DTMESFINA").Value().toDateTime().date(), QDate(2026, 3, 31));
        QCOMPARE(some.ParamByName("P_NRTAMCODIGO").Value(), QVariant(0)); // alphabetical order
        QCOMPARE(some.ParamByName("P_CDPRODUTOFIN").AsString(), QStringLiteral("0203zzzz"));
        QCOMPARE(some.ParamByName("P_IDESTOCAVEIS").AsString(), QStringLiteral("N"));
        QCOMPARE(some.ParamByName("P_IDNESTOCAVEIS").AsString(), QStringLiteral("S"));
        QCOMPARE(some.ParamByName("P_NRTAMACNIVEL").Value(), QVariant(0)); // level 0: no characters
        QCOMPARE(some.ParamByName("P_NRTAMACNIVEL").dataType(), TParam::DataType::Integer);

        v.rdgOrdena()->setItemIndex(0);
        s->rpddPadraoBeforeGetQueryParams(&some, &flag);
        QCOMPARE(some.ParamByName("P_NRTAMCODIGO").Value(), QVariant(8));

        // The grouping level reaches the report as its accumulated length
        // (levels 2, 2 and 4: level 1 is two characters).
        v.sedNiveOrde()->setValue_(1);
        QCOMPARE(v.sedNiveOrde()->Value(), 1);
        s->rpddPadraoBeforeGetQueryParams(&some, &flag);
        QCOMPARE(some.ParamByName("P_NRTAMACNIVEL").Value(), QVariant(2));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestScreenRules)
#include "test_screen_rules.moc"
