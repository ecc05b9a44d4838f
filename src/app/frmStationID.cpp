#include "app/frmStationID.h"

#include "log/Folders.h"
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

frmStationID::frmStationID(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStationID"));
    setWindowTitle(QStringLiteral(" Amateur Station I.D."));
    setModal(true);

    Text1 = field(this, "Text1", 20);
    Text5 = field(this, "Text5", 8);
    Text6 = field(this, "Text6", 10);
    Text2 = field(this, "Text2", 20);
    Text3 = field(this, "Text3", 20);
    Text8 = field(this, "Text8");
    Text8->setMinimumWidth(380);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Call sign:"), Text1);
    form->addRow(QStringLiteral("Grid square:"), Text5);
    form->addRow(QStringLiteral("Hours for UTC:"), Text6);
    form->addRow(QStringLiteral("Longitude (west positive):"), Text2);
    form->addRow(QStringLiteral("Latitude (north positive):"), Text3);
    auto *pathRow = new QHBoxLayout;
    Command2 = button(this, "Command2", QStringLiteral("Browse"));
    pathRow->addWidget(Text8, 1);
    pathRow->addWidget(Command2);
    form->addRow(QStringLiteral("Path to network log file:"), pathRow);

    auto *contest = new QGroupBox(QStringLiteral("Contest"), this);
    auto *cl = new QVBoxLayout(contest);
    Option1 = option(contest, "Option1", QStringLiteral("ARRL January VHF Sweepstakes"));
    Option2 = option(contest, "Option2", QStringLiteral("ARRL June VHF QSO Party"));
    Option3 = option(contest, "Option3", QStringLiteral("ARRL UHF Contest"));
    Option4 = option(contest, "Option4", QStringLiteral("ARRL September VHF QSO Party"));
    Option7 = option(contest, "Option7", QStringLiteral("CQ World Wide VHF"));
    for (QRadioButton *o : {Option1, Option2, Option3, Option4, Option7})
        cl->addWidget(o);

    auto *cls = new QGroupBox(QStringLiteral("Station"), this);
    auto *sl = new QVBoxLayout(cls);
    Option5 = option(cls, "Option5", QStringLiteral("Fixed"));
    Option6 = option(cls, "Option6", QStringLiteral("Rover"));
    sl->addWidget(Option5);
    sl->addWidget(Option6);
    sl->addStretch();

    auto *groups = new QHBoxLayout;
    groups->addWidget(contest, 2);
    groups->addWidget(cls, 1);

    Command1 = button(this, "Command1", QStringLiteral("Done"));
    Command3 = button(this, "Command3", QStringLiteral("Cancel"));
    Command4 = button(this, "Command4", QStringLiteral("Help"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command4);
    buttons->addWidget(Command3);
    buttons->addWidget(Command1);

    auto *top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(groups);
    top->addLayout(buttons);

    for (QLineEdit *e : {Text1, Text5, Text6})
        e->installEventFilter(this);

    connect(Command1, &QPushButton::clicked, this, &frmStationID::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmStationID::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmStationID::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, [this] {
        msgBox(this, helpText(), QStringLiteral("Station Setup Help"));
    });
}

QString frmStationID::helpText()
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

void frmStationID::fillFrom(const Station &s, const QString &defaultLogPath)
{
    Text1->setText(s.ownCall);
    Text5->setText(s.ownGrid);
    Text6->setText(seqNumber(s.utcOffsetHours));
    Text2->setText(seqNumber(s.longitude));
    Text3->setText(seqNumber(s.latitude));
    Text8->setText(s.logPath.size() < 3 ? defaultLogPath : s.logPath);
    QRadioButton *contest[] = {Option1, Option2, Option3, Option4, Option7};
    const int c = s.contestType >= 1 && s.contestType <= 5 ? s.contestType : 2;
    contest[c - 1]->setChecked(true);
    (s.isRover() ? Option6 : Option5)->setChecked(true);
}

int frmStationID::contestType() const
{
    if (Option1->isChecked())
        return 1;
    if (Option3->isChecked())
        return 3;
    if (Option4->isChecked())
        return 4;
    if (Option7->isChecked())
        return 5;
    return 2;
}

bool frmStationID::rover() const { return Option6->isChecked(); }

void frmStationID::Command1_Click()
{
    // Non-numeric offsets and positions become 0.
    for (QLineEdit *e : {Text6, Text2, Text3})
        if (!parseNumber(e->text()))
            e->setText(QStringLiteral("0"));
    const QString path = Text8->text().trimmed();
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
    xml.set(QStringLiteral("OWN_CALL"), Text1->text(), false);
    xml.set(QStringLiteral("OWN_UTC"), Text6->text(), false);
    xml.set(QStringLiteral("OWN_GRID"), Text5->text(), false);
    xml.set(QStringLiteral("OWN_LONGITUDE"), Text2->text(), false);
    xml.set(QStringLiteral("OWN_LATITUDE"), Text3->text(), !Folders::dataFolders().shared.isEmpty());
    accept();
}

void frmStationID::Command2_Click()
{
    const QString f = Dialogs::get().openFile(this, QStringLiteral("Path to network log file:"),
                                              QStringLiteral("(*.MDB)|*.MDB|(All Files)|*.*"),
                                              Text8->text());
    if (!f.isEmpty())
        Text8->setText(f);
}

void frmStationID::Command3_Click() { QDialog::reject(); }

void frmStationID::reject()
{
    // Esc or the window's close button do what Cancel does.
    QDialog::reject();
}

bool frmStationID::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *e = static_cast<QKeyEvent *>(event);
        auto *le = qobject_cast<QLineEdit *>(watched);
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            Command1_Click();
            return true;
        }
        const QString t = e->text();
        if (le == Text6) {
            if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Tab ||
                e->key() == Qt::Key_Backtab || t.isEmpty())
                return false;
            const QChar c = t.at(0);
            // minus, point, slash and digits only
            if (c < u'-' || c > u'9')
                return true;
            return false;
        }
        if ((le == Text1 || le == Text5) && t.size() == 1 && t.at(0) >= u'a' && t.at(0) <= u'z') {
            le->insert(t.toUpper());
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched == Text6) {
        if (!parseNumber(Text6->text()) && isVisible() && !Command3->underMouse()) {
            msgBox(this, QStringLiteral("Please enter a numeric value!"),
                   QStringLiteral("Numeric value required."));
            QMetaObject::invokeMethod(Text6, [this] { Text6->setFocus(); }, Qt::QueuedConnection);
        }
    }
    return QDialog::eventFilter(watched, event);
}
