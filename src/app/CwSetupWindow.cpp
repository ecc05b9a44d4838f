#include "app/CwSetupWindow.h"

#include "app/CodePracticeWindow.h"
#include "app/Controls.h"
#include "keying/CwKeyer.h"
#include "platform/Dialogs.h"
#include "platform/SeqFile.h"
#include "platform/SerialPorts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <cmath>

using namespace Controls;

namespace {
// Message texts: letters become capitals as they are typed, and a double
// quote is refused (it would end the value early in CW.txt).
class MessageValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        if (input.contains(u'"'))
            return Invalid;
        for (QChar &c : input)
            if (c >= u'a' && c <= u'z')
                c = c.toUpper();
        return Acceptable;
    }
};

QValidator *typed(QObject *parent, const char *pattern)
{
    return new QRegularExpressionValidator(QRegularExpression(QLatin1String(pattern)), parent);
}

const char *const MessageNames[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6",
                                    "Text7", "Text8", "Text9", "Text12", "Text13"};
} // namespace

CwSetupWindow::CwSetupWindow(CwKeyer &keyer, const QString &cwFile, QWidget *parent)
    : PortSetupDialog(parent), m_keyer(keyer), m_cwFile(cwFile)
{
    setObjectName(QStringLiteral("CWFrm"));
    setWindowTitle(QStringLiteral("CW Setup"));
    buildControls();
    connectControls();
    showSettings();
}

void CwSetupWindow::buildControls()
{
    auto *messages = frame(this, "fraMessages", QStringLiteral("Messages ($ call, * report, ! log the contact)"));
    auto *messageGrid = new QGridLayout(messages);
    auto *messageValidator = new MessageValidator(this);
    for (int i = 0; i < CwSettings::MessageCount; ++i) {
        QLineEdit *f = field(messages, MessageNames[i]);
        f->setValidator(messageValidator);
        messageFields[size_t(i)] = f;
        auto *key = new QLabel(QStringLiteral("F%1").arg(i + 1), messages);
        key->setBuddy(f);
        messageGrid->addWidget(key, i, 0);
        messageGrid->addWidget(f, i, 1);
    }

    auto *output = frame(this, "fraOutput", QStringLiteral("Keying output"));
    rtsOption = option(output, "optRTS", QStringLiteral("RTS"));
    dtrOption = option(output, "optDTR", QStringLiteral("DTR"));
    printerOption = option(output, "optPrinter", QStringLiteral("Printer"));
    noneOption = option(output, "optNone", QStringLiteral("None"));
    winKeyOption = option(output, "optWinKey", QStringLiteral("WinKey"));
    configureWinKeyButton = button(output, "cmdWinkey", QStringLiteral("Configure Winkey"));
    configureWinKeyButton->setVisible(false);
    portField = field(output, "Text10");
    portField->setValidator(typed(this, "[0-9:]*"));
    portDevice = new QComboBox(output);
    portDevice->setObjectName(QStringLiteral("cboPortDevice"));
    portDeviceLabel = label(output, "lblPortDevice");
    printerAddressField = field(output, "Text14");
    auto *outputGrid = new QGridLayout(output);
    outputGrid->addWidget(rtsOption, 0, 0);
    outputGrid->addWidget(dtrOption, 0, 1);
    outputGrid->addWidget(printerOption, 0, 2);
    outputGrid->addWidget(noneOption, 1, 0);
    outputGrid->addWidget(winKeyOption, 1, 1);
    outputGrid->addWidget(configureWinKeyButton, 1, 2);
    outputGrid->addWidget(new QLabel(QStringLiteral("Serial port"), output), 2, 0);
    outputGrid->addWidget(portField, 2, 1);
    outputGrid->addWidget(portDeviceLabel, 2, 2);
    outputGrid->addWidget(new QLabel(QStringLiteral("Device"), output), 3, 0);
    outputGrid->addWidget(portDevice, 3, 1, 1, 2);
    outputGrid->addWidget(new QLabel(QStringLiteral("Printer port address"), output), 4, 0);
    outputGrid->addWidget(printerAddressField, 4, 1);

    auto *speed = frame(this, "fraSpeed", QStringLiteral("Speed"));
    wpmField = field(speed, "Text11");
    wpmField->setValidator(typed(this, "[0-9:]*"));
    fasterButton = button(speed, "cmdFaster", QStringLiteral("Faster"));
    slowerButton = button(speed, "cmdSlower", QStringLiteral("Slower"));
    wordSpaceField = field(speed, "txtSpace");
    wordSpaceField->setValidator(typed(this, "[-./0-9:]*"));
    lessSpaceButton = button(speed, "cmdLess", QStringLiteral("Less"));
    moreSpaceButton = button(speed, "cmdMore", QStringLiteral("More"));
    loopDelayField = field(speed, "txtCWLoop");
    loopDelayField->setValidator(typed(this, "[.0-9]*"));
    auto *speedGrid = new QGridLayout(speed);
    speedGrid->addWidget(new QLabel(QStringLiteral("WPM"), speed), 0, 0);
    speedGrid->addWidget(wpmField, 0, 1);
    speedGrid->addWidget(fasterButton, 0, 2);
    speedGrid->addWidget(slowerButton, 0, 3);
    speedGrid->addWidget(new QLabel(QStringLiteral("Word space"), speed), 1, 0);
    speedGrid->addWidget(wordSpaceField, 1, 1);
    speedGrid->addWidget(lessSpaceButton, 1, 2);
    speedGrid->addWidget(moreSpaceButton, 1, 3);
    speedGrid->addWidget(new QLabel(QStringLiteral("Loop (Sec)"), speed), 2, 0);
    speedGrid->addWidget(loopDelayField, 2, 1);

    auto *timing = frame(this, "fraTiming", QStringLiteral("Timing"));
    timerOption = option(timing, "optTimer", QStringLiteral("Timer"));
    loopOption = option(timing, "optLoop", QStringLiteral("Loop"));
    sleepOption = option(timing, "OptSleep", QStringLiteral("Sleep"));
    loopCountLabel = label(timing, "lblLoop", QStringLiteral("Loops per 60 ms"));
    loopCountField = field(timing, "txtLoop");
    loopFasterButton = button(timing, "cmdLoopFaster", QStringLiteral("Speed up CW"));
    loopSlowerButton = button(timing, "cmdLoopSlower", QStringLiteral("Slow Down CW"));
    auto *timingGrid = new QGridLayout(timing);
    timingGrid->addWidget(timerOption, 0, 0);
    timingGrid->addWidget(loopOption, 0, 1);
    timingGrid->addWidget(sleepOption, 0, 2);
    timingGrid->addWidget(loopCountLabel, 1, 0);
    timingGrid->addWidget(loopCountField, 1, 1);
    timingGrid->addWidget(loopFasterButton, 2, 0);
    timingGrid->addWidget(loopSlowerButton, 2, 1);

    displayTextBox = new QCheckBox(QStringLiteral("Display CW text on main form (NA for WinKey)."), this);
    displayTextBox->setObjectName(QStringLiteral("Check1"));
    auto *legend = label(this, "lblProsigns", QStringLiteral("Prosigns:  [ AR   \\ CL   ] SK   ; KN   = BT"));
    auto *advice = label(this, "lblAdvice",
                         QStringLiteral("The transmitter is keyed; no side tone is made here.  Run no other "
                                        "programs while sending for the most even timing."));
    advice->setWordWrap(true);
    sendingLabel = label(this, "lblSending", QStringLiteral("Sending!"));
    sendingLabel->setVisible(false);
    testButton = button(this, "cmdTest", QStringLiteral("&Test"));
    codePracticeButton = button(this, "cmdCodePractice", QStringLiteral("Send Code Practice"));
    doneButton = button(this, "cmdDone", QStringLiteral("Done"));

    auto *right = new QVBoxLayout;
    right->addWidget(output);
    right->addWidget(speed);
    right->addWidget(timing);
    right->addWidget(displayTextBox);
    right->addStretch();
    auto *columns = new QHBoxLayout;
    columns->addWidget(messages, 3);
    columns->addLayout(right, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(sendingLabel);
    buttons->addStretch();
    buttons->addWidget(testButton);
    buttons->addWidget(codePracticeButton);
    buttons->addWidget(doneButton);
    auto *all = new QVBoxLayout(this);
    all->addLayout(columns);
    all->addWidget(legend);
    all->addWidget(advice);
    all->addLayout(buttons);
}

void CwSetupWindow::connectControls()
{
    CwSettings &s = m_keyer.settings;
    for (int i = 0; i < CwSettings::MessageCount; ++i)
        connect(messageFields[size_t(i)], &QLineEdit::textChanged, this,
                [&s, i](const QString &t) { s.messages[size_t(i)] = t; });
    connect(portField, &QLineEdit::textChanged, this, [this, &s](const QString &t) {
        s.port = t;
        showPortDevice();
    });
    connect(wpmField, &QLineEdit::textChanged, this, [this, &s](const QString &t) {
        s.wpm = t;
        // A keyer that times the CW itself follows the field.
        if (!m_filling)
            emit m_keyer.speedChanged(t);
    });
    connect(wordSpaceField, &QLineEdit::textChanged, this, [this, &s](const QString &t) {
        // Below -8 the word gap would be shorter than a character gap.
        const auto v = parseNumber(t);
        if (v && *v < -8) {
            wordSpaceField->setText(QStringLiteral("-8"));
            return;
        }
        s.wordSpace = t;
    });
    connect(printerAddressField, &QLineEdit::textChanged, this, [&s](const QString &t) { s.printerAddress = t; });
    connect(loopDelayField, &QLineEdit::textChanged, this, [&s](const QString &t) { s.loopDelay = t; });
    connect(loopCountField, &QLineEdit::textChanged, this, [&s](const QString &t) {
        if (const auto v = parseNumber(t))
            s.loopOffset = *v;
    });
    connect(displayTextBox, &QCheckBox::toggled, this, [&s](bool on) { s.displayText = on; });

    const std::pair<QRadioButton *, int> outputs[] = {{rtsOption, KeyingOutput::Rts},
                                                      {dtrOption, KeyingOutput::Dtr},
                                                      {printerOption, KeyingOutput::Printer},
                                                      {noneOption, KeyingOutput::None},
                                                      {winKeyOption, KeyingOutput::WinKey}};
    for (const auto &[o, value] : outputs)
        connect(o, &QRadioButton::toggled, this, [this, value](bool on) {
            if (on && !m_filling)
                chooseOutput(value);
        });
    for (QRadioButton *o : {timerOption, loopOption, sleepOption})
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                chooseMethod();
        });
    connect(configureWinKeyButton, &QPushButton::clicked, this, &CwSetupWindow::winKeyWindowWanted);
    connect(portDevice, &QComboBox::activated, this, &CwSetupWindow::mapPortDevice);

    connect(fasterButton, &QPushButton::clicked, &m_keyer, &CwKeyer::speedUp);
    connect(slowerButton, &QPushButton::clicked, &m_keyer, &CwKeyer::speedDown);
    connect(&m_keyer, &CwKeyer::speedChanged, this, [this](const QString &wpm) {
        if (wpmField->text() != wpm)
            wpmField->setText(wpm);
    });
    connect(lessSpaceButton, &QPushButton::clicked, this, [this] { stepWordSpace(-1); });
    connect(moreSpaceButton, &QPushButton::clicked, this, [this] { stepWordSpace(1); });
    connect(loopFasterButton, &QPushButton::clicked, this, [this] { adjustLoopCount(0.9); });
    connect(loopSlowerButton, &QPushButton::clicked, this, [this] { adjustLoopCount(1.111111111111); });
    connect(testButton, &QPushButton::clicked, this, &CwSetupWindow::test);
    connect(codePracticeButton, &QPushButton::clicked, this, &CwSetupWindow::openCodePractice);
    connect(doneButton, &QPushButton::clicked, this, &CwSetupWindow::keepAndHide);
    connect(&m_keyer, &CwKeyer::portSetupFailed, this, &CwSetupWindow::showModallyForCorrection);

    for (QLineEdit *f : {portField, wpmField, wordSpaceField, loopDelayField, printerAddressField})
        f->installEventFilter(this);
}

void CwSetupWindow::showSettings()
{
    const CwSettings s = m_keyer.settings;
    m_filling = true;
    for (int i = 0; i < CwSettings::MessageCount; ++i)
        messageFields[size_t(i)]->setText(s.messages[size_t(i)]);
    portField->setText(s.port);
    wpmField->setText(s.wpm);
    wordSpaceField->setText(s.wordSpace);
    printerAddressField->setText(s.printerAddress);
    loopDelayField->setText(s.loopDelay);
    displayTextBox->setChecked(s.displayText);
    loopCountField->setText(seqNumber(s.loopOffset));
    switch (s.output) {
    case KeyingOutput::Rts: rtsOption->setChecked(true); break;
    case KeyingOutput::Dtr: dtrOption->setChecked(true); break;
    case KeyingOutput::Printer: printerOption->setChecked(true); break;
    case KeyingOutput::WinKey: winKeyOption->setChecked(true); break;
    default: noneOption->setChecked(true); break;
    }
    configureWinKeyButton->setVisible(s.output == KeyingOutput::WinKey);
    m_filling = false;
    QRadioButton *method = s.method == TimingMethod::Loop    ? loopOption
                           : s.method == TimingMethod::Sleep ? sleepOption
                                                             : timerOption;
    if (method->isChecked())
        chooseMethod();
    else
        method->setChecked(true);
    portDevice->clear();
    portDevice->addItems(SerialPorts::existingDevices());
    showPortDevice();
}

void CwSetupWindow::chooseOutput(int output)
{
    m_keyer.settings.output = output;
    configureWinKeyButton->setVisible(output == KeyingOutput::WinKey);
    if (output == KeyingOutput::WinKey)
        emit winKeyWindowWanted();
    // A serial output is tried at once, so that a wrong port shows now
    // rather than at the first message.
    if (output == KeyingOutput::Rts || output == KeyingOutput::Dtr)
        m_keyer.setupPort();
}

void CwSetupWindow::chooseMethod()
{
    CwSettings &s = m_keyer.settings;
    s.method = loopOption->isChecked()    ? TimingMethod::Loop
               : sleepOption->isChecked() ? TimingMethod::Sleep
                                          : TimingMethod::Timer;
    const bool loop = s.method == TimingMethod::Loop;
    for (QWidget *w : {static_cast<QWidget *>(loopCountField), static_cast<QWidget *>(loopCountLabel),
                       static_cast<QWidget *>(loopFasterButton), static_cast<QWidget *>(loopSlowerButton)})
        w->setEnabled(loop);
    if (!loop)
        return;
    m_keyer.letEventsRun();
    if (s.loopOffset <= 0)
        s.loopOffset = LoopTiming::calibrate();
    loopCountField->setText(seqNumber(s.loopOffset));
}

void CwSetupWindow::showPortDevice()
{
    const int port = m_keyer.settings.portNumber();
    portDeviceLabel->setText(port > 0 ? SerialPorts::devicePath(port) : QStringLiteral("none"));
    portDevice->setEnabled(port > 0);
    portDevice->setCurrentIndex(port > 0 ? portDevice->findText(SerialPorts::devicePath(port)) : -1);
}

void CwSetupWindow::mapPortDevice(int index)
{
    const int port = m_keyer.settings.portNumber();
    if (port <= 0 || index < 0)
        return;
    SerialPorts::mapPort(port, portDevice->itemText(index));
    showPortDevice();
    m_keyer.setupPort();
}

bool CwSetupWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == portField || watched == wpmField)
            leaveNumberField(static_cast<QLineEdit *>(watched));
        else if (watched == wordSpaceField)
            leaveWordSpace();
        else if (watched == loopDelayField) {
            m_keyer.applyLoopDelay();
            loopDelayField->setText(m_keyer.settings.loopDelay);
        } else if (watched == printerAddressField)
            m_keyer.printerAddressChanged();
    }
    return QDialog::eventFilter(watched, event);
}

void CwSetupWindow::leaveNumberField(QLineEdit *field)
{
    if (!parseNumber(field->text()))
        field->setText(QStringLiteral("0"));
    if (field == portField)
        m_keyer.setupPort();
}

void CwSetupWindow::leaveWordSpace()
{
    if (!parseNumber(wordSpaceField->text()))
        wordSpaceField->setText(QStringLiteral("0"));
}

void CwSetupWindow::stepWordSpace(int by)
{
    const double v = parseNumber(wordSpaceField->text()).value_or(0);
    wordSpaceField->setText(seqNumber(v + by));
}

void CwSetupWindow::adjustLoopCount(double factor)
{
    if (const auto v = parseNumber(loopCountField->text()))
        loopCountField->setText(seqNumber(std::nearbyint(*v * factor)));
    doneButton->setFocus();
}

void CwSetupWindow::test()
{
    sendingLabel->setVisible(true);
    m_keyer.letEventsRun();
    m_keyer.sendMessage(CwKeyer::F9);
    sendingLabel->setVisible(false);
    if (isVisible())
        messageFields[0]->setFocus();
}

void CwSetupWindow::keepAndHide()
{
    QString error;
    // A file that cannot be written leaves the window to close all the same.
    m_keyer.saveSettings(m_cwFile, &error);
    hide();
    if (m_keyer.settings.output != KeyingOutput::None)
        emit stringsWindowWanted();
}

void CwSetupWindow::openCodePractice()
{
    CodePracticeWindow practice(m_keyer, this);
    practice.exec();
    m_keyer.clearBuffer();
}
