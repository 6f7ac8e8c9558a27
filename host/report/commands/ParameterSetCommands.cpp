// "Salvar parâmetros como…" and "Abrir parâmetros…" of the base report
// screen: the prompts go through HostUi, so scripted sessions answer them
// as a person would; the sets themselves are ParameterSets'.
#include "TfrmDadosGerRel.h"
#include "core/Errors.h"
#include "core/HostUi.h"

#include "core/RunSchedule.h"

#include <QLocale>
#include <QRegularExpression>

namespace {
const QString kSaveCaption = QStringLiteral("Salvar parâmetros como");
const QString kOpenCaption = QStringLiteral("Abrir parâmetros");

// One line a set, as the open prompt lists them.
QString listing(const QList<ParameterSet> &sets)
{
    if (sets.isEmpty())
        return QStringLiteral("  (nenhum ainda: escolha os parâmetros e use \"Salvar parâmetros como…\", Ctrl+Shift+S)");
    QStringList lines;
    for (const ParameterSet &s : sets)
        lines << (s.scope == ParameterSet::Scope::Shared
                      ? QStringLiteral("  %1 (compartilhado, de %2, %3; período: %4)")
                            .arg(s.name, s.owner, QLocale().toString(s.changed.toLocalTime().date(), QLocale::ShortFormat),
                                 s.period.text())
                      : QStringLiteral("  %1 (pessoal; período: %2)").arg(s.name, s.period.text()))
                 + (s.schedule.isEmpty() ? QString() : QStringLiteral("; agenda: ") + s.schedule);
    return lines.join(QLatin1Char('\n'));
}

// The period rule a person typed; an empty answer keeps the proposal.
PeriodRule askedPeriod(const PeriodRule &proposal)
{
    QString text = proposal.text();
    for (;;) {
        if (!HostUi::instance().askText(kSaveCaption,
                                        QStringLiteral("Período (mês anterior, mês corrente, ano corrente, últimos N "
                                                       "dias, ou dd/mm/aaaa a dd/mm/aaaa):"), text))
            throw EAbort();
        if (text.trimmed().isEmpty())
            return proposal;
        if (const auto rule = PeriodRule::fromText(text))
            return *rule;
        HostUi::instance().showError(QStringLiteral("\"%1\" não é um período que o conjunto saiba guardar. Escreva "
                                                    "\"mês anterior\", \"mês corrente\", \"ano corrente\", \"últimos 30 "
                                                    "dias\" ou duas datas, como \"01/03/2026 a 31/03/2026\".").arg(text),
                                     false);
    }
}
// "Agendar…": when merenda-report --due runs the set; empty for never.
QString askedSchedule(const QString &proposal)
{
    QString text = proposal;
    for (;;) {
        if (!HostUi::instance().askText(QStringLiteral("Agendar…"),
                                        QStringLiteral("Quando emitir este conjunto sozinho (merenda-report --due), por "
                                                       "exemplo \"todo dia 1 às 06:00\", \"toda segunda às 07:00\" ou "
                                                       "\"todo dia às 06:00\"; vazio: sem agenda:"), text))
            throw EAbort();
        if (text.trimmed().isEmpty())
            return QString();
        if (const auto schedule = RunSchedule::fromText(text))
            return schedule->text();
        HostUi::instance().showError(QStringLiteral("\"%1\" não é uma agenda conhecida. Escreva, por exemplo, \"todo "
                                                    "dia 1 às 06:00\", \"toda segunda às 07:00\" ou \"todo dia às "
                                                    "06:00\", ou deixe vazio.").arg(text), false);
    }
}
} // namespace

void TfrmDadosGerRel::saveParameterSetAsked()
{
    ParameterSet set = currentParameters();
    if (!HostUi::instance().askText(kSaveCaption, QStringLiteral("Nome do conjunto de parâmetros:"), set.name))
        return;
    const bool shared = HostUi::instance().askYesNo(
        kSaveCaption, QStringLiteral("Compartilhar o conjunto \"%1\" com os colegas da central? (Não: só você o verá.)")
                          .arg(set.name.simplified()));
    set.scope = shared ? ParameterSet::Scope::Shared : ParameterSet::Scope::Personal;
    set.period = askedPeriod(set.period);
    set.schedule = askedSchedule(set.schedule);
    ParameterSets::save(parameterPlace(), set);
}

void TfrmDadosGerRel::openParameterSetAsked()
{
    const QList<ParameterSet> sets = ParameterSets::list(parameterPlace());
    QString answer;
    if (!HostUi::instance().askText(kOpenCaption,
                                    QStringLiteral("Conjuntos:\n%1\n\nNome do conjunto a abrir (ou \"renomear NOME para "
                                                   "NOVO\", \"apagar NOME\"):").arg(listing(sets)), answer))
        return;
    static const QRegularExpression rename(QStringLiteral("^\\s*renomear\\s+(.+?)\\s+para\\s+(.+)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression remove(QStringLiteral("^\\s*apagar\\s+(.+)$"), QRegularExpression::CaseInsensitiveOption);
    if (const auto m = rename.match(answer); m.hasMatch()) {
        const ParameterSet set = ParameterSets::find(parameterPlace(), m.captured(1));
        ParameterSets::rename(parameterPlace(), set.name, set.scope, m.captured(2));
    } else if (const auto m = remove.match(answer); m.hasMatch()) {
        const ParameterSet set = ParameterSets::find(parameterPlace(), m.captured(1));
        if (HostUi::instance().askYesNo(kOpenCaption, QStringLiteral("Apagar o conjunto de parâmetros \"%1\"%2?")
                                                          .arg(set.name, set.scope == ParameterSet::Scope::Shared
                                                                             ? QStringLiteral(" (compartilhado com a central)")
                                                                             : QString())))
            ParameterSets::remove(parameterPlace(), set.name, set.scope);
    } else {
        openParameterSet(answer);
    }
}

void TfrmDadosGerRel::openParameterSet(const QString &name)
{
    applyParameterSet(ParameterSets::find(parameterPlace(), name));
}
