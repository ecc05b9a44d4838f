#include "app/MainWindow.h"

#include "app/Colors.h"
#include "app/ContactListPanel.h"
#include "app/EntryPanel.h"
#include "app/GridColoursDialog.h"
#include "app/GridMapPanel.h"
#include "app/LogFileCommands.h"
#include "app/HelpWindow.h"
#include "app/MainMenus.h"
#include "app/ScorePanel.h"
#include "app/StationPanel.h"
#include "app/StationKeying.h"
#include "app/StationNetworking.h"
#include "app/StationRig.h"
#include "app/StationVoice.h"
#include "app/StationSpots.h"
#include "app/SpotAreaPanel.h"
#include "app/StationSetupDialog.h"
#include "log/Contest.h"
#include "log/Folders.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SeqFile.h"
#include "platform/SettingsStore.h"
#include "platform/WholeFile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace {

QTimer *timer(QObject *parent, const char *name, int intervalMs)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QLatin1String(name));
    t->setInterval(intervalMs);
    return t;
}

} // namespace

QString MainWindow::programName()
{
    return QStringLiteral("Halvern ") + QStringLiteral(HALVERN_VERSION);
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(programName());
    m_contest = new Contest(this);
    m_menus = new MainMenus(menuBar());

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    central->setMouseTracking(true);
    setCentralWidget(central);
    setMouseTracking(true);
    m_stationPanel = new StationPanel(*m_contest, central);
    m_entry = new EntryPanel(*m_contest, central);
    m_contactList = new ContactListPanel(*m_contest, central);
    m_score = new ScorePanel(*m_contest, central);
    auto *lower = new QHBoxLayout;
    lower->addWidget(m_contactList, 3);
    lower->addWidget(m_score, 2);
    auto *top = new QVBoxLayout(central);
    top->addWidget(m_stationPanel);
    top->addWidget(m_entry);
    top->addLayout(lower, 1);

    m_ratesTimer = timer(this, "Timer1", 60000);
    m_clockTimer = timer(this, "Timer2", 1000);
    m_networkStartTimer = timer(this, "Timer4", 3000);
    m_networkStartTimer->setSingleShot(true);
    connect(m_ratesTimer, &QTimer::timeout, m_score, &ScorePanel::showRates);
    connect(m_clockTimer, &QTimer::timeout, m_stationPanel, &StationPanel::showClocks);
    connect(m_networkStartTimer, &QTimer::timeout, this, &MainWindow::networkStart);
    m_keying = new StationKeying(this, *m_entry, *m_contest, m_menus->cwSetup);
    m_rig = new StationRig(this, *m_contest, m_keying->ports(), *m_menus);
    connect(m_rig, &StationRig::callChosen, m_entry, &EntryPanel::takeSpotCall);
    m_voice = new StationVoice(this, *m_contest, *m_keying, m_menus->phoneSetup, m_menus->voiceNavigation);
    auto *network = new StationNetworking(this, *m_contest, m_menus->network);
    connect(this, &MainWindow::networkStart, network, &StationNetworking::start);
    connect(network, &StationNetworking::messageLineWanted, m_entry,
            qOverload<const QString &>(&EntryPanel::showMessage));
    connect(network, &StationNetworking::hintLineWanted, m_entry, &EntryPanel::showHint);
    m_spots = new StationSpots(this, *m_contest, m_keying->ports(), m_menus->dxConfigure);
    top->addWidget(m_spots->panel());
    connect(m_spots, &StationSpots::messageLineWanted, m_entry,
            qOverload<const QString &, quint32>(&EntryPanel::showMessage));
    connect(m_spots, &StationSpots::hintLineWanted, m_entry, &EntryPanel::showHintOnBackground);
    connect(m_spots, &StationSpots::hintWanted, m_entry, &EntryPanel::showHint);
    m_rig->followSpots(*m_spots);
    // The Ctrl shortcuts of the logging window open these windows too.
    connect(m_keying, &StationKeying::otherWindowWanted, this, [this, network](MainKeyFilter::Window w) {
        if (w == MainKeyFilter::Window::Rig)
            m_rig->showWindow();
        else if (w == MainKeyFilter::Window::Network)
            network->showWindow();
        else if (w == MainKeyFilter::Window::DxSpotting)
            m_spots->showWindow();
        else
            m_rig->showModalWindow(w);
    });
    connectMenus();
    connectPanels();
    new LogFileCommands(this, *m_contest, *m_menus);
}

MainWindow::~MainWindow()
{
    // Push-to-talk lets go before the keying ports close.
    delete m_voice;
    delete m_menus;
}

void MainWindow::connectMenus()
{
    Station &s = m_contest->station();
    connect(m_menus->newLog, &QAction::triggered, this, &MainWindow::startNewLog);
    connect(m_menus->openLog, &QAction::triggered, m_contest, &Contest::reloadLog);
    connect(m_menus->exit, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(m_menus->formSize, &QAction::triggered, this, &MainWindow::askFormSize);
    connect(m_menus->taskBar, &QAction::triggered, this, &MainWindow::toggleTaskBar);
    connect(m_menus->refreshRate, &QAction::triggered, this, &MainWindow::askRefreshRate);
    connect(m_menus->setup, &QAction::triggered, this, [this] {
        if (!runStationSetup())
            endProgram();
    });
    const std::pair<QAction *, int> reportChoices[] = {{m_menus->recordReports, 1},
                                                        {m_menus->dontRecordReports, 2}};
    for (const auto &[action, value] : reportChoices)
        connect(action, &QAction::triggered, this, [this, &s, value = value] {
            s.recordRst = value;
            m_menus->showReportsRecorded(s.recordsRst());
            m_contest->savePreferences();
        });
    connect(m_menus->postContest, &QAction::triggered, m_entry, &EntryPanel::setPostContest);
    connect(m_menus->listPrevious, &QAction::triggered, this, [this, &s](bool on) {
        s.listPrevious = on ? 1 : 0;
        m_contest->savePreferences();
    });
    for (int i = 0; i < Bands::Count; ++i)
        connect(m_menus->bands[i], &QAction::triggered, this, [this, i] { m_contest->chooseBand(i); });
    connect(m_menus->cw, &QAction::triggered, this, [this] { m_contest->chooseMode(Modes::CW); });
    connect(m_menus->phone, &QAction::triggered, this, [this] { m_contest->chooseMode(Modes::Phone); });
    connect(m_menus->help, &QAction::triggered, this, &MainWindow::showHelp);
    connect(m_menus->recall, &QAction::triggered, this, &MainWindow::recallLastContact);
    connect(m_menus->copyList, &QAction::triggered, m_contactList, &ContactListPanel::copyToClipboard);
    connect(m_menus->colours, &QAction::triggered, this, &MainWindow::chooseColours);
}

void MainWindow::connectPanels()
{
    Contest *c = m_contest;
    connect(c, &Contest::bandChanged, this, &MainWindow::showBand);
    connect(c, &Contest::modeChanged, this, &MainWindow::showMode);
    connect(c, &Contest::reloadFailed, this, &MainWindow::showReloadError);
    connect(c, &Contest::fileNotWritten, this, &MainWindow::showFileNotWritten);
    connect(c, &Contest::logReloaded, this, [this] {
        m_score->showLog();
        m_contactList->fill();
    });
    connect(c, &Contest::contactLogged, this, [this](const QsoRecord &, int band, const QString &newGrid) {
        m_contactList->recordsAppended(m_contest->recordCount(), 1);
        m_score->addContact(band, newGrid);
    });
    connect(c, &Contest::contactsArrived, this, [this](int first, int count) {
        m_score->showArrivals();
        m_contactList->recordsAppended(first, count);
    });
    connect(c, &Contest::stationChanged, this, [this] {
        m_stationPanel->showStation();
        m_score->showStation();
    });

    connect(m_entry, &EntryPanel::loggingAttempted, this, [this] {
        m_score->showTotals();
        m_score->showRates();
    });
    connect(m_entry, &EntryPanel::callFieldEntered, this, [this] {
        m_contactList->hideEditButtons();
        if (!m_contest->refreshTimer()->isActive())
            m_contest->refreshTimer()->start();
        m_contest->followChanges();
        m_contactList->topUp();
    });
    connect(m_entry, &EntryPanel::gridTyped, m_score, &ScorePanel::showBearing);
    connect(m_entry, &EntryPanel::previousContactsListed, m_contactList, &ContactListPanel::showRecords);

    connect(m_score, &ScorePanel::bandClicked, c, &Contest::chooseBand);
    connect(m_score, &ScorePanel::doneWithControl, m_entry, &EntryPanel::focusCall);
    connect(m_contactList, &ContactListPanel::doneWithControl, m_entry, &EntryPanel::focusCall);
    connect(m_score->gridMap(), &GridMapPanel::gridClicked, m_entry, &EntryPanel::chooseGrid);
    connect(m_score->gridMap(), &GridMapPanel::summaryHovered, m_entry, &EntryPanel::showHint);

    connect(m_stationPanel, &StationPanel::modeClicked, this, [this] {
        m_contest->chooseMode(m_contest->station().currentMode != Modes::CW ? Modes::CW : Modes::Phone);
    });
    connect(m_stationPanel, &StationPanel::logOnClicked, this, &MainWindow::toggleLogOn);
}

void MainWindow::showBand()
{
    m_stationPanel->showBand();
    m_menus->showBand(Bands::indexOf(m_contest->station().currentBand));
    m_score->showBand();
    m_contactList->showBand();
    m_entry->refreshGridMark();
}

void MainWindow::showMode()
{
    m_menus->showMode(m_contest->station().currentMode == Modes::Phone);
    m_stationPanel->showMode();
    m_entry->showMode();
    m_entry->refreshGridMark();
}

// ---------------------------------------------------------------- start-up

bool MainWindow::startUp()
{
    const Station &s = m_contest->station();
    m_entry->showMessage(QStringLiteral("Select a band and mode from the menu bar!"));
    const QStringList unused = m_contest->loadPreferences();
    if (!unused.isEmpty())
        msgBox(this, Preferences::warningMessage(unused), QStringLiteral("Preferences Not Used"),
               Dialogs::Icon::Warning);
    checkWorkingFolder();
    m_menus->listPrevious->setChecked(s.listPrevious == 1);
    m_menus->taskBar->setChecked(s.taskbar == 1);
    applyFormSize();
    checkUtcOffset();

    // The view, the mode, the band and the report menu as they were left.
    m_score->showView();
    m_menus->showReportsRecorded(s.recordsRst());
    m_stationPanel->showStation();
    m_score->gridMap()->fillSquares();
    showMode();
    m_contest->applyBandSelection();

    m_ratesTimer->start();
    m_clockTimer->start();
    m_networkStartTimer->start();
    m_stationPanel->showClocks();

    if (!runStationSetup())
        return false;
    askContinueLog();
    m_keying->loadSettings();
    m_voice->loadSettings();
    m_rig->start();
    // Ready for the first call.
    activateWindow();
    m_entry->focusCall();
    return true;
}

void MainWindow::checkUtcOffset()
{
    Station &s = m_contest->station();
    const QDateTime utc = Clock::systemUtcNow();
    const QDateTime local = Clock::localNow();
    const double minutes = static_cast<double>(local.secsTo(utc)) / 60.0;
    const double recommended = std::round(minutes / 60.0 * 100.0) / 100.0;
    if (static_cast<float>(recommended) == s.utcOffsetHours)
        return;
    const QString prompt =
        QStringLiteral("Would you like to adjust the UTC offset in this program for your local time setting?") +
        QStringLiteral("\n\nCurrent System Time: ") + utc.toString(QStringLiteral("HH:mm")) +
        QStringLiteral("\n\nCurrent Local Time: ") + local.toString(QStringLiteral("HH:mm")) +
        QStringLiteral("\n\nRecommended Offset Setting: ") + seqNumber(recommended) +
        QStringLiteral("\n\nCurrent Offset Setting: ") + seqNumber(s.utcOffsetHours) +
        QStringLiteral("\n\nPlease click OK to accept the recommended change or Cancel to keep the current setting.");
    const QString answer = Dialogs::get().input(this, QStringLiteral("Update the Local Time / UTC Offset?"),
                                                prompt, seqNumber(recommended));
    if (const auto v = parseNumber(answer)) {
        s.utcOffsetHours = static_cast<float>(*v);
        m_contest->savePreferences();
    }
}

StationSetupDialog *MainWindow::stationSetup()
{
    if (!m_stationSetup) {
        m_stationSetup = new StationSetupDialog(this);
        m_stationSetup->openLog = [this](const QString &path, QString *error) {
            return m_contest->openLog(path, error);
        };
    }
    return m_stationSetup;
}

bool MainWindow::runStationSetup()
{
    Station &s = m_contest->station();
    m_contest->refreshTimer()->stop();
    m_contest->closeLog();
    StationSetupDialog *w = stationSetup();
    const QString defaultPath = QDir(Folders::workDir()).filePath(QStringLiteral("Halvern.MDB"));
    // The first start puts the supplied empty log where the window proposes it.
    if (s.logPath.size() < 3 && !QFile::exists(defaultPath)) {
        if (QFile::copy(QStringLiteral(":/Halvern.MDB"), defaultPath))
            QFile::setPermissions(defaultPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                   QFile::WriteGroup | QFile::ReadOther);
    }
    Station filled = s;
    if (filled.ownCall.isEmpty())
        filled.ownCall = SettingsStore::get(QStringLiteral("UserCallSign"));
    w->fillFrom(filled, defaultPath);
    if (w->exec() != QDialog::Accepted) {
        m_contest->closeLog();
        return false;
    }
    s.ownCall = w->ownCall();
    s.ownGrid = w->ownGrid().trimmed();
    s.utcOffsetHours = static_cast<float>(parseNumber(w->utcOffsetText()).value_or(0));
    s.contestType = w->contestType();
    s.roverFlag = w->rover() ? 1 : 0;
    s.logPath = w->logPath().trimmed();
    s.longitude = parseNumber(w->longitudeText()).value_or(0);
    s.latitude = parseNumber(w->latitudeText()).value_or(0);
    m_contest->stationSetUp();
    m_contest->reloadLog();
    m_contest->refreshTimer()->start(static_cast<int>(s.refreshRateMs));
    return true;
}

void MainWindow::askContinueLog()
{
    const auto a = Dialogs::get().message(
        this, QStringLiteral("Open existing log?"),
        QStringLiteral("Do you want to continue an existing contest? (Yes opens your existing log, "
                       "No erases any existing log and starts a new log.)"),
        Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
    // The log was read when the station window closed: only what other PCs
    // changed since is read now.
    if (a == Dialogs::Answer::Yes)
        m_contest->checkForChanges();
    else
        startNewLog();
    m_contactList->hideEditButtons();
}

void MainWindow::startNewLog()
{
    const QString answer = Dialogs::get().input(
        this, QStringLiteral("WARNING - Your existing log file will be ERASED!"),
        QStringLiteral("Are you sure that you want to start a new log file?  This function will "
                       "ERASE the existing log file!") +
            QStringLiteral("\n\n") +
            QStringLiteral("To verify that you want to start a new log file, please type: YES"));
    if (answer.toUpper() != QLatin1String("YES"))
        return;
    QString why;
    if (!m_contest->eraseLog(&why)) {
        msgBox(this, QStringLiteral("The log could not be erased: ") + why,
               QStringLiteral("File or Network Error"));
        return;
    }
    m_contest->reloadLog();
}

void MainWindow::showReloadError()
{
    // One message at a time, and none while a contact waits for the log: the
    // next tick tells again if the log is still away.
    if (QApplication::activeModalWidget() || m_entry->hasWaitingContact())
        return;
    msgBox(this, QStringLiteral("Error opening file."), QStringLiteral("File or Network Error"));
}

void MainWindow::checkWorkingFolder()
{
    QString why;
    if (WholeFile::isWritableFolder(Folders::workDir(), &why))
        return;
    msgBox(this,
           QStringLiteral("The working folder %1 cannot be written (%2). The preferences and the backup of the "
                          "log will not be saved.")
               .arg(QDir::toNativeSeparators(Folders::workDir()), why),
           QStringLiteral("Working Folder Not Writable"), Dialogs::Icon::Warning);
    m_contest->assumeFilesUnwritten();
}

void MainWindow::showFileNotWritten(const QString &file, const QString &why)
{
    // Told when the message open now is answered.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(500, this, [this, file, why] { showFileNotWritten(file, why); });
        return;
    }
    msgBox(this, QStringLiteral("%1 could not be written: %2").arg(file, why),
           QStringLiteral("File Not Written"), Dialogs::Icon::Warning);
}

// ---------------------------------------------------------------- window and options

void MainWindow::applyFormSize()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const int pct = std::clamp(m_contest->station().formSizePercent, 30, 100);
    resize(QSize(area.width() * pct / 100, area.height() * pct / 100));
    move(area.topLeft());
}

void MainWindow::toggleLogOn()
{
    if (!m_contest->loggedOn()) {
        m_contest->logOn();
        m_stationPanel->showLoggedOn(true);
        m_entry->showMessage(QStringLiteral(" "));
    } else {
        m_stationPanel->showOperatingTime(m_contest->operatingTimeText());
        m_contest->logOff();
        m_stationPanel->showLoggedOn(false);
        const double offset = m_contest->station().utcOffsetHours;
        const QDateTime local = Clock::localNow();
        const QDateTime utcDay = local.addSecs(static_cast<qint64>(offset) * 3600);
        const QDateTime utc = Clock::stationUtc(local, offset);
        m_entry->showMessage(QStringLiteral("Logged Off at ") + utcDay.toString(QStringLiteral("M/d/yyyy")) +
                             u' ' + utc.toString(QStringLiteral("HH:mm:ss")));
    }
    m_entry->focusCall();
}

void MainWindow::askRefreshRate()
{
    QTimer *refresh = m_contest->refreshTimer();
    const QString answer = Dialogs::get().input(
        this, QStringLiteral("Refresh Rate Settings"),
        QStringLiteral("How often do you want the program to check the log to update the contact "
                       "list and score statistics?  This does not effect dupe checking.  Dupe "
                       "checking is always done in real time.  Use 60000 for slower PC's (less "
                       "than 300 MHz)") +
            QStringLiteral("\n\n") +
            QStringLiteral("Please enter a value in milliseconds from 6000 (six seconds) to 60000 (one minute)."),
        QString::number(refresh->interval()));
    const auto v = parseNumber(answer);
    if (!v) {
        beep();
        msgBox(this, QStringLiteral("Invalid value."), QStringLiteral("Invalid Value."));
        return;
    }
    const float rate = *v > 5999 && *v < 60001 ? static_cast<float>(*v) : 60000.0f;
    m_contest->station().refreshRateMs = rate;
    refresh->setInterval(static_cast<int>(rate));
    m_contest->savePreferences();
}

void MainWindow::askFormSize()
{
    Station &s = m_contest->station();
    const QString answer = Dialogs::get().input(
        this, QStringLiteral("Please enter screen percentage."),
        QStringLiteral("Enter the % of the screen you would like the form to cover.  Try between 90 "
                       "and 100 for best results.  Values below 75 do not display well."),
        QString::number(s.formSizePercent));
    const auto v = parseNumber(answer);
    if (!v) {
        msgBox(this, QStringLiteral("Please enter only numeric values."),
               QStringLiteral("Numeric Values Required"));
        return;
    }
    s.formSizePercent = static_cast<int>(std::clamp(std::round(*v), 30.0, 100.0));
    m_contest->savePreferences();
    msgBox(this, QStringLiteral("This program must be closed and restarted for this setting to take effect."),
           QStringLiteral("For this setting to take effect please restart this program."));
}

void MainWindow::toggleTaskBar()
{
    Station &s = m_contest->station();
    if (s.formSizePercent != 100) {
        m_menus->taskBar->setChecked(s.taskbar == 1);
        msgBox(this, QStringLiteral("The form size must be set to 100% to use the taskbar display option."),
               QStringLiteral("Please set your form size to 100% to use this option."));
        return;
    }
    s.taskbar = s.taskbar == 1 ? 0 : 1;
    m_menus->taskBar->setChecked(s.taskbar == 1);
    m_contest->savePreferences();
    applyFormSize();
}

void MainWindow::chooseColours()
{
    Station &s = m_contest->station();
    GridColoursDialog w(static_cast<quint32>(s.workedColor), static_cast<quint32>(s.remainingColor), this);
    w.exec();
    s.workedColor = static_cast<qint32>(w.worked());
    s.remainingColor = static_cast<qint32>(w.remaining());
    m_contest->savePreferences();
    m_contest->reloadLog();
}

void MainWindow::showHelp()
{
    auto *help = findChild<HelpWindow *>();
    if (!help)
        help = new HelpWindow(this);
    help->show();
    help->raise();
}

void MainWindow::recallLastContact()
{
    if (m_contest->recordCount() == 0)
        return;
    m_entry->recall(m_contest->mirror().at(m_contest->recordCount()));
}

void MainWindow::mouseMoveEvent(QMouseEvent *e)
{
    m_entry->clearHint();
    QMainWindow::mouseMoveEvent(e);
}

// ---------------------------------------------------------------- the end

void MainWindow::exitProgram()
{
    m_contest->keepOperatingTime();
    m_contest->savePreferences();
    endProgram();
}

void MainWindow::endOnSignal()
{
    m_keying->stop();
    m_voice->release();
    exitProgram();
}

void MainWindow::endProgram()
{
    emit programEnded();
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        if (w != this)
            w->close();
    hide();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent *e)
{
    // Keying ends with the character being sent before the window closes.
    if (m_keying->isKeying()) {
        m_keying->stop();
        e->ignore();
        return;
    }
    // Closing the window keeps the operating time and settings as Exit does.
    if (m_contest->loggedOn()) {
        m_contest->keepOperatingTime();
        m_contest->savePreferences();
    }
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        if (w != this && w->isVisible())
            w->close();
    e->accept();
}
