#include "app/MainMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction *item(QMenu *menu, const char *name, const QString &caption, bool enabled = true)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setEnabled(enabled);
    return a;
}

QAction *checkItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = item(menu, name, caption);
    a->setCheckable(true);
    return a;
}

QAction *barItem(QMenuBar *bar, const char *name, const QString &caption, bool enabled = true)
{
    QAction *a = bar->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setEnabled(enabled);
    return a;
}

QMenu *menu(QWidget *parent, const char *name, const QString &caption)
{
    QMenu *m = nullptr;
    if (auto *bar = qobject_cast<QMenuBar *>(parent))
        m = bar->addMenu(caption);
    else
        m = static_cast<QMenu *>(parent)->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    return m;
}

} // namespace

MainMenus::MainMenus(QMenuBar *bar)
{
    QMenu *file = menu(bar, "mnuFile", QStringLiteral("&File"));
    newLog = item(file, "mnuNew", QStringLiteral("&New"));
    openLog = item(file, "mnuOpen", QStringLiteral("Open"));
    archive = item(file, "mnuArchive", QStringLiteral("A&rchive Current Log"));
    writeCabrillo = item(file, "mnuWriteSumm", QStringLiteral("&Write Cabrillo File"));
    exportOrrery = item(file, "mnuOrreryExport", QStringLiteral("E&xport for Orrery Import"));
    exportAdif = item(file, "mnuExportADIF", QStringLiteral("Export &ADIF Format"));
    combine = item(file, "mnuCombine", QStringLiteral("&Combine or Restore from Backup"));
    copyList = item(file, "mnuCopyListtoClipboard", QStringLiteral("Copy &Listed Items to Clipboard"));
    file->addSeparator();
    exit = item(file, "mnuExit", QStringLiteral("&Exit"));

    QMenu *options = menu(bar, "mnuOptions", QStringLiteral("&Options"));
    QMenu *transmit = menu(options, "mnuTransmit", QStringLiteral("&Transmit"));
    cwSetup = item(transmit, "mnuCWSetup", QStringLiteral("&CW Setup"), false);
    phoneSetup = item(transmit, "mnuPhoneSetup", QStringLiteral("&Phone Setup"), false);
    QMenu *appearance = menu(options, "mnuAppearance", QStringLiteral("&Appearance"));
    formSize = item(appearance, "mnuFormSize", QStringLiteral("&Form Size"));
    colours = item(appearance, "mnuColors", QStringLiteral("&Colors"));
    taskBar = checkItem(appearance, "mnuTaskBar", QStringLiteral("&TaskBar"));
    QMenu *rst = menu(options, "mnuRST", QStringLiteral("&RST"));
    recordReports = checkItem(rst, "mnuRstRecord", QStringLiteral("&Record"));
    dontRecordReports = checkItem(rst, "mnuRstDontRecord", QStringLiteral("&Don't Record"));
    refreshRate = item(options, "mnuRefreshrate", QStringLiteral("R&efresh Rate"));
    rigInterface = item(options, "mnuRigInterface", QStringLiteral("Rig &Interface"), false);
    QMenu *dx = menu(options, "mnuDXSpotting", QStringLiteral("&DX Spotting"));
    dxConfigure = item(dx, "mnuDXConfigure", QStringLiteral("&Configure"), true);
    spectrumMap = item(dx, "mnuSpectrumMap", QStringLiteral("&View Spectrum Map"), false);
    voiceNavigation = item(options, "mnuVoiceNavigation", QStringLiteral("&Voice Navigation"), false);
    listPrevious = checkItem(options, "mnuListPrevious", QStringLiteral("&List Previous Contacts"));
    postContest = checkItem(options, "mnuPostContest", QStringLiteral("&Post Contest Mode"));
    setup = item(options, "mnuSetup", QStringLiteral("&Setup"));

    QMenu *band = menu(bar, "mnuBand", QStringLiteral("&Band"));
    for (int i = 0; i < Bands::Count; ++i) {
        const BandRow &r = Bands::row(i);
        bands[i] = checkItem(band, r.menuItem, QString::fromLatin1(r.menuCaption));
    }
    band->addSeparator();
    privileges = item(band, "mnuPrivileges", QStringLiteral("&Privileges"), false);

    QMenu *mode = menu(bar, "mnuMode", QStringLiteral("&Mode"));
    cw = checkItem(mode, "mnuCW", QStringLiteral("&CW"));
    phone = checkItem(mode, "mnuPhone", QStringLiteral("&Phone"));

    recall = barItem(bar, "mnuRecall", QStringLiteral("&Recall"));
    graph = barItem(bar, "mnuGraph", QStringLiteral("&Graph"));
    network = barItem(bar, "mnuNetwork", QStringLiteral("&Network"), false);
    help = barItem(bar, "mnuHelp", QStringLiteral("&Help"));
}

void MainMenus::showBand(int bandIndex)
{
    for (int i = 0; i < Bands::Count; ++i)
        bands[i]->setChecked(i == bandIndex);
}

void MainMenus::showMode(bool isPhone)
{
    phone->setChecked(isPhone);
    cw->setChecked(!isPhone);
}

void MainMenus::showReportsRecorded(bool recorded)
{
    recordReports->setChecked(recorded);
    dontRecordReports->setChecked(!recorded);
}
