#pragma once
// The logging screen and the owner of the program's life cycle: it reads the
// preferences, runs the station setup that opens the shared log, asks whether
// to continue the log, runs the clocks and the refresh cycle, takes the
// operator's entries, shows the score, the grid map and the contact list, and
// ends the program. Its handlers gather input and call the log classes.
#include "log/Dupes.h"
#include "log/LogStore.h"
#include "log/Score.h"
#include "log/Station.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTreeWidget;
class QWidget;
class ClickableLabel;
class StationSetupDialog;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up sequence: preferences, UTC offset check, station setup,
    // "Open existing log?". Returns false when the operator cancelled setup
    // (the program then ends).
    bool startUp();

    // ---- state other windows and tests read ----
    Station station;
    LogStore store;
    Tally tally;
    PartialDupeIndex dupeIndex;
    bool keyerBusy = false;     // set while CW is being keyed
    bool loggedOn = false;      // "Time On" clock running
    QDateTime logOnStart;
    float totalOnSeconds = 0;
    int backupTickCount = 0;
    int reloads = 0;            // full reloads so far
    bool partialDupesOn = true;
    bool listAll = false;       // contact list shows all rather than the last 20
    int editIndex = 0;          // record open in the edit window
    float mapRowOffset = 0;     // grid map scroll, whole rows north
    float mapColumnOffset = 0;  // grid map scroll, degrees west
    bool dupeFlag = false;
    QDateTime dupeTime;
    bool incompleteFlag = false;
    QString serverName;         // the PC that hosts the log; empty on the server itself

    // ---- operations of the log ----
    void WorkList();
    void FileSize();
    void StartNewLog();
    void AskContinueLog();
    bool SavePref();
    bool mnuSetup_Click();
    void ApplyBandSelection();
    void mnuBand_Click(int bandIndex);
    void mnuCW_Click();
    void mnuPhone_Click();
    void BandFreqConversion(float mhz);
    void ModeSelection(const QString &mode);
    void LogQso();
    void frmcmp();
    void FillContactList();
    void Labeldisplay();
    void TimeStats();
    void MarkWorkedGrids();
    void GridFill();
    void txtSec_Change();
    void UtcOffsetCheck();
    void clockTick();
    void refreshTick();
    void cmdLogOn_Click();
    void cmdClear_Click();
    void mnuRefreshrate_Click();
    void mnuFormSize_Click();
    void mnuTaskBar_Click();
    void mnuExit_Click();
    void mnuRecall_Click();
    void mnuCopyListtoClipboard_Click();
    void cmdDelete_Click();
    void cmdEdit_Click();
    void Command2_Click();
    void mnuColors_Click();
    void mnuWriteSumm_Click();
    void mnuExportADIF_Click();
    void mnuOrreryExport_Click();
    void mnuCombine_Click();
    void mnuArchive_Click();
    void mnuGraph_Click();
    void scrollMap(float rows, float columns);
    void showGridList(int band);
    // The record number shown in the selected list row, 0 when none.
    int selectedRecord() const;
    void resetGridColors();
    void applyFormSize();
    // Everything computed from the mirror after a reload: tallies, grid
    // lists, contact list, rates, score labels, grid-map marks.
    void refreshDerived();
    // Own position from the south-west corner of the own grid.
    void setPositionFromGrid();

    // ---- controls (object names as the members) ----
    // entry
    QLineEdit *txtCall = nullptr;
    QLineEdit *txtRSTR = nullptr;
    QLineEdit *txtSec = nullptr;
    QLineEdit *txtRSTS = nullptr;
    QLineEdit *txtPostConTime = nullptr;
    QLineEdit *txtPostConDate = nullptr;
    QLabel *lblPostConTime = nullptr;
    QLabel *lblPostConDate = nullptr;
    QLabel *lblDialog = nullptr;
    QLabel *lblDupe = nullptr;
    QLabel *Label3 = nullptr; // "New"
    QPushButton *cmdDup = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdLogOn = nullptr;
    // clocks and station
    QLabel *lblCurTime = nullptr;
    QLabel *Label16 = nullptr;
    QLabel *lblutctime = nullptr;
    QLabel *lblttrack = nullptr;
    QLabel *Label2 = nullptr;  // own call
    QLabel *Label4 = nullptr;  // own grid
    QLabel *Label21 = nullptr; // band caption
    ClickableLabel *Label30 = nullptr; // mode
    // score
    QLabel *lblTotCon = nullptr;
    QLabel *lblTotSec = nullptr;
    QLabel *lblsectogo = nullptr;
    QLabel *lblTotScore = nullptr;
    QLabel *lblAQSO60 = nullptr;
    QLabel *lblAQSO20 = nullptr;
    QLabel *Label10 = nullptr;
    std::array<ClickableLabel *, 10> bandCaptionLabels{};
    std::array<ClickableLabel *, 10> bandCountLabels{};
    std::array<QListWidget *, 10> gridLists{}; // List1 .. List10
    QWidget *bandView = nullptr;
    // grid map
    QWidget *gridView = nullptr;
    std::array<ClickableLabel *, 165> lblGrid{};
    QPushButton *Command2 = nullptr; // "View Grids" / "View Bands"
    QPushButton *Command4 = nullptr; // south
    QPushButton *Command5 = nullptr; // west
    QPushButton *Command6 = nullptr; // east
    QPushButton *Command7 = nullptr; // north
    QLabel *Label14 = nullptr;
    QLabel *Label22 = nullptr;
    QLabel *Label23 = nullptr; // bearing
    QLabel *Label24 = nullptr; // miles
    // contact list
    QTreeWidget *ListView1 = nullptr;
    QPushButton *cmdList = nullptr;
    QPushButton *Command3 = nullptr; // "All Bands" / "Current Band"
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdDelete = nullptr;

    // ---- menus ----
    QAction *mnuNew = nullptr, *mnuOpen = nullptr, *mnuArchive = nullptr, *mnuWriteSumm = nullptr,
            *mnuOrreryExport = nullptr, *mnuExportADIF = nullptr, *mnuCombine = nullptr,
            *mnuCopyListtoClipboard = nullptr, *mnuExit = nullptr;
    QAction *mnuCWSetup = nullptr, *mnuPhoneSetup = nullptr, *mnuFormSize = nullptr,
            *mnuColors = nullptr, *mnuTaskBar = nullptr, *mnuRstRecord = nullptr,
            *mnuRstDontRecord = nullptr, *mnuRefreshrate = nullptr, *mnuRigInterface = nullptr,
            *mnuDXConfigure = nullptr, *mnuSpectrumMap = nullptr, *mnuVoiceNavigation = nullptr,
            *mnuListPrevious = nullptr, *mnuPostContest = nullptr, *mnuSetup = nullptr;
    std::array<QAction *, 17> bandMenuItems{};
    QAction *mnuPrivileges = nullptr, *mnuCW = nullptr, *mnuPhone = nullptr;
    QAction *mnuRecall = nullptr, *mnuGraph = nullptr, *mnuNetwork = nullptr, *mnuHelp = nullptr;

    // ---- timers ----
    QTimer *Timer1 = nullptr; // rates, 60 s
    QTimer *Timer2 = nullptr; // clocks, 1 s
    QTimer *Timer3 = nullptr; // refresh cycle
    QTimer *Timer4 = nullptr; // network start, 3 s once

    // The station window, kept between setups.
    StationSetupDialog *stationWindow();

    // The program name and version shown in the title and written into files.
    static QString programName();

signals:
    // The operator ended the program from the station window or the menu.
    void programEnded();
    // The network start of three seconds after load.
    void networkStart();
    // The band or the mode changed (the station network announces it).
    void bandOrModeChanged();

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    void buildMenus();
    void buildControls();
    void connectPanels();
    void connectExports();
    void connectControls();
    void updateLogOnClock();
    void setDialog(const QString &text, quint32 bgr);
    void resetDupeLabel();
    void showWorkListError(const QString &why);
    void endProgram();

    // entry handling (key filters of the entry fields)
    bool callKey(QKeyEvent *e);
    bool rstrKey(QKeyEvent *e, int forwardedKey = 0);
    bool secKey(QKeyEvent *e, int forwardedKey = 0);
    bool rstsKey(QKeyEvent *e);
    bool postConKey(QLineEdit *field, QKeyEvent *e);
    void callFocusIn();
    void rstrFocusIn();
    void secFocusIn();
    void rstsFocusIn();
    void postConFocusIn(QLineEdit *field);
    void PartialDupes(int key);
    void runDupcheck2();
    void releaseHeldKeys();
    void clearEntry();
    void onDupe(const QsoRecord &match);
    void afterLogging();
    void networkError();

    StationSetupDialog *m_station = nullptr;
    QString m_preDupeCall;
    struct HeldKey {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };
    std::vector<HeldKey> m_heldKeys;
    QTimer *m_holdTimer = nullptr;
    bool m_replaying = false;
};
