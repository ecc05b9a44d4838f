#include "app/StationSetupDialog.h"

#include "log/Folders.h"
#include "log/GridMap.h"
#include "log/SharedPrefs.h"
#include "log/Station.h"
#include "platform/Dialogs.h"
#include "platform/SeqFile.h"

#include <QButtonGroup>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/Controls.h"

using namespace Controls;

StationSetupDialog::StationSetupDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStationID"));
    setWindowTitle(QStringLiteral(" Amateur Station I.D."));
    setModal(true);

    callField = field(this, "Text1", 20);
    gridField = field(this, "Text5", 8);
    utcOffsetField = field(this, "Text6", 10);
    longitudeField = field(this, "Text2", 20);
    latitudeField = field(this, "Text3", 20);
    logPathField = field(this, "Text8");
    logPathField->setMinimumWidth(380);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Call sign:"), callField);
    form->addRow(QStringLiteral("Grid square:"), gridField);
    form->addRow(QStringLiteral("Hours for UTC:"), utcOffsetField);
    form->addRow(QStringLiteral("Longitude (west positive):"), longitudeField);
    form->addRow(QStringLiteral("Latitude (north positive):"), latitudeField);
    auto *pathRow = new QHBoxLayout;
    browseButton = button(this, "Command2", QStringLiteral("Browse"));
    pathRow->addWidget(logPathField, 1);
    pathRow->addWidget(browseButton);
    form->addRow(QStringLiteral("Path to network log file:"), pathRow);

    auto *contest = new QGroupBox(QStringLiteral("Contest"), this);
    auto *cl = new QVBoxLayout(contest);
    januaryButton = option(contest, "Option1", QStringLiteral("ARRL January VHF Sweepstakes"));
    juneButton = option(contest, "Option2", QStringLiteral("ARRL June VHF QSO Party"));
    uhfButton = option(contest, "Option3", QStringLiteral("ARRL UHF Contest"));
    septemberButton = option(contest, "Option4", QStringLiteral("ARRL September VHF QSO Party"));
    cqButton = option(contest, "Option7", QStringLiteral("CQ World Wide VHF"));
    for (QRadioButton *o : {januaryButton, juneButton, uhfButton, septemberButton, cqButton})
        cl->addWidget(o);

    auto *cls = new QGroupBox(QStringLiteral("Station"), this);
    auto *sl = new QVBoxLayout(cls);
    fixedButton = option(cls, "Option5", QStringLiteral("Fixed"));
    roverButton = option(cls, "Option6", QStringLiteral("Rover"));
    sl->addWidget(fixedButton);
    sl->addWidget(roverButton);
    sl->addStretch();

    auto *groups = new QHBoxLayout;
    groups->addWidget(contest, 2);
    groups->addWidget(cls, 1);

    doneButton = button(this, "Command1", QStringLiteral("Done"));
    cancelButton = button(this, "Command3", QStringLiteral("Cancel"));
    helpButton = button(this, "Command4", QStringLiteral("Help"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(helpButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(doneButton);

    auto *top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(groups);
    top->addLayout(buttons);

    for (QLineEdit *e : {callField, gridField, utcOffsetField})
        e->installEventFilter(this);

    connect(doneButton, &QPushButton::clicked, this, &StationSetupDialog::acceptSetup);
    connect(browseButton, &QPushButton::clicked, this, &StationSetupDialog::browseForLog);
    // Cancel, like Esc or the window's close button, ends the setup unfinished.
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] {
        msgBox(this, helpText(), QStringLiteral("Station Setup Help"));
    });
}

QString StationSetupDialog::helpText()
{
    return QStringLiteral(
        "Enter your call sign and your four-character grid square. Hours for UTC is the number of "
        "hours added to this PC's local time to get UTC (for example 4 for EDT, 5 for EST).\n\n"
        "Longitude (degrees west) and latitude (degrees north) place you on the grid map; leave "
        "them at 0 to use the south-west corner of your grid square.\n\n"
        "Path to network log file: the shared log every PC of the station logs into. On the PC "
        "that holds the log this is a local path; the other PCs use the path of the shared "
        "folder as they mount it (for example /mnt/vhf/Halvern.MDB or //ham1/vhf/Halvern.MDB).\n\n"
        "Choose the contest and whether you operate as a fixed station or a rover, then press "
        "Done. Cancel ends the program.");
}

void StationSetupDialog::fillFrom(const Station &s, const QString &defaultLogPath)
{
    callField->setText(s.ownCall);
    gridField->setText(s.ownGrid);
    utcOffsetField->setText(seqNumber(s.utcOffsetHours));
    longitudeField->setText(seqNumber(s.longitude));
    latitudeField->setText(seqNumber(s.latitude));
    logPathField->setText(s.logPath.size() < 3 ? defaultLogPath : s.logPath);
    QRadioButton *contest[] = {januaryButton, juneButton, uhfButton, septemberButton, cqButton};
    const int c = s.contestType >= 1 && s.contestType <= 5 ? s.contestType : 2;
    contest[c - 1]->setChecked(true);
    (s.isRover() ? roverButton : fixedButton)->setChecked(true);
}

int StationSetupDialog::contestType() const
{
    if (januaryButton->isChecked())
        return 1;
    if (uhfButton->isChecked())
        return 3;
    if (septemberButton->isChecked())
        return 4;
    if (cqButton->isChecked())
        return 5;
    return 2;
}

bool StationSetupDialog::rover() const { return roverButton->isChecked(); }
QString StationSetupDialog::ownCall() const { return callField->text(); }
QString StationSetupDialog::ownGrid() const { return gridField->text(); }
QString StationSetupDialog::utcOffsetText() const { return utcOffsetField->text(); }
QString StationSetupDialog::longitudeText() const { return longitudeField->text(); }
QString StationSetupDialog::latitudeText() const { return latitudeField->text(); }
QString StationSetupDialog::logPath() const { return logPathField->text(); }

void StationSetupDialog::acceptSetup()
{
    // Every contact carries the own grid and the score and map count from
    // it: the station is not set up without a call and a real grid square.
    if (!ownCallIsValid()) {
        refuse(callField, QStringLiteral("Please enter your call sign: letters, digits and / only."));
        return;
    }
    if (!isLocator(gridField->text().trimmed())) {
        refuse(gridField, QStringLiteral("Please enter your grid square: four characters such as "
                                         "FN20, or six such as FN20XA."));
        return;
    }
    // Non-numeric offsets and positions become 0.
    for (QLineEdit *e : {utcOffsetField, longitudeField, latitudeField})
        if (!parseNumber(e->text()))
            e->setText(QStringLiteral("0"));
    const QString path = logPathField->text().trimmed();
    QString why;
    if (!openLog || !openLog(path, &why)) {
        msgBox(this,
               QStringLiteral("Unable to find your log file (Halvern.MDB).  Please very the "
                              "location of the log file and try again.") +
                   QStringLiteral("\n\nThe log must be an existing Halvern log file; an empty "
                                  "one (Halvern.MDB) is supplied in the program's working "
                                  "folder. On a PC that logs over the network, mount the "
                                  "server's shared folder first.\n\n") +
                   path + QStringLiteral(": ") + why,
               QStringLiteral("File, Network or Install Error."));
        return;
    }
    SharedPrefs xml;
    xml.load(QDir(Folders::dataFolders().shared).filePath(SharedPrefs::FileName));
    xml.set(QStringLiteral("OWN_CALL"), callField->text(), false);
    xml.set(QStringLiteral("OWN_UTC"), utcOffsetField->text(), false);
    xml.set(QStringLiteral("OWN_GRID"), gridField->text(), false);
    xml.set(QStringLiteral("OWN_LONGITUDE"), longitudeField->text(), false);
    xml.set(QStringLiteral("OWN_LATITUDE"), latitudeField->text(), !Folders::dataFolders().shared.isEmpty());
    accept();
}

bool StationSetupDialog::ownCallIsValid() const
{
    const QString call = callField->text().trimmed();
    if (call.isEmpty())
        return false;
    for (const QChar c : call)
        if (!(c == u'/' || (c >= u'0' && c <= u'9') || (c.toUpper() >= u'A' && c.toUpper() <= u'Z')))
            return false;
    return true;
}

void StationSetupDialog::refuse(QLineEdit *field, const QString &why)
{
    msgBox(this, why, QStringLiteral("Station Setup Incomplete"));
    field->setFocus();
    field->selectAll();
}

void StationSetupDialog::browseForLog()
{
    const QString f = Dialogs::get().openFile(this, QStringLiteral("Path to network log file:"),
                                              QStringLiteral("(*.MDB)|*.MDB|(All Files)|*.*"),
                                              logPathField->text());
    if (!f.isEmpty())
        logPathField->setText(f);
}

bool StationSetupDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *e = static_cast<QKeyEvent *>(event);
        auto *le = qobject_cast<QLineEdit *>(watched);
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            acceptSetup();
            return true;
        }
        const QString t = e->text();
        if (le == utcOffsetField) {
            if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Tab ||
                e->key() == Qt::Key_Backtab || t.isEmpty())
                return false;
            const QChar c = t.at(0);
            // minus, point, slash and digits only
            if (c < u'-' || c > u'9')
                return true;
            return false;
        }
        if ((le == callField || le == gridField) && t.size() == 1 && t.at(0) >= u'a' && t.at(0) <= u'z') {
            le->insert(t.toUpper());
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched == utcOffsetField) {
        if (!parseNumber(utcOffsetField->text()) && isVisible() && !cancelButton->underMouse()) {
            msgBox(this, QStringLiteral("Please enter a numeric value!"),
                   QStringLiteral("Numeric value required."));
            QMetaObject::invokeMethod(utcOffsetField, [this] { utcOffsetField->setFocus(); }, Qt::QueuedConnection);
        }
    }
    return QDialog::eventFilter(watched, event);
}
