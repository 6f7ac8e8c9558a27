// The scripted session's `printer` lines: what a person would choose in the
// print dialog, kept for the next `command print`.
#include "ScriptError.h"
#include "ScriptSession.h"

#include "ui/ScriptedHostUi.h"

namespace {
int positive(const QString &word, const char *what)
{
    bool ok = false;
    const int n = word.toInt(&ok);
    if (!ok || n < 1)
        fail(QStringLiteral("'%1' is not a %2 (1 or more)").arg(word, QString::fromLatin1(what)));
    return n;
}

QPageSize paperNamed(const QString &name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("a4"))
        return QPageSize(QPageSize::A4);
    if (n == QLatin1String("letter"))
        return QPageSize(QPageSize::Letter);
    if (n == QLatin1String("legal"))
        return QPageSize(QPageSize::Legal);
    fail(QStringLiteral("unknown paper '%1': A4, Letter or Legal").arg(name));
}
} // namespace

void ScriptSession::printer(const QStringList &args)
{
    const QString what = args.value(0).toLower();
    ScriptedHostUi::PrintDialogChoices &choices = m_ui.printChoices;
    auto need = [&](int n) {
        if (args.size() != n + 1)
            fail(QStringLiteral("'printer %1' takes %2 argument(s)").arg(what).arg(n));
    };
    if (what == QLatin1String("pages")) {
        need(2);
        const int from = positive(args[1], "page number");
        const int to = positive(args[2], "page number");
        if (to < from)
            fail(QStringLiteral("'printer pages %1 %2': the last page comes before the first").arg(from).arg(to));
        choices.from = from;
        choices.to = to;
    } else if (what == QLatin1String("copies")) {
        need(1);
        choices.copies = positive(args[1], "number of copies");
    } else if (what == QLatin1String("orientation")) {
        need(1);
        const QString o = args[1].toLower();
        if (o != QLatin1String("landscape") && o != QLatin1String("portrait"))
            fail(QStringLiteral("'printer orientation' takes landscape or portrait"));
        choices.orientation = o == QLatin1String("landscape") ? QPageLayout::Landscape : QPageLayout::Portrait;
    } else if (what == QLatin1String("paper")) {
        need(1);
        choices.paper = paperNamed(args[1]);
    } else {
        fail(QStringLiteral("'printer' takes pages, copies, orientation or paper"));
    }
}
