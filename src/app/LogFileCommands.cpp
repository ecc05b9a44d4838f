#include "app/LogFileCommands.h"

#include "app/ActivityGraphWindow.h"
#include "app/CombineLogsDialog.h"
#include "app/ExportCommands.h"
#include "app/MainMenus.h"
#include "app/SummarySheetDialog.h"
#include "export/ActivityGraph.h"
#include "export/FileJobs.h"
#include "log/Contest.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QWidget>

LogFileCommands::LogFileCommands(QWidget *window, Contest &contest, MainMenus &menus)
    : QObject(window), m_window(window), m_contest(&contest), m_jobs(new FileJobs(this))
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

QString LogFileCommands::logPath() const
{
    const QString open = m_contest->store().path();
    return open.isEmpty() ? m_contest->station().logPath : open;
}

void LogFileCommands::writeCabrillo()
{
    // The entry holds every contact of the shared log, those logged by the
    // other PCs since the last refresh included: it is looked over and
    // written from the log read afresh, away from the window. The claimed
    // score follows the other PCs' latest contacts too.
    m_contest->checkForChanges();
    SummarySheetDialog w(m_contest->station(), *m_jobs, logPath(), m_window);
    w.claimedScore = [this] {
        const Station &s = m_contest->station();
        return QString::number(scoreTotals(m_contest->tally(), s.contestType, s.isRover()).score);
    };
    w.exec();
}

void LogFileCommands::exportAdif()
{
    ExportCommands::exportAdif(m_window, *m_jobs, logPath(), m_contest->station());
}

void LogFileCommands::exportForOrrery()
{
    ExportCommands::exportForOrrery(m_window, *m_jobs, logPath(), m_contest->station().contestType);
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
    ExportCommands::archiveLog(m_window, *m_jobs, m_contest->store(), s.logPath, s.ownCall,
                               m_contest->refreshTimer());
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
