#include "app/Form1.h"

#include "app/ClickableLabel.h"
#include "app/Controls.h"
#include "app/Colors.h"
#include "app/HelpWindow.h"
#include "app/StationSetupDialog.h"
#include "log/Bands.h"
#include "log/Folders.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SeqFile.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

using Controls::field;
using Controls::label;

ClickableLabel *clickLabel(QWidget *parent, const char *name, const QString &text = QString())
{
    auto *l = new ClickableLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

// The main window's buttons take the focus only when clicked, so that Tab
// moves between the entry fields alone.
QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    QPushButton *b = Controls::button(parent, name, caption);
    b->setFocusPolicy(Qt::ClickFocus);
    return b;
}

QAction *item(QMenu *menu, const char *name, const QString &caption, bool enabled = true)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setEnabled(enabled);
    return a;
}

QAction *barItem(QMenuBar *bar, const char *name, const QString &caption)
{
    QAction *a = bar->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

// Two digits: a leading "0" below 10, otherwise the last two digits.
QString twoDigits(qint64 v)
{
    if (v < 10)
        return QStringLiteral("0") + QString::number(v);
    const QString s = QString::number(v);
    return s.right(2);
}

} // namespace

QString Form1::programName()
{
    return QStringLiteral("Halvern ") + QStringLiteral(HALVERN_VERSION);
}

Form1::Form1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(programName());
    buildMenus();
    buildControls();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(60000);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(60000);
    Timer4 = new QTimer(this);
    Timer4->setObjectName(QStringLiteral("Timer4"));
    Timer4->setInterval(3000);
    Timer4->setSingleShot(true);
    m_holdTimer = new QTimer(this);
    m_holdTimer->setObjectName(QStringLiteral("holdTimer"));
    m_holdTimer->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [this] { TimeStats(); });
    connect(Timer2, &QTimer::timeout, this, &Form1::clockTick);
    connect(Timer3, &QTimer::timeout, this, &Form1::refreshTick);
    connect(Timer4, &QTimer::timeout, this, [this] {
        Timer4->stop();
        emit networkStart();
    });
    connect(m_holdTimer, &QTimer::timeout, this, &Form1::releaseHeldKeys);
    connectControls();
}

Form1::~Form1() = default;

void Form1::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuNew = item(file, "mnuNew", QStringLiteral("&New"));
    mnuOpen = item(file, "mnuOpen", QStringLiteral("Open"));
    mnuArchive = item(file, "mnuArchive", QStringLiteral("A&rchive Current Log"), false);
    mnuWriteSumm = item(file, "mnuWriteSumm", QStringLiteral("&Write Cabrillo File"), false);
    mnuOrreryExport = item(file, "mnuOrreryExport", QStringLiteral("E&xport for Orrery Import"), false);
    mnuExportADIF = item(file, "mnuExportADIF", QStringLiteral("Export &ADIF Format"), false);
    mnuCombine = item(file, "mnuCombine", QStringLiteral("&Combine or Restore from Backup"), false);
    mnuCopyListtoClipboard =
        item(file, "mnuCopyListtoClipboard", QStringLiteral("Copy &Listed Items to Clipboard"), false);
    file->addSeparator();
    mnuExit = item(file, "mnuExit", QStringLiteral("&Exit"));

    QMenu *options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    QMenu *transmit = options->addMenu(QStringLiteral("&Transmit"));
    transmit->setObjectName(QStringLiteral("mnuTransmit"));
    mnuCWSetup = item(transmit, "mnuCWSetup", QStringLiteral("&CW Setup"), false);
    mnuPhoneSetup = item(transmit, "mnuPhoneSetup", QStringLiteral("&Phone Setup"), false);
    QMenu *appearance = options->addMenu(QStringLiteral("&Appearance"));
    appearance->setObjectName(QStringLiteral("mnuAppearance"));
    mnuFormSize = item(appearance, "mnuFormSize", QStringLiteral("&Form Size"));
    mnuColors = item(appearance, "mnuColors", QStringLiteral("&Colors"), false);
    mnuTaskBar = item(appearance, "mnuTaskBar", QStringLiteral("&TaskBar"));
    mnuTaskBar->setCheckable(true);
    QMenu *rst = options->addMenu(QStringLiteral("&RST"));
    rst->setObjectName(QStringLiteral("mnuRST"));
    mnuRstRecord = item(rst, "mnuRstRecord", QStringLiteral("&Record"));
    mnuRstDontRecord = item(rst, "mnuRstDontRecord", QStringLiteral("&Don't Record"));
    mnuRstRecord->setCheckable(true);
    mnuRstDontRecord->setCheckable(true);
    mnuRefreshrate = item(options, "mnuRefreshrate", QStringLiteral("R&efresh Rate"));
    mnuRigInterface = item(options, "mnuRigInterface", QStringLiteral("Rig &Interface"), false);
    QMenu *dx = options->addMenu(QStringLiteral("&DX Spotting"));
    dx->setObjectName(QStringLiteral("mnuDXSpotting"));
    mnuDXConfigure = item(dx, "mnuDXConfigure", QStringLiteral("&Configure"), false);
    mnuSpectrumMap = item(dx, "mnuSpectrumMap", QStringLiteral("&View Spectrum Map"), false);
    mnuVoiceNavigation = item(options, "mnuVoiceNavigation", QStringLiteral("&Voice Navigation"), false);
    mnuListPrevious = item(options, "mnuListPrevious", QStringLiteral("&List Previous Contacts"));
    mnuListPrevious->setCheckable(true);
    mnuPostContest = item(options, "mnuPostContest", QStringLiteral("&Post Contest Mode"));
    mnuPostContest->setCheckable(true);
    mnuSetup = item(options, "mnuSetup", QStringLiteral("&Setup"));

    QMenu *band = bar->addMenu(QStringLiteral("&Band"));
    band->setObjectName(QStringLiteral("mnuBand"));
    for (int i = 0; i < Bands::Count; ++i) {
        const BandRow &r = Bands::row(i);
        bandMenuItems[i] = item(band, r.menuItem, QString::fromLatin1(r.menuCaption));
        bandMenuItems[i]->setCheckable(true);
    }
    band->addSeparator();
    mnuPrivileges = item(band, "mnuPrivileges", QStringLiteral("&Privileges"), false);

    QMenu *mode = bar->addMenu(QStringLiteral("&Mode"));
    mode->setObjectName(QStringLiteral("mnuMode"));
    mnuCW = item(mode, "mnuCW", QStringLiteral("&CW"));
    mnuPhone = item(mode, "mnuPhone", QStringLiteral("&Phone"));
    mnuCW->setCheckable(true);
    mnuPhone->setCheckable(true);

    mnuRecall = barItem(bar, "mnuRecall", QStringLiteral("&Recall"));
    mnuGraph = barItem(bar, "mnuGraph", QStringLiteral("&Graph"));
    mnuGraph->setEnabled(false);
    mnuNetwork = barItem(bar, "mnuNetwork", QStringLiteral("&Network"));
    mnuNetwork->setEnabled(false);
    mnuHelp = barItem(bar, "mnuHelp", QStringLiteral("&Help"));
}

void Form1::buildControls()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    central->setMouseTracking(true);
    setCentralWidget(central);
    setMouseTracking(true);

    // --- station line: clocks, call, grid, band, mode, time on ---
    lblCurTime = label(central, "lblCurTime");
    Label16 = label(central, "Label16");
    lblutctime = label(central, "lblutctime");
    lblttrack = label(central, "lblttrack", QStringLiteral("00:00:00"));
    Label2 = label(central, "Label2");
    Label4 = label(central, "Label4");
    Label21 = label(central, "Label21");
    Label30 = clickLabel(central, "Label30");
    cmdLogOn = button(central, "cmdLogOn", QStringLiteral("&Log \"Time On\""));
    QFont big = font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    for (QLabel *l : {Label2, Label4, Label21, static_cast<QLabel *>(Label30), lblutctime})
        l->setFont(big);
    auto *stationLine = new QHBoxLayout;
    stationLine->addWidget(label(central, "lblLocalCaption", QStringLiteral("Local")));
    stationLine->addWidget(lblCurTime);
    stationLine->addWidget(Label16);
    stationLine->addSpacing(12);
    stationLine->addWidget(label(central, "lblUtcCaption", QStringLiteral("UTC")));
    stationLine->addWidget(lblutctime);
    stationLine->addSpacing(24);
    stationLine->addWidget(Label2);
    stationLine->addWidget(Label4);
    stationLine->addSpacing(24);
    stationLine->addWidget(Label21);
    stationLine->addWidget(Label30);
    stationLine->addStretch();
    stationLine->addWidget(cmdLogOn);
    stationLine->addWidget(lblttrack);

    // --- entry line ---
    txtCall = field(central, "txtCall", 13);
    txtRSTR = field(central, "txtRSTR", 3);
    txtSec = field(central, "txtSec", 8);
    txtRSTS = field(central, "txtRSTS", 3);
    txtPostConTime = field(central, "txtPostConTime", 5);
    txtPostConDate = field(central, "txtPostConDate", 10);
    lblPostConTime = label(central, "lblPostConTime", QStringLiteral("Time"));
    lblPostConDate = label(central, "lblPostConDate", QStringLiteral("Date"));
    for (QWidget *w : {static_cast<QWidget *>(txtPostConTime), static_cast<QWidget *>(txtPostConDate),
                       static_cast<QWidget *>(lblPostConTime), static_cast<QWidget *>(lblPostConDate)})
        w->setVisible(false);
    QFont entryFont = font();
    entryFont.setPointSize(entryFont.pointSize() + 6);
    entryFont.setBold(true);
    for (QLineEdit *e : {txtCall, txtRSTR, txtSec, txtRSTS, txtPostConTime, txtPostConDate}) {
        e->setFont(entryFont);
        e->installEventFilter(this);
    }
    txtCall->setMinimumWidth(220);
    for (QLineEdit *e : {txtRSTR, txtRSTS})
        e->setMaximumWidth(90);
    for (QLineEdit *e : {txtSec, txtPostConTime})
        e->setMaximumWidth(150);
    txtPostConDate->setMaximumWidth(200);
    Label3 = label(central, "Label3", QStringLiteral("New"));
    Label3->setVisible(false);
    setTextColor(Label3, Qt::red);
    cmdClear = button(central, "cmdClear", QStringLiteral("&Clear"));
    cmdDup = button(central, "cmdDup", QStringLiteral("On"));
    cmdDup->setToolTip(QStringLiteral("Displaying partial dupes slows the program on older pc's."));

    auto *entryGrid = new QGridLayout;
    entryGrid->addWidget(label(central, "lblCallCaption", QStringLiteral("Call")), 0, 0);
    entryGrid->addWidget(label(central, "lblRstrCaption", QStringLiteral("Rcvd")), 0, 1);
    entryGrid->addWidget(label(central, "lblSecCaption", QStringLiteral("Grid")), 0, 2);
    entryGrid->addWidget(label(central, "lblRstsCaption", QStringLiteral("Sent")), 0, 3);
    entryGrid->addWidget(lblPostConTime, 0, 4);
    entryGrid->addWidget(lblPostConDate, 0, 5);
    entryGrid->addWidget(txtCall, 1, 0);
    entryGrid->addWidget(txtRSTR, 1, 1);
    entryGrid->addWidget(txtSec, 1, 2);
    entryGrid->addWidget(txtRSTS, 1, 3);
    entryGrid->addWidget(txtPostConTime, 1, 4);
    entryGrid->addWidget(txtPostConDate, 1, 5);
    entryGrid->addWidget(Label3, 1, 6);
    entryGrid->addWidget(cmdClear, 1, 7);
    entryGrid->setColumnStretch(8, 1);
    setTabOrder(txtCall, txtRSTR);
    setTabOrder(txtRSTR, txtSec);
    setTabOrder(txtSec, txtRSTS);
    setTabOrder(txtRSTS, txtPostConTime);
    setTabOrder(txtPostConTime, txtPostConDate);

    lblDialog = label(central, "lblDialog", QStringLiteral("Select a band and mode from the menu bar!"));
    lblDialog->setFont(big);
    lblDialog->setMinimumHeight(32);
    setBackground(lblDialog, bgrColor(UiColors::DialogNormal));
    lblDupe = label(central, "lblDupe");
    lblDupe->setWordWrap(true);
    lblDupe->setMinimumHeight(40);
    setBackground(lblDupe, QColor());
    auto *dupeLine = new QHBoxLayout;
    dupeLine->addWidget(label(central, "lblDupeCaption", QStringLiteral("Possible Duplicates")));
    dupeLine->addWidget(cmdDup);
    dupeLine->addWidget(lblDupe, 1);

    // --- score panel ---
    auto *score = new QGroupBox(central);
    score->setObjectName(QStringLiteral("scorePanel"));
    auto *scoreLayout = new QVBoxLayout(score);
    auto *totals = new QGridLayout;
    lblTotCon = label(score, "lblTotCon", QStringLiteral("0"));
    lblTotSec = label(score, "lblTotSec", QStringLiteral("0"));
    lblsectogo = label(score, "lblsectogo", QStringLiteral("0"));
    lblTotScore = label(score, "lblTotScore", QStringLiteral("0"));
    lblAQSO60 = label(score, "lblAQSO60", QStringLiteral("0"));
    lblAQSO20 = label(score, "lblAQSO20", QStringLiteral("0"));
    const std::pair<QString, QLabel *> totalRows[] = {
        {QStringLiteral("Total Contacts ............"), lblTotCon},
        {QStringLiteral("Total QSO Points ........"), lblTotSec},
        {QStringLiteral("Total Multipliers ..........."), lblsectogo},
        {QStringLiteral("Total Score.................."), lblTotScore},
        {QStringLiteral("QSOs / Hr (last 60 min)"), lblAQSO60},
        {QStringLiteral("QSOs / Hr (last 20 min)"), lblAQSO20},
    };
    int row = 0;
    for (const auto &[caption, value] : totalRows) {
        totals->addWidget(new QLabel(caption, score), row, 0);
        totals->addWidget(value, row, 1);
        ++row;
    }
    scoreLayout->addLayout(totals);

    Command2 = button(score, "Command2", QStringLiteral("View Grids"));
    scoreLayout->addWidget(Command2);

    bandView = new QWidget(score);
    bandView->setObjectName(QStringLiteral("bandView"));
    auto *bandGrid = new QGridLayout(bandView);
    Label10 = label(bandView, "Label10", QStringLiteral("#Contacts / #Grids"));
    bandGrid->addWidget(Label10, 0, 0, 1, 10);
    for (int i = 0; i < Bands::PanelCount; ++i) {
        const BandRow &r = Bands::row(i);
        bandCaptionLabels[i] = clickLabel(bandView, r.captionLabel, QString::fromLatin1(r.menuCaption));
        bandCountLabels[i] = clickLabel(bandView, r.countLabel, QStringLiteral("0 / 0"));
        for (QLabel *l : {static_cast<QLabel *>(bandCaptionLabels[i]),
                          static_cast<QLabel *>(bandCountLabels[i])}) {
            l->setAlignment(Qt::AlignCenter);
            setBackground(l, bgrColor(UiColors::OtherBand));
            setTextColor(l, Qt::white);
        }
        gridLists[i] = new QListWidget(bandView);
        gridLists[i]->setObjectName(QStringLiteral("List%1").arg(i + 1));
        gridLists[i]->setFocusPolicy(Qt::NoFocus);
        gridLists[i]->setMinimumWidth(60);
        bandGrid->addWidget(bandCaptionLabels[i], 1, i);
        bandGrid->addWidget(bandCountLabels[i], 2, i);
        bandGrid->addWidget(gridLists[i], 3, i);
    }
    scoreLayout->addWidget(bandView, 1);

    gridView = new QWidget(score);
    gridView->setObjectName(QStringLiteral("gridView"));
    auto *mapLayout = new QGridLayout(gridView);
    mapLayout->setSpacing(1);
    for (int i = 0; i < 165; ++i) {
        lblGrid[i] = clickLabel(gridView, "lblGrid");
        lblGrid[i]->setObjectName(QStringLiteral("lblGrid_%1").arg(i));
        lblGrid[i]->setAlignment(Qt::AlignCenter);
        lblGrid[i]->setMinimumWidth(42);
        mapLayout->addWidget(lblGrid[i], 1 + i / 11, 1 + i % 11);
    }
    Command7 = button(gridView, "Command7", QStringLiteral("N"));
    Command4 = button(gridView, "Command4", QStringLiteral("S"));
    Command5 = button(gridView, "Command5", QStringLiteral("W"));
    Command6 = button(gridView, "Command6", QStringLiteral("E"));
    mapLayout->addWidget(Command7, 0, 6);
    mapLayout->addWidget(Command4, 16, 6);
    mapLayout->addWidget(Command5, 8, 0);
    mapLayout->addWidget(Command6, 8, 12);
    gridView->setVisible(false);
    scoreLayout->addWidget(gridView, 1);

    Label14 = label(score, "Label14", QStringLiteral("Bearing"));
    Label23 = label(score, "Label23");
    Label22 = label(score, "Label22", QStringLiteral("Miles"));
    Label24 = label(score, "Label24");
    auto *bearing = new QHBoxLayout;
    bearing->addWidget(Label14);
    bearing->addWidget(Label23);
    bearing->addSpacing(16);
    bearing->addWidget(Label22);
    bearing->addWidget(Label24);
    bearing->addStretch();
    scoreLayout->addLayout(bearing);

    // --- contact list ---
    auto *listBox = new QWidget(central);
    auto *listLayout = new QVBoxLayout(listBox);
    listLayout->setContentsMargins(0, 0, 0, 0);
    ListView1 = new QTreeWidget(listBox);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setColumnCount(9);
    ListView1->setHeaderLabels({QStringLiteral("Rec#"), QStringLiteral("Call"), QStringLiteral("Rec"),
                                QStringLiteral("Grid R"), QStringLiteral("Snt"),
                                QStringLiteral("Date / Time"), QStringLiteral("Bnd"),
                                QStringLiteral("Grid S"), QStringLiteral("Mode")});
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setFocusPolicy(Qt::ClickFocus);
    ListView1->header()->setSectionsClickable(true);
    ListView1->setContextMenuPolicy(Qt::PreventContextMenu);
    cmdList = button(listBox, "cmdList", QStringLiteral("Last 20"));
    cmdList->setToolTip(QStringLiteral("List all or last 20 contacts (Listing all will slow the program)"));
    Command3 = button(listBox, "Command3", QStringLiteral("All Bands"));
    cmdEdit = button(listBox, "cmdEdit", QStringLiteral("Edit Contact"));
    cmdDelete = button(listBox, "cmdDelete", QStringLiteral("Delete Contact"));
    cmdEdit->setVisible(false);
    cmdDelete->setVisible(false);
    auto *listButtons = new QHBoxLayout;
    listButtons->addWidget(cmdList);
    listButtons->addWidget(Command3);
    listButtons->addStretch();
    listButtons->addWidget(cmdEdit);
    listButtons->addWidget(cmdDelete);
    listLayout->addWidget(ListView1, 1);
    listLayout->addLayout(listButtons);

    auto *lower = new QHBoxLayout;
    lower->addWidget(listBox, 3);
    lower->addWidget(score, 2);

    auto *top = new QVBoxLayout(central);
    top->addLayout(stationLine);
    top->addLayout(entryGrid);
    top->addWidget(lblDialog);
    top->addLayout(dupeLine);
    top->addLayout(lower, 1);
}

void Form1::connectControls()
{
    connect(mnuNew, &QAction::triggered, this, &Form1::StartNewLog);
    connect(mnuOpen, &QAction::triggered, this, &Form1::WorkList);
    connect(mnuExit, &QAction::triggered, this, &Form1::mnuExit_Click);
    connect(mnuFormSize, &QAction::triggered, this, &Form1::mnuFormSize_Click);
    connect(mnuTaskBar, &QAction::triggered, this, &Form1::mnuTaskBar_Click);
    connect(mnuRefreshrate, &QAction::triggered, this, &Form1::mnuRefreshrate_Click);
    connect(mnuSetup, &QAction::triggered, this, [this] {
        if (!mnuSetup_Click())
            endProgram();
    });
    connect(mnuRstRecord, &QAction::triggered, this, [this] {
        station.recordRst = 1;
        mnuRstRecord->setChecked(true);
        mnuRstDontRecord->setChecked(false);
        SavePref();
    });
    connect(mnuRstDontRecord, &QAction::triggered, this, [this] {
        station.recordRst = 2;
        mnuRstRecord->setChecked(false);
        mnuRstDontRecord->setChecked(true);
        SavePref();
    });
    connect(mnuPostContest, &QAction::triggered, this, [this](bool on) {
        for (QWidget *w : {static_cast<QWidget *>(txtPostConTime), static_cast<QWidget *>(txtPostConDate),
                           static_cast<QWidget *>(lblPostConTime),
                           static_cast<QWidget *>(lblPostConDate)})
            w->setVisible(on);
    });
    connect(mnuListPrevious, &QAction::triggered, this, [this](bool on) {
        station.listPrevious = on ? 1 : 0;
        SavePref();
    });
    for (int i = 0; i < Bands::Count; ++i)
        connect(bandMenuItems[i], &QAction::triggered, this, [this, i] { mnuBand_Click(i); });
    for (int i = 0; i < Bands::PanelCount; ++i) {
        connect(bandCaptionLabels[i], &ClickableLabel::clicked, this, [this, i] { mnuBand_Click(i); });
        connect(bandCountLabels[i], &ClickableLabel::clicked, this, [this, i] { mnuBand_Click(i); });
    }
    connect(mnuCW, &QAction::triggered, this, &Form1::mnuCW_Click);
    connect(mnuPhone, &QAction::triggered, this, &Form1::mnuPhone_Click);
    connect(Label30, &ClickableLabel::clicked, this, [this] {
        if (station.currentMode != Modes::CW)
            mnuCW_Click();
        else
            mnuPhone_Click();
    });
    connect(cmdLogOn, &QPushButton::clicked, this, &Form1::cmdLogOn_Click);
    connect(cmdClear, &QPushButton::clicked, this, &Form1::cmdClear_Click);
    connect(cmdDup, &QPushButton::clicked, this, [this] {
        partialDupesOn = !partialDupesOn;
        cmdDup->setText(partialDupesOn ? QStringLiteral("On") : QStringLiteral("Off"));
        setBackground(lblDupe, QColor());
        txtCall->setFocus();
    });
    connect(mnuHelp, &QAction::triggered, this, [this] {
        auto *help = findChild<HelpWindow *>();
        if (!help)
            help = new HelpWindow(this);
        help->show();
        help->raise();
    });
    connect(mnuRecall, &QAction::triggered, this, &Form1::mnuRecall_Click);
    connect(mnuCopyListtoClipboard, &QAction::triggered, this, &Form1::mnuCopyListtoClipboard_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(mnuColors, &QAction::triggered, this, &Form1::mnuColors_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &Form1::cmdDelete_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &Form1::cmdEdit_Click);
    connectPanels();
    connectExports();
}

StationSetupDialog *Form1::stationWindow()
{
    if (!m_station) {
        m_station = new StationSetupDialog(this);
        m_station->openLog = [this](const QString &path, QString *error) {
            if (store.isOpen())
                store.close();
            return store.open(path, error);
        };
    }
    return m_station;
}

// ---------------------------------------------------------------- start-up

bool Form1::startUp()
{
    station.recordRst = 1;
    station.formSizePercent = 100;
    logOnStart = Clock::localNow();
    lblDialog->setText(QStringLiteral("Select a band and mode from the menu bar!"));
    partialDupesOn = true;

    Preferences::load(station, Folders::workDir());
    mnuListPrevious->setChecked(station.listPrevious == 1);
    mnuTaskBar->setChecked(station.taskbar == 1);
    applyFormSize();
    UtcOffsetCheck();
    Timer3->setInterval(static_cast<int>(station.refreshRateMs));

    // Restore the view, the mode, the band and the report menu.
    if (station.view == QLatin1String("View Bands")) {
        Command2->setText(QStringLiteral("View Bands"));
        bandView->setVisible(false);
        gridView->setVisible(true);
    }
    const bool phone = station.currentMode == Modes::Phone;
    mnuPhone->setChecked(phone);
    mnuCW->setChecked(!phone);
    Label30->setText(station.currentMode);
    txtRSTR->setMaxLength(phone ? 2 : 3);
    txtRSTS->setMaxLength(phone ? 2 : 3);
    mnuRstRecord->setChecked(station.recordsRst());
    mnuRstDontRecord->setChecked(!station.recordsRst());
    Label2->setText(station.ownCall);
    Label4->setText(station.ownGrid);
    GridFill();
    ApplyBandSelection();

    Timer1->start();
    Timer2->start();
    Timer4->start();
    clockTick();

    if (!mnuSetup_Click())
        return false;
    AskContinueLog();
    // Ready for the first call.
    activateWindow();
    txtCall->setFocus();
    return true;
}

void Form1::UtcOffsetCheck()
{
    const QDateTime utc = Clock::systemUtcNow();
    const QDateTime local = Clock::localNow();
    const double minutes = static_cast<double>(local.secsTo(utc)) / 60.0;
    const double recommended = std::round(minutes / 60.0 * 100.0) / 100.0;
    if (static_cast<float>(recommended) == station.utcOffsetHours)
        return;
    const QString prompt =
        QStringLiteral("Would you like to adjust the UTC offset in this program for your local time setting?") +
        QStringLiteral("\n\nCurrent System Time: ") + utc.toString(QStringLiteral("HH:mm")) +
        QStringLiteral("\n\nCurrent Local Time: ") + local.toString(QStringLiteral("HH:mm")) +
        QStringLiteral("\n\nRecommended Offset Setting: ") + seqNumber(recommended) +
        QStringLiteral("\n\nCurrent Offset Setting: ") + seqNumber(station.utcOffsetHours) +
        QStringLiteral("\n\nPlease click OK to accept the recommended change or Cancel to keep the current setting.");
    const QString answer = Dialogs::get().input(this, QStringLiteral("Update the Local Time / UTC Offset?"),
                                                prompt, seqNumber(recommended));
    if (const auto v = parseNumber(answer)) {
        station.utcOffsetHours = static_cast<float>(*v);
        SavePref();
    }
}

bool Form1::mnuSetup_Click()
{
    Timer3->stop();
    if (store.isOpen())
        store.close();
    StationSetupDialog *w = stationWindow();
    const QString defaultPath = QDir(Folders::workDir()).filePath(QStringLiteral("Halvern.MDB"));
    // The first start puts the supplied empty log where the window proposes it.
    if (station.logPath.size() < 3 && !QFile::exists(defaultPath)) {
        if (QFile::copy(QStringLiteral(":/Halvern.MDB"), defaultPath))
            QFile::setPermissions(defaultPath, QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ReadGroup | QFile::WriteGroup |
                                                   QFile::ReadOther);
    }
    Station filled = station;
    if (filled.ownCall.isEmpty())
        filled.ownCall = SettingsStore::get(QStringLiteral("UserCallSign"));
    w->fillFrom(filled, defaultPath);
    if (w->exec() != QDialog::Accepted) {
        store.close();
        return false;
    }
    station.ownCall = w->ownCall();
    station.ownGrid = w->ownGrid().trimmed();
    station.utcOffsetHours = static_cast<float>(parseNumber(w->utcOffsetText()).value_or(0));
    station.contestType = w->contestType();
    station.roverFlag = w->rover() ? 1 : 0;
    station.logPath = w->logPath().trimmed();
    serverName = Folders::serverName(station.logPath);
    const QString tip = station.contestType == 5 && station.isRover()
                            ? QStringLiteral("Click list to reduce font size")
                            : QString();
    gridLists[0]->setToolTip(tip);
    gridLists[1]->setToolTip(tip);
    Label30->setText(station.currentMode);
    Label2->setText(station.ownCall);
    Label4->setText(station.ownGrid);
    station.longitude = parseNumber(w->longitudeText()).value_or(0);
    station.latitude = parseNumber(w->latitudeText()).value_or(0);
    if ((station.longitude == 0 || station.latitude == 0) && !station.ownGrid.isEmpty())
        setPositionFromGrid();
    SavePref();
    GridFill();
    WorkList();
    Timer3->start(static_cast<int>(station.refreshRateMs));
    return true;
}

void Form1::AskContinueLog()
{
    const auto a = Dialogs::get().message(
        this, QStringLiteral("Open existing log?"),
        QStringLiteral("Do you want to continue an existing contest? (Yes opens your existing log, "
                       "No erases any existing log and starts a new log.)"),
        Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
    if (a == Dialogs::Answer::Yes)
        WorkList();
    else
        StartNewLog();
    cmdEdit->setVisible(false);
    cmdDelete->setVisible(false);
}

void Form1::StartNewLog()
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
    if (!store.erase(&why)) {
        msgBox(this, QStringLiteral("The log could not be erased: ") + why,
               QStringLiteral("File or Network Error"));
        return;
    }
    station.accumulatedOnSeconds = 0;
    totalOnSeconds = 0;
    SavePref();
    WorkList();
}

bool Form1::SavePref()
{
    QString why;
    if (Preferences::save(station, Folders::workDir(), &why))
        return true;
    qWarning("preferences not saved: %s", qPrintable(why));
    return false;
}

void Form1::applyFormSize()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const int pct = std::clamp(station.formSizePercent, 30, 100);
    const QSize size(area.width() * pct / 100, area.height() * pct / 100);
    resize(size);
    move(area.topLeft());
}

// ---------------------------------------------------------------- the log

void Form1::WorkList()
{
    QString why;
    ++reloads;
    const bool ok = store.reload(&why);
    if (!ok)
        showWorkListError(why);
    refreshDerived();
}

void Form1::showWorkListError(const QString &why)
{
    qWarning("reload failed: %s", qPrintable(why));
    msgBox(this, QStringLiteral("Error opening file."), QStringLiteral("File or Network Error"));
}

void Form1::FileSize()
{
    if (keyerBusy)
        return;
    QString why;
    if (!store.isOpen())
        store.reconnect();
    const auto r = store.checkForChanges(&why);
    if (r == LogStore::CheckResult::Failed) {
        WorkList();
        return;
    }
    if (txtCall->text().isEmpty() && store.mirror().logChanged)
        WorkList();
}

void Form1::refreshTick()
{
    backupTickCount += 1;
    FileSize();
    if (backupTickCount > 15) {
        backupTickCount = 0;
        QString why;
        if (!store.writeBackup(QDir(Folders::workDir()).filePath(QStringLiteral("BckUpLog.dat")), &why))
            qWarning("backup not written: %s", qPrintable(why));
    }
}

// ---------------------------------------------------------------- clocks

void Form1::clockTick()
{
    const QDateTime local = Clock::localNow();
    lblutctime->setText(Clock::stationUtc(local, station.utcOffsetHours).toString(QStringLiteral("HH:mm:ss")));
    const QString ampm = local.time().hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
    // The 12-hour time without its AM/PM suffix, which has a label of its own.
    lblCurTime->setText(QLocale::c().toString(local.time(), QStringLiteral("h:mm:ss AP")).chopped(3));
    Label16->setText(ampm);
    if (loggedOn)
        updateLogOnClock();
}

void Form1::updateLogOnClock()
{
    const double secs = static_cast<double>(logOnStart.secsTo(Clock::localNow()));
    totalOnSeconds = static_cast<float>(std::abs(secs + station.accumulatedOnSeconds));
    const double total = totalOnSeconds;
    const qint64 hours = static_cast<qint64>(std::floor(total / 3600));
    const qint64 minutes = static_cast<qint64>(std::floor(total / 60)) - hours * 60;
    const qint64 seconds = static_cast<qint64>(total) - static_cast<qint64>(std::floor(total / 60)) * 60;
    lblttrack->setText(twoDigits(hours) + u':' + twoDigits(minutes) + u':' + twoDigits(seconds));
}

void Form1::cmdLogOn_Click()
{
    if (!loggedOn) {
        logOnStart = Clock::localNow();
        loggedOn = true;
        cmdLogOn->setText(QStringLiteral("&Log \"Time Off\""));
        lblDialog->setText(QStringLiteral(" "));
    } else {
        updateLogOnClock();
        loggedOn = false;
        cmdLogOn->setText(QStringLiteral("&Log \"Time On\""));
        station.accumulatedOnSeconds = totalOnSeconds;
        const QDateTime local = Clock::localNow();
        const QDateTime utcDay = local.addSecs(static_cast<qint64>(station.utcOffsetHours) * 3600);
        const QDateTime utc = Clock::stationUtc(local, station.utcOffsetHours);
        lblDialog->setText(QStringLiteral("Logged Off at ") + utcDay.toString(QStringLiteral("M/d/yyyy")) +
                           u' ' + utc.toString(QStringLiteral("HH:mm:ss")));
        SavePref();
    }
    txtCall->setFocus();
}

// ---------------------------------------------------------------- menus

void Form1::mnuRefreshrate_Click()
{
    const QString answer = Dialogs::get().input(
        this, QStringLiteral("Refresh Rate Settings"),
        QStringLiteral("How often do you want the program to check the log to update the contact "
                       "list and score statistics?  This does not effect dupe checking.  Dupe "
                       "checking is always done in real time.  Use 60000 for slower PC's (less "
                       "than 300 MHz)") +
            QStringLiteral("\n\n") +
            QStringLiteral("Please enter a value in milliseconds from 6000 (six seconds) to 60000 (one minute)."),
        QString::number(Timer3->interval()));
    const auto v = parseNumber(answer);
    if (!v) {
        beep();
        msgBox(this, QStringLiteral("Invalid value."), QStringLiteral("Invalid Value."));
        return;
    }
    const float rate = *v > 5999 && *v < 60001 ? static_cast<float>(*v) : 60000.0f;
    station.refreshRateMs = rate;
    Timer3->setInterval(static_cast<int>(rate));
    SavePref();
}

void Form1::mnuFormSize_Click()
{
    const QString answer = Dialogs::get().input(
        this, QStringLiteral("Please enter screen percentage."),
        QStringLiteral("Enter the % of the screen you would like the form to cover.  Try between 90 "
                       "and 100 for best results.  Values below 75 do not display well."),
        QString::number(station.formSizePercent));
    const auto v = parseNumber(answer);
    if (!v) {
        msgBox(this, QStringLiteral("Please enter only numeric values."),
               QStringLiteral("Numeric Values Required"));
        return;
    }
    station.formSizePercent = static_cast<int>(std::clamp(std::round(*v), 30.0, 100.0));
    SavePref();
    msgBox(this, QStringLiteral("This program must be closed and restarted for this setting to take effect."),
           QStringLiteral("For this setting to take effect please restart this program."));
}

void Form1::mnuTaskBar_Click()
{
    if (station.formSizePercent != 100) {
        mnuTaskBar->setChecked(station.taskbar == 1);
        msgBox(this, QStringLiteral("The form size must be set to 100% to use the taskbar display option."),
               QStringLiteral("Please set your form size to 100% to use this option."));
        return;
    }
    station.taskbar = station.taskbar == 1 ? 0 : 1;
    mnuTaskBar->setChecked(station.taskbar == 1);
    SavePref();
    applyFormSize();
}

void Form1::mnuExit_Click()
{
    if (loggedOn) {
        updateLogOnClock();
        station.accumulatedOnSeconds = totalOnSeconds;
        loggedOn = false;
    }
    SavePref();
    endProgram();
}

void Form1::endProgram()
{
    emit programEnded();
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        if (w != this)
            w->close();
    hide();
    QCoreApplication::quit();
}

void Form1::closeEvent(QCloseEvent *e)
{
    // Keying must finish (or be stopped with Esc) before the window closes.
    if (keyerBusy) {
        e->ignore();
        return;
    }
    // Closing the window keeps the operating time and settings as Exit does.
    if (loggedOn) {
        updateLogOnClock();
        station.accumulatedOnSeconds = totalOnSeconds;
        loggedOn = false;
        SavePref();
    }
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        if (w != this && w->isVisible())
            w->close();
    e->accept();
}

void Form1::mouseMoveEvent(QMouseEvent *e)
{
    lblDupe->clear();
    QMainWindow::mouseMoveEvent(e);
}

// ---------------------------------------------------------------- bands and modes

void Form1::mnuBand_Click(int bandIndex)
{
    station.currentBand = Bands::label(bandIndex);
    emit bandOrModeChanged();
    ApplyBandSelection();
}

void Form1::ApplyBandSelection()
{
    resetGridColors();
    if (station.contestType == 3 &&
        (Bands::same(station.currentBand, QStringLiteral("50 M")) ||
         Bands::same(station.currentBand, QStringLiteral("144 M"))))
        station.currentBand = QStringLiteral("222 M");
    Label21->setText(station.currentBand + QStringLiteral("Hz"));
    SavePref();
    for (QAction *a : bandMenuItems)
        a->setChecked(false);
    for (int i = 0; i < Bands::PanelCount; ++i) {
        setBackground(bandCaptionLabels[i], bgrColor(UiColors::OtherBand));
        setBackground(bandCountLabels[i], bgrColor(UiColors::OtherBand));
    }
    const int idx = Bands::indexOf(station.currentBand);
    if (idx >= 0) {
        bandMenuItems[idx]->setChecked(true);
        if (idx < Bands::PanelCount) {
            setBackground(bandCaptionLabels[idx], bgrColor(UiColors::CurrentBand));
            setBackground(bandCountLabels[idx], bgrColor(UiColors::CurrentBand));
        }
    }
    if (txtSec->text().size() >= 4)
        txtSec_Change();
    MarkWorkedGrids();
    if (Command3->text() == QLatin1String("Current Band"))
        FillContactList();
    txtSec_Change();
}

void Form1::mnuCW_Click()
{
    station.currentMode = Modes::CW;
    emit bandOrModeChanged();
    mnuCW->setChecked(true);
    mnuPhone->setChecked(false);
    Label30->setText(station.currentMode);
    SavePref();
    txtRSTR->setMaxLength(3);
    txtRSTS->setMaxLength(3);
    txtSec_Change();
}

void Form1::mnuPhone_Click()
{
    station.currentMode = Modes::Phone;
    emit bandOrModeChanged();
    mnuCW->setChecked(false);
    mnuPhone->setChecked(true);
    Label30->setText(station.currentMode);
    SavePref();
    txtRSTR->setMaxLength(2);
    txtRSTS->setMaxLength(2);
    txtSec_Change();
}

void Form1::BandFreqConversion(float mhz)
{
    const QString band = Bands::labelForFrequency(mhz);
    if (!band.isEmpty() && !Bands::same(band, station.currentBand))
        mnuBand_Click(Bands::indexOf(band));
}

void Form1::ModeSelection(const QString &mode)
{
    if (mode.isEmpty() || mode.compare(station.currentMode, Qt::CaseInsensitive) == 0)
        return;
    if (mode == Modes::Phone)
        mnuPhone_Click();
    else if (mode == Modes::CW)
        mnuCW_Click();
}
