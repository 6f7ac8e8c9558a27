#include "DemoData.h"
#include "BatchInserter.h"
#include "core/Errors.h"
#include "data/SqlScript.h"
#include "data/SearchIndexes.h"
#include "data/SqlStatement.h"
#include "data/engines/DatabaseEngine.h"

#include <QDate>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

struct SubGroup {
    const char *name;
    QList<const char *> items;
};
struct Group {
    const char *name;
    QList<SubGroup> subs;
};

// Item names of the demo tree, UTF-8.
const QList<Group> &demoTree()
{
    static const QList<Group> tree = {
        {"Cereais e Derivados",
         {{"Arroz", {"Arroz Branco Tipo 1", "Arroz Parboilizado", "Arroz Integral"}},
          {"Farinhas e Massas", {"Farinha de Trigo", "Macarrão Espaguete", "Macarrão Parafuso", "Fubá de Milho"}},
          {"Pães e Biscoitos", {"Pão Francês", "Pão de Forma Integral", "Biscoito Maisena", "Biscoito Cream Cracker"}},
          {"Flocos e Aveia", {"Aveia em Flocos", "Flocão de Milho", "Cereal Matinal"}}}},
        {"Leguminosas",
         {{"Feijão", {"Feijão Carioca", "Feijão Preto", "Feijão Fradinho"}},
          {"Lentilha e Grão-de-Bico", {"Lentilha", "Grão-de-Bico", "Ervilha Seca"}},
          {"Soja e Derivados", {"Proteína Texturizada de Soja", "Extrato de Soja", "Tofu"}}}},
        {"Carnes e Ovos",
         {{"Carne Bovina", {"Acém em Cubos", "Patinho Moído", "Músculo Bovino"}},
          {"Frango", {"Peito de Frango", "Coxa e Sobrecoxa", "Filé de Frango"}},
          {"Peixes", {"Filé de Tilápia", "Sardinha em Conserva", "Merluza em Posta"}},
          {"Ovos", {"Ovo Branco", "Ovo Caipira"}},
          {"Carne Suína", {"Lombo Suíno", "Pernil Suíno"}}}},
        {"Leite e Derivados",
         {{"Leite", {"Leite Integral UHT", "Leite em Pó Integral", "Leite sem Lactose"}},
          {"Queijos", {"Queijo Muçarela", "Queijo Minas Frescal", "Queijo Prato"}},
          {"Iogurtes", {"Iogurte Natural", "Iogurte de Morango", "Bebida Láctea"}},
          {"Manteiga e Requeijão", {"Manteiga com Sal", "Requeijão Cremoso"}}}},
        {"Hortaliças",
         {{"Folhosas", {"Alface Crespa", "Couve Manteiga", "Repolho Verde", "Agrião"}},
          {"Legumes", {"Abóbora Cabotiá", "Abobrinha", "Chuchu", "Cenoura", "Beterraba", "Tomate"}},
          {"Tubérculos e Raízes", {"Batata Inglesa", "Mandioca", "Batata-Doce", "Inhame"}},
          {"Temperos Verdes", {"Cebolinha", "Salsinha", "Coentro", "Manjericão"}}}},
        {"Frutas",
         {{"Frutas Cítricas", {"Laranja Pera", "Tangerina Poncã", "Limão Taiti"}},
          {"Frutas Tropicais", {"Banana Prata", "Mamão Formosa", "Abacaxi Pérola", "Melancia", "Manga Tommy"}},
          {"Polpas e Sucos", {"Polpa de Acerola", "Polpa de Caju", "Polpa de Maracujá", "Suco de Uva Integral"}}}},
        {"Óleos e Gorduras",
         {{"Óleos Vegetais", {"Óleo de Soja", "Azeite de Oliva", "Óleo de Girassol"}},
          {"Margarinas", {"Margarina com Sal", "Margarina sem Sal"}}}},
        {"Açúcares e Condimentos",
         {{"Açúcar e Mel", {"Açúcar Cristal", "Açúcar Mascavo", "Mel de Abelha"}},
          {"Sal e Especiarias", {"Sal Refinado Iodado", "Orégano", "Colorau", "Cominho"}},
          {"Molhos e Extratos", {"Extrato de Tomate", "Molho de Tomate"}},
          {"Achocolatados", {"Achocolatado em Pó", "Cacau em Pó"}}}},
    };
    return tree;
}

const QStringList &packages()
{
    static const QStringList p = {QStringLiteral("1 kg"), QStringLiteral("5 kg"), QStringLiteral("Pacote 500 g")};
    return p;
}

bool stockable(int group, int sub)
{
    if (group == 5)
        return false;
    if (group == 6)
        return sub == 3;
    return true;
}

QString code(int value, int width) { return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0')); }

QString loadResource(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EHostError(QStringLiteral("Script %1 não encontrado.").arg(path));
    return QString::fromUtf8(f.readAll());
}

void exec(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        throw EHostError(SqlStatement::errorText(q.lastError()));
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (!q.exec())
        throw EHostError(SqlStatement::errorText(q.lastError()));
}

QStringList column(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw EHostError(SqlStatement::errorText(q.lastError()));
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (!q.exec())
        throw EHostError(SqlStatement::errorText(q.lastError()));
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

// A small deterministic generator (the same rows on every run and machine).
class Lcg {
public:
    explicit Lcg(quint64 start) : m_state(start) {}
    quint32 next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32(m_state >> 33);
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % quint32(n)); }

private:
    quint64 m_state;
};

} // namespace

QString DemoData::schemaScript(const QSqlDatabase &db)
{
    return loadResource(QStringLiteral(":/db/%1/schema.sql").arg(DatabaseEngine::of(db).scriptFolder()));
}

QString DemoData::referenceScript() { return loadResource(QStringLiteral(":/db/demo/demo-data.sql")); }

void DemoData::create(const QSqlDatabase &db, const Sizes &sizes, const Progress &progress)
{
    auto say = [&](const QString &s) {
        if (progress)
            progress(s);
    };
    say(QStringLiteral("schema"));
    // The schema's triggers may call the engine's routines (SQLite's FOLD
    // for the search indexes).
    DatabaseEngine::of(db).registerRoutines(db);
    SqlScript::run(db, schemaScript(db), QStringLiteral("schema.sql"));
    say(QStringLiteral("reference rows"));
    {
        QSqlDatabase d = db;
        const bool tx = d.transaction();
        try {
            SqlScript::run(db, referenceScript(), QStringLiteral("demo-data.sql"));
        } catch (...) {
            if (tx)
                d.rollback();
            throw;
        }
        if (tx && !d.commit())
            throw EHostError(SqlStatement::errorText(d.lastError()));
    }
    say(QStringLiteral("products"));
    fillProducts(db, sizes.products);
    catchUpSearchIndexes(db);
    if (sizes.services > 0) {
        say(QStringLiteral("services"));
        fillServices(db, sizes.branch, sizes.services);
    }
    say(QStringLiteral("costs"));
    fillCosts(db, sizes);
    makeReportRole(db);
}

void DemoData::makeReportRole(const QSqlDatabase &db)
{
    const DatabaseEngine &engine = DatabaseEngine::of(db);
    const QString path = QStringLiteral(":/db/%1/report-role.sql").arg(engine.scriptFolder());
    if (!QFile::exists(path))
        return;
    try {
        engine.makeReportRole(db, loadResource(path));
    } catch (const EHostError &) {
        // Without the right to make roles, reports run as this user: the
        // warning when the database opens names it, if it has rights to spare.
    }
}

std::function<void(const QSqlDatabase &)> DemoData::filler(const Sizes &sizes)
{
    return [sizes](const QSqlDatabase &db) { create(db, sizes); };
}

void DemoData::addMissingRoutines(const QSqlDatabase &db)
{
    DatabaseEngine::of(db).upgrade(db, schemaScript(db));
}

void DemoData::catchUpSearchIndexes(const QSqlDatabase &db)
{
    if (SqlDialect::of(db).has(SqlDialect::Feature::SearchIndexCatchUp) && !SearchIndexes::catchUp(db))
        throw EHostError(QStringLiteral("Não foi possível preencher os índices de pesquisa."));
}

void DemoData::fillProducts(const QSqlDatabase &db, int count)
{
    exec(db, QStringLiteral("DELETE FROM PRODUTO"));
    BatchInserter ins(db, QStringLiteral("PRODUTO"), {"CDARVPROD", "NMPRODUTO", "CDNVPRODUTO", "IDESTOCAVEL"});
    const QList<Group> &tree = demoTree();
    if (count <= 0) {
        for (int g = 0; g < tree.size(); ++g) {
            const QString gc = code(g + 1, 2);
            ins.add({gc, QString::fromUtf8(tree[g].name), QStringLiteral("1"), QStringLiteral("N")});
            for (int s = 0; s < tree[g].subs.size(); ++s) {
                const SubGroup &sub = tree[g].subs[s];
                const QString sc = gc + code(s + 1, 2);
                ins.add({sc, QString::fromUtf8(sub.name), QStringLiteral("2"), QStringLiteral("N")});
                int leaf = 0;
                for (const char *item : sub.items)
                    for (const QString &pack : packages())
                        ins.add({sc + code(++leaf, 4), QString::fromUtf8(item) + QLatin1Char(' ') + pack,
                                 QStringLiteral("3"), stockable(g + 1, s + 1) ? QStringLiteral("S") : QStringLiteral("N")});
            }
        }
        ins.finish();
        return;
    }
    const int groups = 10, subs = 20;
    const int perSub = (count + groups * subs - 1) / (groups * subs);
    if (perSub > 9999)
        throw EHostError(QStringLiteral("No máximo %1 produtos cabem na árvore gerada.").arg(groups * subs * 9999));
    int made = 0;
    for (int g = 1; g <= groups; ++g) {
        const Group &dg = tree[(g - 1) % tree.size()];
        const QString gc = code(g, 2);
        ins.add({gc, QString::fromUtf8(dg.name), QStringLiteral("1"), QStringLiteral("N")});
        for (int s = 1; s <= subs; ++s) {
            const SubGroup &ds = dg.subs[(s - 1) % dg.subs.size()];
            const QString sc = gc + code(s, 2);
            ins.add({sc, QString::fromUtf8(ds.name) + QStringLiteral(" %1").arg(s), QStringLiteral("2"), QStringLiteral("N")});
            for (int p = 1; p <= perSub && made < count; ++p, ++made) {
                const QString item = QString::fromUtf8(ds.items[(p - 1) % ds.items.size()]);
                ins.add({sc + code(p, 4), QStringLiteral("%1 nº %2").arg(item).arg(made + 1),
                         QStringLiteral("3"), stockable((g - 1) % tree.size() + 1, (s - 1) % dg.subs.size() + 1)
                                                  ? QStringLiteral("S") : QStringLiteral("N")});
            }
        }
    }
    ins.finish();
}

void DemoData::fillServices(const QSqlDatabase &db, const QString &branch, int count)
{
    if (count > 100000)
        throw EHostError(QStringLiteral("No máximo 100000 serviços cabem em uma filial (códigos de 5 dígitos)."));
    const QStringList groups = column(db, QStringLiteral("SELECT CDGRUPSERV FROM GRUPSERV ORDER BY CDGRUPSERV"));
    const QStringList groupNames = column(db, QStringLiteral("SELECT NMGRUPSERV FROM GRUPSERV ORDER BY CDGRUPSERV"));
    if (groups.isEmpty())
        throw EHostError(QStringLiteral("Não há grupos de serviços para os serviços gerados."));
    exec(db, QStringLiteral("DELETE FROM SERVICO WHERE CDFILIAL = ?"), {branch});
    BatchInserter ins(db, QStringLiteral("SERVICO"), {"CDFILIAL", "CDSERVFILI", "NMSERVICO", "CDGRUPSERV"});
    for (int i = 0; i < count; ++i) {
        const int g = i % int(groups.size());
        ins.add({branch, code(i, 5), QStringLiteral("%1 nº %2").arg(groupNames[g]).arg(i), groups[g]});
    }
    ins.finish();
}

void DemoData::fillCosts(const QSqlDatabase &db, const Sizes &sizes)
{
    exec(db, QStringLiteral("DELETE FROM CUSTREAL"));
    const QStringList types = column(db, QStringLiteral("SELECT NRTIPOCUSTO FROM TIPOCUSTO ORDER BY NRTIPOCUSTO"));
    const QStringList products = column(db, QStringLiteral("SELECT CDARVPROD FROM PRODUTO WHERE CDNVPRODUTO = '3' ORDER BY CDARVPROD"));
    if (types.isEmpty() || products.isEmpty())
        return;
    QList<QDate> days;
    for (QDate d(sizes.year, 1, 1); d.year() == sizes.year; d = d.addDays(1))
        if (d.dayOfWeek() <= 5)
            days << d;

    QStringList branches;
    if (sizes.costRows < 0)
        branches = column(db, QStringLiteral("SELECT DISTINCT S.CDFILIAL FROM SERVICO S, FILIAL F "
                                             "WHERE F.CDFILIAL = S.CDFILIAL AND F.CDFILCENTXEV IS NOT NULL "
                                             "ORDER BY S.CDFILIAL"));
    else
        branches << sizes.branch;

    BatchInserter ins(db, QStringLiteral("CUSTREAL"),
                      {"CDFILIAL", "CDSERVFILI", "CDARVPROD", "NRTIPOCUSTO", "DTMOVIMENTO", "QTREAL", "VRCUSTREAL"});
    // Unit price per product and a factor per cost type, so that the types differ.
    auto unitPrice = [](int productIndex) { return 1.5 + double((productIndex * 37) % 400) / 10.0; };
    const double typeFactor[] = {1.00, 1.07, 0.95, 1.02, 1.10, 0.90};
    Lcg rnd(20260101);

    for (const QString &branch : branches) {
        const QStringList services = column(db, QStringLiteral("SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = ? ORDER BY CDSERVFILI"), {branch});
        if (services.isEmpty())
            continue;
        qint64 target = sizes.costRows;
        // Pairs of (service, product) per day, each written under every cost type.
        const qint64 perType = target < 0 ? 3 * qint64(days.size())
                                          : (target + types.size() - 1) / types.size();
        qint64 written = 0;
        for (qint64 k = 0; k < perType; ++k) {
            const QDate day = days[int(k % days.size())];
            const int p = rnd.below(int(products.size()));
            const QString service = services[rnd.below(int(services.size()))];
            const double qty = double(1 + rnd.below(200000)) / 1000.0;
            for (int t = 0; t < types.size(); ++t) {
                if (target >= 0 && written >= target)
                    break;
                const double value = qRound64(qty * unitPrice(p) * typeFactor[t % 6] * 100.0) / 100.0;
                ins.add({branch, service, products[p], types[t].toInt(), day, qty, value});
                ++written;
            }
        }
    }
    ins.finish();
}
