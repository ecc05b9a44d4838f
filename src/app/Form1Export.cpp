// The main window's commands that write the log to files or bring other logs
// into it: Cabrillo entry, ADIF and general-logger export, append and restore,
// archive, and the activity graph.
#include "app/Form1.h"
#include "app/ActivityGraphWindow.h"
#include "app/CombineLogsDialog.h"
#include "app/ExportCommands.h"
#include "app/SummarySheetDialog.h"
#include "export/ActivityGraph.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QLabel>

void Form1::connectExports()
{
    const std::pair<QAction *, void (Form1::*)()> commands[] = {
        {mnuWriteSumm, &Form1::mnuWriteSumm_Click},
        {mnuOrreryExport, &Form1::mnuOrreryExport_Click},
        {mnuExportADIF, &Form1::mnuExportADIF_Click},
        {mnuCombine, &Form1::mnuCombine_Click},
        {mnuArchive, &Form1::mnuArchive_Click},
        {mnuGraph, &Form1::mnuGraph_Click},
    };
    for (const auto &[action, handler] : commands) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, handler);
    }
}

void Form1::mnuWriteSumm_Click()
{
    // The entry holds every contact of the shared log, those logged by the
    // other PCs since the last refresh included.
    WorkList();
    SummarySheetDialog w(station, store.mirror(), this);
    w.claimedScore = [this] { return lblTotScore->text(); };
    w.exec();
}

void Form1::mnuExportADIF_Click()
{
    WorkList();
    ExportCommands::exportAdif(this, store.mirror(), station.contestType);
}

void Form1::mnuOrreryExport_Click()
{
    WorkList();
    ExportCommands::exportForOrrery(this, store.mirror(), station.contestType);
}

void Form1::mnuCombine_Click()
{
    WorkList();
    CombineLogsDialog w(store, this);
    w.reload = [this] { WorkList(); };
    w.exec();
}

void Form1::mnuArchive_Click()
{
    // The refresh timer rests while the copy is taken and runs again after,
    // whatever the outcome.
    ExportCommands::archiveLog(this, store, station.logPath, station.ownCall, Timer3);
}

void Form1::mnuGraph_Click()
{
    const ActivityGraph::Data data = ActivityGraph::compute(store.mirror());
    if (!data.enough) {
        msgBox(this, ActivityGraph::Text::NotEnoughText, ActivityGraph::Text::NotEnoughTitle);
        return;
    }
    // One graph window; opening it again draws the log as it is now.
    auto *graph = findChild<ActivityGraphWindow *>();
    if (!graph)
        graph = new ActivityGraphWindow(this);
    graph->setData(data);
    graph->show();
    graph->raise();
    graph->activateWindow();
}
