// The screen's named parameter sets: its choices as a set (the period as a
// rule), and a set put back as typed. Codes the set cites that the screen
// no longer offers (a deleted service, a branch of another central, a cost
// type gone from the costs server) are left out and named in one message,
// which stops the command, so an unattended run never reports on less
// than the set asked for.
#include "ModuleState.h"
#include "RecalledParameters.h"
#include "TfrmRealGlobal.h"

#include "core/MensErro.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "session/ShellFunctions.h"
#include "widgets/TComboBox.h"
#include "widgets/TMaskEdit.h"
#include "widgets/TRadioButton.h"

namespace {
const QString kScreenCode = QStringLiteral("XEV01700");

// Every code the query gives in field, opened afresh.
QStringList codesOf(TADOIBQuery *query, const QString &field)
{
    query->Open();
    query->First();
    QStringList codes;
    while (!query->GetEOF()) {
        codes << query->FieldByName(field)->AsString().trimmed();
        query->Next();
    }
    query->Close();
    return codes;
}

// The codes of list still offered; the others go to missing, each with what it was.
QStringList keptCodes(const QStringList &list, const QStringList &offered, const QString &what, QStringList &missing)
{
    QStringList kept;
    for (const QString &code : list)
        if (offered.contains(code.trimmed()))
            kept << code;
        else
            missing << QStringLiteral("%1 %2").arg(what, code);
    return kept;
}
} // namespace

ParameterSets::Place TfrmRealGlobal::parameterPlace() const { return {kScreenCode, medCentral->Text()}; }

QDate TfrmRealGlobal::periodToday(const QString &branch) const
{
    // The branch's processing date is the day its work is at; a branch
    // without one counts from the calendar.
    QDate day;
    try {
        day = DataProc(branch);
    } catch (...) {
    }
    return day.isValid() ? day : QDate::currentDate();
}

ParameterSet TfrmRealGlobal::currentParameters() const
{
    const ScreenChoices c = choices();
    ParameterSet set;
    set.period = PeriodRule::guessed(c.dateInitial, c.dateFinal, periodToday(c.branch));
    set.choices = RecalledParameters::stored(c);
    set.choices.remove(QStringLiteral("dataInicial"));
    set.choices.remove(QStringLiteral("dataFinal"));
    return set;
}

bool TfrmRealGlobal::branchOffered(const QString &branch)
{
    qryTAgreg->Close();
    qryTAgreg->ParamByName(QStringLiteral("P_CDFILCENTXEV")).SetAsString(medCentral->Text());
    qryTAgreg->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(branch);
    qryTAgreg->Open();
    const bool offered = !qryTAgreg->IsEmpty();
    qryTAgreg->Close();
    return offered;
}

void TfrmRealGlobal::applyParameterSet(const ParameterSet &set)
{
    ScreenChoices c = RecalledParameters::fromStored(set.choices);
    QStringList missing;
    c.branch = c.branch.trimmed();
    if (medCdFilial->isEnabled() && !c.branch.isEmpty() && !branchOffered(c.branch)) {
        missing << QStringLiteral("filial %1").arg(c.branch);
        c.branch = medCdFilial->Text();
    }
    const QDate today = periodToday(medCdFilial->isEnabled() ? c.branch : medCdFilial->Text());
    c.dateInitial = set.period.start(today);
    c.dateFinal = set.period.end(today);
    if (!c.costType.isEmpty() && cbbTipoCusto->Items().indexOf(c.costType) < 0)
        missing << QStringLiteral("tipo de custo \"%1\"").arg(c.costType);
    if (c.groupsListed)
        c.groups = CodeList::fromSearch(keptCodes(c.groups.codes(), codesOf(qryGrupServ, QStringLiteral("CDGRUPSERV")),
                                                  QStringLiteral("grupo de serviço"), missing));
    try {
        apply(c);
        applyOfferedServices(missing);
    } catch (...) {
        showListCounts();
        throw;
    }
    showListCounts();
    if (!missing.isEmpty())
        MensErro(QStringLiteral("O conjunto de parâmetros \"%1\" cita códigos que não existem mais e ficaram de fora: "
                                "%2. Confira as escolhas da tela e salve o conjunto de novo.")
                     .arg(set.name, missing.join(QStringLiteral(", "))),
                 true);
}

void TfrmRealGlobal::applyOfferedServices(QStringList &missing)
{
    ModuleState &state = moduleState();
    if (!rbtListaServ->isChecked() || state.ListaServPesq.isEmpty())
        return;
    // Without groups no service is offered; the screen's own check says
    // that the groups are missing, not that every service is.
    if (rbtListaGrup->isChecked() && state.ListaGrup.isEmpty())
        return;
    qryServico->Close();
    setServiceParams();
    const QStringList offered = codesOf(qryServico, QStringLiteral("CDSERVFILI"));
    const QStringList kept = keptCodes(state.ListaServPesq.codes(), offered, QStringLiteral("serviço"), missing);
    if (kept.size() != state.ListaServPesq.size())
        state.ListaServPesq = CodeList::fromSearch(kept);
}
