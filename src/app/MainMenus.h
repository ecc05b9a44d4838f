#pragma once
// The main window's menu bar: File, Options, Band, Mode and the bar's own
// commands. It only builds the items and shows the checked band, mode and
// options; the main window connects them to what they do.
#include "log/Bands.h"

#include <array>

class QAction;
class QMenuBar;

struct MainMenus {
    explicit MainMenus(QMenuBar *bar);

    // Checks the band's item alone (none for a band of no item).
    void showBand(int bandIndex);
    void showMode(bool phone);
    void showReportsRecorded(bool recorded);

    // File
    QAction *newLog, *openLog, *archive, *writeCabrillo, *exportOrrery, *exportAdif, *combine,
        *copyList, *exit;
    // Options
    QAction *cwSetup, *phoneSetup, *formSize, *colours, *taskBar, *recordReports, *dontRecordReports,
        *refreshRate, *rigInterface, *dxConfigure, *spectrumMap, *voiceNavigation, *listPrevious,
        *postContest, *setup;
    // Band and Mode
    std::array<QAction *, Bands::Count> bands{};
    QAction *privileges, *cw, *phone;
    // The bar's own commands
    QAction *recall, *graph, *network, *help;
};
