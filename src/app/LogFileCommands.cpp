#include "app/LogFileCommands.h"

#include "app/ActivityGraphWindow.h"
#include "app/CombineLogsDialog.h"
#include "app/ExportCommands.h"
#include "app/MainMenus.h"
#include "app/SummarySheetDialog.h"
#include "export/ActivityGraph.h"
#include "log/Contest.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QWidget>

LogFileCommands::LogFileCommands(QWidget *window, Contest &contest, MainMenus &menus)
    : QObject(window), m_window(window), m_contest(&contest)
{
    setObjectName(QStringLiteral("logFileCommands"));
    const std::pair<QAction *, void (LogFileCommands::*)()> commands[] = {
        {menus.writeCabrillo, &LogFileCommands::writeCabrillo}, {menus.exportOrrery, &LogFileCommands::exportForOrrery},
        {menus.exportAdif, &LogFileCommands::exportAdif},       {menus.combine, &LogFileCommands::combineLogs},
        {menus.archive, &LogFileCommands::archiveLog},          {menus.graph, &LogFileCommands::showActivityGraph},
    };
    for (const auto &[action, handler] : commands)
        connect(action, &QAction::triggered, this, handler);
}

void LogFileCommands::writeCabrillo()
{
    // The entry holds every contact of the shared log, those logged by the
    // other PCs since the last refresh included.
    m_contest->reloadLog();
    SummarySheetDialog w(m_contest->station(), m_contest->mirror(), m_window);
    w.claimedScore = [this] {
        const Station &s = m_contest->station();
        return QString::number(scoreTotals(m_contest->tally(), s.contestType, s.isRover()).score);
    };
    w.exec();
}

void LogFileCommands::exportAdif()
{
    m_contest->reloadLog();
    ExportCommands::exportAdif(m_window, m_contest->mirror(), m_contest->station());
}

void LogFileCommands::exportForOrrery()
{
    m_contest->reloadLog();
    ExportCommands::exportForOrrery(m_window, m_contest->mirror(), m_contest->station().contestType);
}

void LogFileCommands::combineLogs()
{
    m_contest->reloadLog();
    CombineLogsDialog w(m_contest->store(), m_window);
    w.reload = [this] { m_contest->reloadLog(); };
    w.exec();
}

void LogFileCommands::archiveLog()
{
    // The refresh timer rests while the copy is taken and runs again after,
    // whatever the outcome.
    const Station &s = m_contest->station();
    ExportCommands::archiveLog(m_window, m_contest->store(), s.logPath, s.ownCall, m_contest->refreshTimer());
}

void LogFileCommands::showActivityGraph()
{
    const ActivityGraph::Data data = ActivityGraph::compute(m_contest->mirror());
    if (!data.enough) {
        msgBox(m_window, ActivityGraph::Text::NotEnoughText, ActivityGraph::Text::NotEnoughTitle);
        return;
    }
    // One graph window; opening it again draws the log as it is now.
    auto *graph = m_window->findChild<ActivityGraphWindow *>();
    if (!graph)
        graph = new ActivityGraphWindow(m_window);
    graph->setData(data);
    graph->show();
    graph->raise();
    graph->activateWindow();
}
