#pragma once
// The logging screen and the owner of the program's life cycle. It builds the
// menus and the panels (station line, entry, contact list, score with the
// grid map), wires them to the running contest, runs the start-up (the
// preferences, the UTC offset check, the station setup that opens the log,
// "Open existing log?") and the clocks, and ends the program.
#include <QMainWindow>

class Contest;
class ContactListPanel;
class EntryPanel;
class QTimer;
class ScorePanel;
class StationKeying;
class StationRig;
class StationSpots;
class StationPanel;
class StationSetupDialog;
struct MainMenus;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence. Returns false when the operator cancelled the
    // station setup (the program then ends).
    bool startUp();

    Contest &contest() { return *m_contest; }
    // DX spotting: the spot store and the spot area.
    StationSpots &spots() { return *m_spots; }

    // The program name and version shown in the title and written into files.
    static QString programName();

signals:
    // The operator ended the program from the station window or the menu.
    void programEnded();
    // The network start, three seconds after load.
    void networkStart();

protected:
    void closeEvent(QCloseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    void connectMenus();
    void connectPanels();
    void checkUtcOffset();
    // The station window; false when the operator cancelled it.
    bool runStationSetup();
    StationSetupDialog *stationSetup();
    void askContinueLog();
    void startNewLog();
    void showReloadError();
    void checkWorkingFolder();
    void showFileNotWritten(const QString &file, const QString &why);
    void showBand();
    void showMode();
    void toggleLogOn();
    void askRefreshRate();
    void askFormSize();
    void toggleTaskBar();
    void applyFormSize();
    void chooseColours();
    void showHelp();
    void recallLastContact();
    void exitProgram();
    void endProgram();

    Contest *m_contest = nullptr;
    MainMenus *m_menus = nullptr;
    StationPanel *m_stationPanel = nullptr;
    EntryPanel *m_entry = nullptr;
    ContactListPanel *m_contactList = nullptr;
    ScorePanel *m_score = nullptr;
    QTimer *m_ratesTimer = nullptr;
    QTimer *m_clockTimer = nullptr;
    QTimer *m_networkStartTimer = nullptr;
    StationSetupDialog *m_stationSetup = nullptr;
    StationKeying *m_keying = nullptr;
    StationRig *m_rig = nullptr;
    StationSpots *m_spots = nullptr;
};
