#include "ReportMenu.h"
#include "report/commands/ReportCommandTable.h"
#include "report/commands/TfrmDadosGerRel.h"
#include "session/RunHistory.h"

#include <QAction>
#include <QMenu>

namespace {
TfrmDadosGerRel *reportScreen(TForm *form) { return qobject_cast<TfrmDadosGerRel *>(form); }
} // namespace

ReportMenu::ReportMenu(QMenu *menu, std::function<TForm *()> activeScreen)
    : QObject(menu), m_activeScreen(std::move(activeScreen))
{
    for (const ReportCommand &command : ReportCommandTable::all()) {
        if (command.key.isEmpty())
            continue;
        if (command.startsGroup)
            menu->addSeparator();
        QAction *a = menu->addAction(command.caption);
        a->setObjectName(QStringLiteral("act") + command.control);
        a->setShortcut(command.key);
        a->setData(int(command.id));
        const ReportCommand::Id id = command.id;
        connect(a, &QAction::triggered, this, [this, id] {
            if (id == ReportCommand::Id::RecentRuns)
                emit recentRunsRequested();
            else if (TfrmDadosGerRel *screen = reportScreen(m_activeScreen()))
                screen->run(id);
        });
        m_actions << a;
    }
    // The screen's state decides what is offered, each time the menu opens.
    connect(menu, &QMenu::aboutToShow, this, &ReportMenu::update);
}

void ReportMenu::update()
{
    const TfrmDadosGerRel *screen = reportScreen(m_activeScreen());
    for (QAction *a : std::as_const(m_actions)) {
        const auto id = ReportCommand::Id(a->data().toInt());
        a->setEnabled(id == ReportCommand::Id::RecentRuns ? RunHistory::installed() != nullptr
                                                          : screen && screen->offers(id));
    }
}
