#include "app/RigControlWindow.h"

#include "app/Controls.h"
#include "platform/Dialogs.h"
#include "rig/RigModels.h"
#include "rig/RigPoller.h"

#include <QApplication>
#include <charconv>
#include <QCheckBox>
#include <QClipboard>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

namespace {
const char *const BaudNames[] = {"optBaud12", "optBaud24", "optBaud48", "optBaud96", "optBaud144",
                                 "optBaud192", "optBaud288", "optBaud384", "optBaud560"};
const char *const BaudCaptions[] = {"1.2", "2.4", "4.8", "9.6", "14.4", "19.2", "28.8", "38.4", "56"};

QCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

// Option buttons in a frame of their own, side by side.
QGroupBox *optionFrame(QWidget *parent, const char *name, const QString &caption,
                       std::initializer_list<QRadioButton *> options)
{
    QGroupBox *g = Controls::frame(parent, name, caption);
    auto *row = new QHBoxLayout(g);
    for (QRadioButton *o : options) {
        o->setParent(g);
        row->addWidget(o);
    }
    return g;
}

// The frequency as the window shows it: five decimals, no leading zero. The
// digits are those of the 32-bit value (432.1, not 432.10001).
QString frequencyText(float mhz)
{
    char shortest[32];
    const auto end = std::to_chars(shortest, shortest + sizeof shortest, mhz).ptr;
    QString t = QString::number(QByteArray(shortest, end - shortest).toDouble(), 'f', 5);
    if (t.startsWith(QLatin1String("0.")))
        t.remove(0, 1);
    return t;
}
} // namespace

RigControlWindow::RigControlWindow(RigPoller &poller, const QString &settingsFile, QWidget *parent)
    : QDialog(parent), m_poller(poller), m_file(settingsFile)
{
    setObjectName(QStringLiteral("RigControlfrm"));
    setWindowTitle(QStringLiteral(" Rig Interface Setup"));
    buildControls();
    showSettings(RigSettings());
    selectRig(QStringLiteral("None"));
    connect(&m_poller, &RigPoller::replyRead, this, &RigControlWindow::showReply);
    connect(&m_poller, &RigPoller::queryNotSent, this, [this](const QString &why) {
        if (isVisible())
            unprocessedLabel->setText(why);
    });
}

void RigControlWindow::buildControls()
{
    using namespace Controls;
    auto *top = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);

    rigList = new QListWidget(this);
    rigList->setObjectName(QStringLiteral("List1"));
    rigList->setMinimumWidth(rigList->fontMetrics().horizontalAdvance(QStringLiteral("Yaesu 757 GX II")) + 40);
    for (const Rig::Model &m : Rig::models())
        rigList->addItem(m.name);
    left->addWidget(rigList, 1);
    connect(rigList, &QListWidget::itemClicked, this, &RigControlWindow::rigClicked);
    auto *beta = label(this, "Label11",
                       QStringLiteral("The rig interface is new. If your rig is not listed, pick \"Other\", type "
                                      "the commands from your radio's manual and look at the reply."));
    beta->setWordWrap(true);
    left->addWidget(beta);
    icomNote = label(this, "Label10",
                     QStringLiteral("Icom radio users will have to replace the 64 in the string with the ID for "
                                    "your particular radio.  Please check your Icom user's manual for details."));
    icomNote->setWordWrap(true);
    left->addWidget(icomNote);
    auto *spotNote = label(this, "Label12",
                           QStringLiteral("Right-click a spot on the band map to tune the radio to it."));
    spotNote->setWordWrap(true);
    left->addWidget(spotNote);

    for (int i = 0; i < 10; ++i) {
        portOptions[size_t(i)] = option(this, "", QString::number(i + 1));
        portOptions[size_t(i)]->setObjectName(QStringLiteral("optComm_%1").arg(i));
    }
    auto *ports = frame(this, "fraComm", QStringLiteral("Comm Port"));
    auto *portGrid = new QGridLayout(ports);
    for (int i = 0; i < 10; ++i) {
        portOptions[size_t(i)]->setParent(ports);
        portGrid->addWidget(portOptions[size_t(i)], i / 5, i % 5);
    }
    right->addWidget(ports);
    for (size_t i = 0; i < baudOptions.size(); ++i)
        baudOptions[i] = option(this, BaudNames[i], QString::fromLatin1(BaudCaptions[i]));
    auto *bauds = frame(this, "fraBaud", QStringLiteral("Baud (kbaud)"));
    auto *baudGrid = new QGridLayout(bauds);
    for (size_t i = 0; i < baudOptions.size(); ++i) {
        baudOptions[i]->setParent(bauds);
        baudGrid->addWidget(baudOptions[i], int(i) / 5, int(i) % 5);
    }
    right->addWidget(bauds);
    parityOdd = option(this, "optParityOdd", QStringLiteral("Odd"));
    parityNone = option(this, "optParityNone", QStringLiteral("None"));
    parityEven = option(this, "optParityEven", QStringLiteral("Even"));
    data7 = option(this, "optData7", QStringLiteral("7"));
    data8 = option(this, "optData8", QStringLiteral("8"));
    stop1 = option(this, "optStop1", QStringLiteral("1"));
    stop2 = option(this, "optStop2", QStringLiteral("2"));
    auto *line = new QHBoxLayout;
    line->addWidget(optionFrame(this, "fraParity", QStringLiteral("Parity"), {parityOdd, parityNone, parityEven}));
    line->addWidget(optionFrame(this, "fraData", QStringLiteral("Data Bits"), {data7, data8}));
    line->addWidget(optionFrame(this, "fraStop", QStringLiteral("Stop Bits"), {stop1, stop2}));
    right->addLayout(line);
    powerNone = option(this, "optPowerNone", QStringLiteral("None"));
    powerRts = option(this, "optPowerRTS", QStringLiteral("RTS"));
    powerDtr = option(this, "optPowerDTR", QStringLiteral("DTR"));
    pollFast = option(this, "optPollFast", QStringLiteral("100 ms"));
    pollMedium = option(this, "optPollMed", QStringLiteral("500 ms"));
    pollSlow = option(this, "optPollSlow", QStringLiteral("2 Sec"));
    pollReallySlow = option(this, "optReallySlow", QStringLiteral("10 Sec"));
    auto *line2 = new QHBoxLayout;
    line2->addWidget(optionFrame(this, "fraPower", QStringLiteral("Interface Power"), {powerNone, powerRts, powerDtr}));
    line2->addWidget(optionFrame(this, "fraPoll", QStringLiteral("Poll Rate"),
                                 {pollFast, pollMedium, pollSlow, pollReallySlow}));
    right->addLayout(line2);
    for (QRadioButton *o : findChildren<QRadioButton *>())
        connect(o, &QRadioButton::clicked, this, &RigControlWindow::endTest);

    modeByRig = option(this, "OptRig", QStringLiteral("Rig"));
    modeByFrequency = option(this, "OptFreq", QStringLiteral("Frequency"));
    modeNotUsed = option(this, "OptDont", QStringLiteral("Don't Use"));
    right->addWidget(optionFrame(this, "fraModeBy", QStringLiteral("Mode by:"), {modeByRig, modeByFrequency, modeNotUsed}));
    for (QRadioButton *o : {modeByRig, modeByFrequency, modeNotUsed})
        connect(o, &QRadioButton::clicked, this, [this] {
            modeLabel->setText(QStringLiteral("No Response"));
            m_poller.clearMode();
            m_poller.useSettings(settings());
        });

    auto *queries = new QGridLayout;
    freqQueryField = field(this, "txtFreq");
    modeQueryField = field(this, "txtMode");
    queries->addWidget(label(this, "lblFreqQuery", QStringLiteral("Frequency query:")), 0, 0);
    queries->addWidget(freqQueryField, 0, 1);
    queries->addWidget(label(this, "lblModeQuery", QStringLiteral("Mode query:")), 1, 0);
    queries->addWidget(modeQueryField, 1, 1);
    rigctldHostField = field(this, "txtRigctldHost");
    rigctldPortField = field(this, "txtRigctldPort", 5);
    pegasusFolderField = field(this, "txtPegasusFolder");
    queries->addWidget(label(this, "lblRigctldHost", QStringLiteral("rigctld host and port:")), 2, 0);
    auto *hostRow = new QHBoxLayout;
    hostRow->addWidget(rigctldHostField, 1);
    hostRow->addWidget(rigctldPortField);
    queries->addLayout(hostRow, 2, 1);
    queries->addWidget(label(this, "lblPegasusFolder", QStringLiteral("Pegasus folder:")), 3, 0);
    queries->addWidget(pegasusFolderField, 3, 1);
    right->addLayout(queries);
    for (QLineEdit *f : {freqQueryField, modeQueryField}) {
        f->installEventFilter(this);
        connect(f, &QLineEdit::textEdited, this, [this] { m_poller.useSettings(settings()); });
    }
    for (QLineEdit *f : {rigctldHostField, rigctldPortField, pegasusFolderField})
        connect(f, &QLineEdit::textEdited, this, &RigControlWindow::endTest);

    convertToHexBox = checkBox(this, "chkConvToHex", QStringLiteral("Convert to Hex"));
    useFrequencyBox = checkBox(this, "chkFrequency", QStringLiteral("Use Frequency"));
    showHexBox = checkBox(this, "ChkConvHex", QStringLiteral("Convert from Hex"));
    auto *checks = new QHBoxLayout;
    for (QCheckBox *c : {convertToHexBox, useFrequencyBox, showHexBox}) {
        checks->addWidget(c);
        connect(c, &QCheckBox::toggled, this, [this] { m_poller.useSettings(settings()); });
    }
    right->addLayout(checks);

    auto *readings = new QGridLayout;
    frequencyLabel = label(this, "lblFreq");
    modeLabel = label(this, "lblMode");
    unprocessedLabel = label(this, "lblUnProcess");
    unprocessedLabel->setTextFormat(Qt::PlainText);
    unprocessedLabel->setWordWrap(true);
    pollingLabel = label(this, "Label2", QStringLiteral("Polling Rig"));
    readings->addWidget(label(this, "lblFreqCaption", QStringLiteral("Frequency:")), 0, 0);
    readings->addWidget(frequencyLabel, 0, 1);
    readings->addWidget(label(this, "lblModeCaption", QStringLiteral("Mode:")), 1, 0);
    readings->addWidget(modeLabel, 1, 1);
    readings->addWidget(label(this, "lblUnProcessCaption", QStringLiteral("Unprocessed data returned:")), 2, 0);
    readings->addWidget(unprocessedLabel, 2, 1);
    readings->addWidget(pollingLabel, 3, 0);
    right->addLayout(readings);

    testButton = button(this, "Command1", QStringLiteral("Test"));
    endTestButton = button(this, "Command2", QStringLiteral("End Test"));
    changeFrequencyButton = button(this, "Command3", QStringLiteral("Change Frequency"));
    copyButton = button(this, "Command4", QStringLiteral("Copy"));
    copyButton->setToolTip(QStringLiteral("Copy unprocessed data to clipboard"));
    doneButton = button(this, "cmdDone", QStringLiteral("Done"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {testButton, endTestButton, changeFrequencyButton, copyButton, doneButton})
        buttons->addWidget(b);
    right->addLayout(buttons);
    connect(testButton, &QPushButton::clicked, this, &RigControlWindow::test);
    connect(endTestButton, &QPushButton::clicked, this, &RigControlWindow::endTest);
    connect(doneButton, &QPushButton::clicked, this, &RigControlWindow::done);
    connect(changeFrequencyButton, &QPushButton::clicked, this, &RigControlWindow::changeFrequencyClicked);
    connect(copyButton, &QPushButton::clicked, this, [this] {
        QApplication::clipboard()->clear();
        QApplication::clipboard()->setText(unprocessedLabel->text());
    });
    endTestButton->setEnabled(false);
    pollingLabel->hide();
}

bool RigControlWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Editing a query stops polling first.
    if (event->type() == QEvent::FocusIn && (watched == freqQueryField || watched == modeQueryField))
        endTest();
    return QDialog::eventFilter(watched, event);
}

RigSettings RigControlWindow::settings() const
{
    RigSettings s;
    for (size_t i = 0; i < portOptions.size(); ++i)
        if (portOptions[i]->isChecked())
            s.port = int(i) + 1;
    for (size_t i = 0; i < baudOptions.size(); ++i)
        if (baudOptions[i]->isChecked())
            s.baud = RigSettings::bauds().at(qsizetype(i));
    s.parity = QLatin1Char(parityOdd->isChecked() ? 'O' : parityEven->isChecked() ? 'E' : 'N');
    s.dataBits = QLatin1Char(data7->isChecked() ? '7' : '8');
    s.stopBits = QLatin1Char(stop1->isChecked() ? '1' : '2');
    s.power = QLatin1Char(powerRts->isChecked() ? 'R' : powerDtr->isChecked() ? 'D' : 'N');
    s.pollRate = QLatin1Char(pollFast->isChecked()       ? 'F'
                             : pollSlow->isChecked()     ? 'S'
                             : pollReallySlow->isChecked() ? 'R'
                                                           : 'M');
    s.freqQuery = freqQueryField->text();
    s.modeQuery = modeQueryField->text();
    if (auto *item = rigList->currentItem())
        s.rigType = item->text();
    s.convertToHex = convertToHexBox->isChecked();
    s.useFrequency = useFrequencyBox->isChecked();
    s.modeBy = modeByFrequency->isChecked() ? RigSettings::ModeBy::Frequency
               : modeNotUsed->isChecked()   ? RigSettings::ModeBy::DontUse
                                            : RigSettings::ModeBy::Rig;
    s.rigctldHost = rigctldHostField->text().trimmed();
    s.rigctldPort = rigctldPortField->text().trimmed().toInt();
    s.pegasusFolder = pegasusFolderField->text().trimmed();
    return s;
}

void RigControlWindow::showSettings(const RigSettings &s)
{
    useFrequencyBox->setChecked(s.useFrequency);
    convertToHexBox->setChecked(s.convertToHex);
    (s.modeBy == RigSettings::ModeBy::Frequency ? modeByFrequency
     : s.modeBy == RigSettings::ModeBy::DontUse ? modeNotUsed
                                                : modeByRig)
        ->setChecked(true);
    freqQueryField->setText(s.freqQuery);
    modeQueryField->setText(s.modeQuery);
    selectRig(s.rigType);
    portOptions[size_t(qBound(1, s.port, 10) - 1)]->setChecked(true);
    const qsizetype baud = RigSettings::bauds().indexOf(s.baud.trimmed());
    baudOptions[size_t(baud < 0 ? 2 : baud)]->setChecked(true);
    (s.parity == QLatin1Char('O') ? parityOdd : s.parity == QLatin1Char('E') ? parityEven : parityNone)->setChecked(true);
    (s.dataBits == QLatin1Char('7') ? data7 : data8)->setChecked(true);
    (s.stopBits == QLatin1Char('1') ? stop1 : stop2)->setChecked(true);
    (s.power == QLatin1Char('R') ? powerRts : s.power == QLatin1Char('D') ? powerDtr : powerNone)->setChecked(true);
    (s.pollRate == QLatin1Char('F')   ? pollFast
     : s.pollRate == QLatin1Char('S') ? pollSlow
     : s.pollRate == QLatin1Char('R') ? pollReallySlow
                                      : pollMedium)
        ->setChecked(true);
    rigctldHostField->setText(s.rigctldHost);
    rigctldPortField->setText(QString::number(s.rigctldPort));
    pegasusFolderField->setText(s.pegasusFolder);
}

void RigControlWindow::loadSettings()
{
    RigSettings s;
    if (s.load(m_file))
        showSettings(s);
}

void RigControlWindow::selectRig(const QString &name)
{
    const Rig::Model &m = Rig::model(name);
    const auto items = rigList->findItems(m.name, Qt::MatchExactly);
    rigList->setCurrentItem(items.value(0));
    convertToHexBox->setEnabled(m.family == Rig::Family::Other);
    icomNote->setVisible(m.icomNote);
    showTypeFields();
}

void RigControlWindow::showTypeFields()
{
    const Rig::Family f = Rig::model(settings().rigType).family;
    rigctldHostField->setEnabled(f == Rig::Family::Rigctld);
    rigctldPortField->setEnabled(f == Rig::Family::Rigctld);
    pegasusFolderField->setEnabled(f == Rig::Family::Pegasus);
}

void RigControlWindow::rigClicked()
{
    endTest();
    freqQueryField->clear();
    modeQueryField->clear();
    convertToHexBox->setChecked(false);
    convertToHexBox->setEnabled(false);
    icomNote->hide();
    applyDefaults(Rig::model(rigList->currentItem() ? rigList->currentItem()->text() : QString()));
}

void RigControlWindow::applyDefaults(const Rig::Model &m)
{
    RigSettings s = settings();
    if (!m.baud.isEmpty())
        s.baud = m.baud;
    if (!m.parity.isNull())
        s.parity = m.parity;
    if (!m.dataBits.isNull())
        s.dataBits = m.dataBits;
    if (!m.stopBits.isNull())
        s.stopBits = m.stopBits;
    s.freqQuery = m.freqQuery;
    s.modeQuery = m.modeQuery;
    s.convertToHex = m.convertToHex;
    s.rigType = m.name;
    showSettings(s);
}

bool RigControlWindow::test()
{
    const RigSettings s = settings();
    if (s.rigType == QLatin1String("None"))
        return false;
    modeLabel->setText(QStringLiteral("No Response"));
    frequencyLabel->setText(QStringLiteral("No Response"));
    endTestButton->setEnabled(true);
    pollingLabel->show();
    QString why;
    if (m_poller.start(s, &why))
        return true;
    endTestButton->setEnabled(false);
    pollingLabel->hide();
    beep();
    const QString text = QStringLiteral(
        "The comm port that you selected for rig interface is either in use, invalid or the settings that you "
        "have selected are invalid.  Please select another combination or choose None for your rig selection.");
    msgBox(this, why.isEmpty() ? text : text + QStringLiteral("\n\n") + why, QStringLiteral("Invalid Comm Settings."),
           Dialogs::Icon::Information);
    if (!isVisible())
        exec();
    return false;
}

void RigControlWindow::endTest()
{
    modeLabel->clear();
    frequencyLabel->clear();
    unprocessedLabel->clear();
    m_poller.stop();
    pollingLabel->hide();
    endTestButton->setEnabled(false);
    showTypeFields();
}

void RigControlWindow::done()
{
    const RigSettings s = settings();
    if (s.rigType != QLatin1String("None"))
        test();
    emit rigChosen(s.rigType);
    QString why;
    if (!s.save(m_file, &why))
        msgBox(this, QStringLiteral("\"RigCntrl.txt\" could not be written: ") + why, QStringLiteral("Rig Interface"),
               Dialogs::Icon::Warning);
    accept();
}

void RigControlWindow::changeFrequencyClicked()
{
    if (m_poller.isPolling()) {
        emit frequencyTestWanted();
        return;
    }
    const QString text = QStringLiteral("You must be polling your rig to test this function.  Please select your "
                                        "rig type and click the Test command button.");
    msgBox(this, text, QStringLiteral("You must be polling your rig to test this function."),
           Dialogs::Icon::Information);
}

void RigControlWindow::showReply(const QByteArray &raw, const Rig::RigState &state)
{
    if (!isVisible())
        return;
    if (state.frequency > 0)
        frequencyLabel->setText(frequencyText(state.frequency));
    modeLabel->setText(state.mode);
    unprocessedLabel->setText(showHexBox->isChecked() ? Rig::bytesToHexText(raw) : QString::fromLatin1(raw));
}
