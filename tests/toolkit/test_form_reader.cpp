// The form definition reader: every kind of value, inheritance, binding by
// name, and an error naming file, line and column for each kind of fault.
#include "TestForm.h"
#include "core/Errors.h"
#include "widgets/TMaskEdit.h"
#include "core/ComponentRegistry.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/PropertyEnums.h"
#include "widgets/TControlInfo.h"
#include "widgets/TEdit.h"
#include "widgets/TFont.h"
#include "widgets/TLabel.h"

#include <QTest>

class TTestComponent : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Number MEMBER number)
    Q_PROPERTY(double Ratio MEMBER ratio)
    Q_PROPERTY(QString Text MEMBER text)
    Q_PROPERTY(QString Kind MEMBER kind)
    Q_PROPERTY(bool Flag MEMBER flag)
    Q_PROPERTY(QStringList Options MEMBER options)
    Q_PROPERTY(QStringList Lines MEMBER lines)
    Q_PROPERTY(QVariantList Params MEMBER params)
    Q_PROPERTY(QByteArray Data MEMBER data)
    Q_PROPERTY(QObject *Link MEMBER link)
    Q_PROPERTY(QObject *Self READ self)
public:
    explicit TTestComponent(QObject *parent = nullptr) : QObject(parent) {}
    QObject *self() { return this; }
    int number = 0;
    double ratio = 0;
    QString text, kind;
    bool flag = false;
    QStringList options, lines;
    QVariantList params;
    QByteArray data;
    QObject *link = nullptr;
signals:
    void OnChange(QObject *Sender);
    void OnKeyDown(QObject *Sender, int *Key, int Shift);
};
REGISTER_COMPONENT(TTestComponent)

class TestDerivedForm : public TestForm {
    Q_OBJECT
public slots:
    void Changed(QObject *s) { log << "derived change:" + s->objectName(); }
};

static const QByteArray kBase = R"(object frmBase: TestForm
  Caption = 'Dados do Relat'#243'rio'
  Font.Height = -11
  Font.Style = [fsBold]
  object lblCodigo: TLabel
    Left = 4
    Top = 5
    Caption = 'TELA'
  end
  object cmpA: TTestComponent
    Left = 100
    Number = -42
    Ratio = 2.5
    Text = 'It''s a '#39'test'#39' with '#231#227'o and '#8364
    Kind = ctKeyset
    Flag = True
    Options = [moMarshalAll, eoAsync]
    Lines.Strings = (
      'SELECT A'
      '  FROM T')
    Params = <
      item
        DataType = ftString
        Name = 'P_CDFILIAL'
        ParamType = ptUnknown
      end
      item
        Name = 'P_X'
        Size = 4
      end>
    Data = {0A0B ff}
    Link = cmpB.Self
    OnChange = Changed
    object cmpChild: TTestComponent
      Text = 'inside'
    end
  end
  object cmpB: TTestComponent
    Text = 'first line ' +
      'second line'
  end
end
)";

static const QByteArray kDerived = R"(inherited frmDerived: TestDerivedForm
  Caption = 'Derived'
  inherited lblCodigo: TLabel
    Caption = 'XEV01700'
  end
  inherited cmpB: TTestComponent
    Number = 7
  end
end
)";

class TestFormReader : public QObject {
    Q_OBJECT

    // Reads a broken definition and returns the error raised.
    static FormDefinitionError errorOf(const QByteArray &dfm)
    {
        TestForm f;
        try {
            f.load(dfm);
        } catch (const FormDefinitionError &e) {
            return e;
        }
        return FormDefinitionError(QString(), -1, -1, QStringLiteral("no error"));
    }

    static void checkError(const QByteArray &dfm, int line, int column, const QString &fragment)
    {
        const FormDefinitionError e = errorOf(dfm);
        QCOMPARE(e.file(), QStringLiteral("test.dfm"));
        QCOMPARE(e.line(), line);
        QCOMPARE(e.column(), column);
        if (!e.message().contains(fragment))
            QFAIL(qPrintable(QStringLiteral("message '%1' lacks '%2'").arg(e.message(), fragment)));
    }

private slots:
    void init() { HostUi::install(std::make_unique<ScriptedHostUi>()); }

    void readsEveryKindOfValue()
    {
        TestForm f;
        f.load(kBase);
        QCOMPARE(f.objectName(), QStringLiteral("frmBase"));
        QCOMPARE(f.Caption(), QStringLiteral("Dados do Relatório"));
        QCOMPARE(f.font().pixelSize(), 11);
        QVERIFY(f.font().bold());
        auto *a = f.component<TTestComponent>("cmpA");
        QVERIFY(a);
        QCOMPARE(a->number, -42);
        QCOMPARE(a->ratio, 2.5);
        QCOMPARE(a->text, QStringLiteral("It's a 'test' with ção and €"));
        QCOMPARE(a->kind, QStringLiteral("ctKeyset"));
        QVERIFY(a->flag);
        QCOMPARE(a->options, QStringList({"moMarshalAll", "eoAsync"}));
        QCOMPARE(a->lines, QStringList({"SELECT A", "  FROM T"}));
        QCOMPARE(a->params.size(), 2);
        const QVariantMap p0 = a->params[0].toMap();
        QCOMPARE(p0.value("Name").toString(), QStringLiteral("P_CDFILIAL"));
        QCOMPARE(p0.value("DataType").toString(), QStringLiteral("ftString"));
        QCOMPARE(a->params[1].toMap().value("Size").toInt(), 4);
        QCOMPARE(a->data, QByteArray("\x0a\x0b\xff", 3));
        auto *b = f.component<TTestComponent>("cmpB");
        QCOMPARE(a->link, b);
        QCOMPARE(b->text, QStringLiteral("first line second line"));
        auto *child = f.component<TTestComponent>("cmpChild");
        QVERIFY(child);
        QCOMPARE(child->parent(), a);
        auto *lbl = f.component<TLabel>("lblCodigo");
        QCOMPARE(TControlInfo::of(lbl)->Left(), 4);
        QCOMPARE(lbl->Caption(), QStringLiteral("TELA"));
        emit a->OnChange(a);
        QCOMPARE(f.log, QStringList({"change:cmpA"}));
    }

    void descendantChangesTheAncestorsComponentsAndTakesItsHandlers()
    {
        TestDerivedForm f;
        FormReader r(&f);
        r.read(kBase, "base.dfm");
        r.read(kDerived, "derived.dfm");
        r.finish();
        QCOMPARE(f.objectName(), QStringLiteral("frmDerived"));
        QCOMPARE(f.Caption(), QStringLiteral("Derived"));
        QCOMPARE(f.component<TLabel>("lblCodigo")->Caption(), QStringLiteral("XEV01700"));
        auto *b = f.component<TTestComponent>("cmpB");
        QCOMPARE(b->number, 7);
        QCOMPARE(b->text, QStringLiteral("first line second line"));
        auto *a = f.component<TTestComponent>("cmpA");
        emit a->OnChange(a);
        QCOMPARE(f.log, QStringList({"derived change:cmpA"}));
    }

    void descendantRebindsAnEventTheAncestorBound()
    {
        // One handler an event: the descendant's binding replaces the
        // ancestor's instead of adding a second one.
        TestDerivedForm f;
        FormReader r(&f);
        r.read(kBase, "base.dfm");
        r.read("inherited frmDerived: TestDerivedForm\n  inherited cmpA: TTestComponent\n"
               "    OnChange = Clicked\n  end\nend\n",
               "derived.dfm");
        r.finish();
        auto *a = f.component<TTestComponent>("cmpA");
        emit a->OnChange(a);
        QCOMPARE(f.log, QStringList({"click:cmpA"}));
    }

    void enumeratedPropertiesAreReadByName()
    {
        TestForm f;
        f.load("object f: TestForm\n  BorderStyle = bsSingle\n  object l: TLabel\n    Alignment = taCenter\n"
               "    Layout = tlBottom\n  end\n  object e: TEdit\n    CharCase = ecUpperCase\n  end\nend\n");
        QCOMPARE(f.BorderStyle(), PropertyEnums::TFormBorderStyle::bsSingle);
        auto *l = f.component<TLabel>("l");
        QCOMPARE(l->Alignment(), PropertyEnums::TAlignment::taCenter);
        QCOMPARE(l->alignment(), Qt::AlignHCenter | Qt::AlignBottom);
        auto *e = f.component<TEdit>("e");
        e->setText_(QStringLiteral("abc"));
        QCOMPARE(e->Text(), QStringLiteral("ABC"));
    }

    void unknownEnumeratedValue()
    {
        checkError("object f: TestForm\n  object l: TLabel\n    Alignment = taMiddle\n  end\nend\n", 3, 17,
                   "'taMiddle' is not a value of property 'Alignment'");
        checkError("object f: TestForm\n  FormStyle = 'fsMDIChild'\nend\n", 2, 15, "does not take a string");
    }

    void storedOnlyPropertiesAreKeptAndDoNothing()
    {
        // Declared once as stored only: read, kept for whoever asks, no effect.
        TestForm f;
        f.load("object f: TestForm\n  Left = 300\n  PixelsPerInch = 96\n  object e: TEdit\n    Left = 8\n"
               "    Ctl3D = False\n    AutoSelect = False\n    Font.Charset = DEFAULT_CHARSET\n  end\nend\n");
        QCOMPARE(f.pos(), QPoint(0, 0));
        QCOMPARE(f.property("Left").toLongLong(), 300);
        auto *e = f.component<TEdit>("e");
        QCOMPARE(TControlInfo::of(e)->Left(), 8);
        QCOMPARE(e->property("Ctl3D").toString(), QStringLiteral("False"));
        // Only on the classes that declare them: a label has no AutoSelect.
        checkError("object f: TestForm\n  object l: TLabel\n    AutoSelect = False\n  end\nend\n", 3, 5,
                   "unknown property 'AutoSelect'");
    }

    void unknownClass()
    {
        checkError("object f: TestForm\n  object x: TNoSuchThing\n  end\nend\n", 2, 3, "unknown class 'TNoSuchThing'");
    }

    void unknownProperty()
    {
        checkError("object f: TestForm\n  object e: TEdit\n    Colour = clRed\n  end\nend\n", 3, 5, "unknown property 'Colour'");
    }

    void unknownSubProperty()
    {
        checkError("object f: TestForm\n  Font.Wobble = 3\nend\n", 2, 3, "unknown property 'Font.Wobble'");
    }

    void valueOfTheWrongKind()
    {
        checkError("object f: TestForm\n  object e: TEdit\n    Left = 'ten'\n  end\nend\n", 3, 12, "does not take a string");
        checkError("object f: TestForm\n  object e: TEdit\n    ReadOnly = 1\n  end\nend\n", 3, 16, "does not take an integer");
    }

    void unknownHandlerMethod()
    {
        checkError("object f: TestForm\n  object e: TEdit\n    OnChange = NoSuchHandler\n  end\nend\n", 3, 5,
                   "unknown handler method 'NoSuchHandler'");
    }

    void handlerWithTheWrongParameters()
    {
        checkError("object f: TestForm\n  object e: TEdit\n    OnKeyDown = Changed\n  end\nend\n", 3, 5,
                   "does not take the parameters");
    }

    void inheritedComponentTheAncestorLacks()
    {
        checkError("inherited f: TestForm\n  inherited lblMissing: TLabel\n    Caption = 'x'\n  end\nend\n", 2, 3,
                   "'lblMissing' is not in the ancestor's definition");
    }

    void unterminatedString()
    {
        checkError("object f: TestForm\n  Caption = 'no end\nend\n", 2, 13, "unterminated string");
    }

    void unterminatedBlock()
    {
        checkError("object f: TestForm\n  object e: TEdit\n    Left = 1\nend\n", 1, 1, "unterminated block 'f'");
    }

    void unresolvedReference()
    {
        checkError("object f: TestForm\n  object c: TTestComponent\n    Link = nowhere.Self\n  end\nend\n", 3, 5,
                   "component 'nowhere.Self' not found");
    }

    void rootOfAnotherClass()
    {
        checkError("object f: TEdit\nend\n", 1, 1, "is not the form's class");
    }

    void neverCreatesDynamicProperties()
    {
        const FormDefinitionError e = errorOf("object f: TestForm\n  Bogus = 1\nend\n");
        QCOMPARE(e.line(), 2);
        TestForm f;
        try {
            f.load("object f: TestForm\n  Bogus = 1\nend\n");
        } catch (const FormDefinitionError &) {
        }
        QVERIFY(f.dynamicPropertyNames().isEmpty());
    }

    // A part a screen's code needs that the definition lacks, or holds as
    // another class, stops the screen in every build, naming the definition,
    // the name and the class wanted.
    void aPartThatDoesNotBindIsAnError()
    {
        TestForm f;
        f.load("object f: TestForm\n  object edtNome: TEdit\n  end\nend\n");
        QCOMPARE(f.part<TEdit>("edtNome", TestForm::staticMetaObject)->objectName(), QStringLiteral("edtNome"));
        const auto refusal = [&](const std::function<void()> &bind) {
            try {
                bind();
            } catch (const DefinitionError &e) {
                return e.file() + QLatin1Char('|') + e.text();
            }
            return QStringLiteral("<bound>");
        };
        const QString missing = refusal([&] { f.part<TEdit>("edtNomi", TestForm::staticMetaObject); });
        QVERIFY2(missing.startsWith(QLatin1String(":/forms/TestForm.dfm|")) && missing.contains(QLatin1String("edtNomi"))
                     && missing.contains(QLatin1String("TEdit")) && missing.contains(QStringLiteral("não existe")),
                 qPrintable(missing));
        const QString other = refusal([&] { f.part<TMaskEdit>("edtNome", TestForm::staticMetaObject); });
        QVERIFY2(other.contains(QLatin1String("TMaskEdit")) && other.contains(QStringLiteral("é da classe TEdit")),
                 qPrintable(other));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestFormReader)
#include "test_form_reader.moc"
