#include "app/WinKeyWindow.h"

#include "app/Controls.h"
#include "keying/CwKeyer.h"
#include "keying/WinKeyProtocol.h"
#include "keying/WinKeyer.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using namespace Controls;

namespace {
const QString VersionCaption = QStringLiteral("Version #");

QString versionText(int version)
{
    return version > 0 ? VersionCaption + QLatin1Char(' ') + QString::number(version) : VersionCaption;
}
} // namespace

WinKeyWindow::WinKeyWindow(WinKeyer &keyer, CwKeyer &cw, std::function<QString()> ownCall, const QString &wkFile,
                           QWidget *parent)
    : QDialog(parent), m_keyer(keyer), m_cw(cw), m_ownCall(std::move(ownCall)), m_wkFile(wkFile)
{
    setObjectName(QStringLiteral("frmWinKey"));
    setWindowTitle(QStringLiteral(" WinKey Setup"));
    buildControls();

    connect(&m_keyer, &WinKeyer::stateText, stateLabel, &QLabel::setText);
    connect(&m_keyer, &WinKeyer::versionChanged, versionLabel,
            [this](int version) { versionLabel->setText(versionText(version)); });
    connect(openButton, &QPushButton::clicked, this, &WinKeyWindow::openKeyer);
    connect(closeButton, &QPushButton::clicked, &m_keyer, &WinKeyer::close);
    connect(stopButton, &QPushButton::clicked, this, &WinKeyWindow::stop);
    connect(testButton, &QPushButton::clicked, this, &WinKeyWindow::test);
    connect(bufferTestButton, &QPushButton::clicked, this, &WinKeyWindow::bufferTest);
    connect(doneButton, &QPushButton::clicked, this, &WinKeyWindow::keepAndHide);
    for (QRadioButton *o : {key5Out3OffOption, key5Off3OutOption, toneOption, pttOption, iambicBOption,
                            iambicAOption, ultimaticOption, bugOption})
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !m_filling)
                chooseOptions();
        });
    showSettings();
    // The keyer may have been opened by a first message before the window.
    if (m_keyer.isOpen())
        stateLabel->setText(WinKey::resultText(WinKey::Success));
}

void WinKeyWindow::buildControls()
{
    auto *fields = new QGridLayout;
    auto *digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    struct Row {
        QLineEdit *&field;
        const char *name;
        const char *caption;
        const char *help;
    };
    const Row rows[] = {
        {wpmField, "txtWKWPM", "WPM:", nullptr},
        {weightField, "txtWeight", "Weight:", "Proportional amount added or subtracted (50 is standard)."},
        {leadInField, "txtLeadIn", "Lead In:", "Lead in time for transmitter (10 ms increments)."},
        {tailField, "txtTail", "Tail:", "Tail time after keying has stopped (10 ms increments)."},
        {ratioField, "txtRatio", "Ratio:", "Ratio of dits to dahs (Range: 33 - 66)."},
        {portField, "txtWKComPort", "Com Port:", nullptr},
    };
    int r = 0;
    for (const Row &row : rows) {
        row.field = field(this, row.name, 3);
        row.field->setValidator(digits);
        row.field->installEventFilter(this);
        auto *caption = new QLabel(QLatin1String(row.caption), this);
        caption->setBuddy(row.field);
        fields->addWidget(caption, r, 0);
        fields->addWidget(row.field, r, 1);
        if (row.help)
            fields->addWidget(new QLabel(QLatin1String(row.help), this), r, 2);
        ++r;
    }

    auto *pins = frame(this, "fraPinConfig", QStringLiteral("Pin 5 Configuration"));
    key5Out3OffOption = option(pins, "optKey5Out3Off", QStringLiteral("P5 Key Out, P3 Off"));
    key5Off3OutOption = option(pins, "optKey5Off3Out", QStringLiteral("P5 Off, P3 Key Out"));
    toneOption = option(pins, "optTone", QStringLiteral("Tone"));
    pttOption = option(pins, "optPTT", QStringLiteral("PTT"));
    auto *pinsLayout = new QVBoxLayout(pins);
    for (QRadioButton *o : {key5Out3OffOption, key5Off3OutOption, toneOption, pttOption})
        pinsLayout->addWidget(o);
    auto *modes = frame(this, "fraKeyerMode", QStringLiteral("Keyer Mode"));
    iambicBOption = option(modes, "optIambicB", QStringLiteral("Iambic B"));
    iambicAOption = option(modes, "optIambicA", QStringLiteral("Iambic A"));
    ultimaticOption = option(modes, "optUltimatic", QStringLiteral("Ultimatic"));
    bugOption = option(modes, "optBug", QStringLiteral("Bug Keyer"));
    auto *modesLayout = new QVBoxLayout(modes);
    for (QRadioButton *o : {iambicBOption, iambicAOption, ultimaticOption, bugOption})
        modesLayout->addWidget(o);

    stateLabel = label(this, "lblOpenStatus", QStringLiteral("Closed"));
    versionLabel = label(this, "lblVersion", VersionCaption);
    openButton = button(this, "cmdOpenWinkey", QStringLiteral("Open"));
    closeButton = button(this, "cmdCloseWinkey", QStringLiteral("Close"));
    stopButton = button(this, "cmdStop", QStringLiteral("Stop"));
    testButton = button(this, "cmdTest", QStringLiteral("Test"));
    bufferTestButton = button(this, "cmdBufferTest", QStringLiteral("Buffer Test"));
    defaultsTestButton = button(this, "cmdDefaultsTest", QStringLiteral("Defaults Test"));
    doneButton = button(this, "cmdDone", QStringLiteral("&Done"));
    typingField = field(this, "Text1");
    typingField->installEventFilter(this);

    auto *options = new QHBoxLayout;
    options->addWidget(pins);
    options->addWidget(modes);
    auto *state = new QHBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(openButton), static_cast<QWidget *>(closeButton),
                       static_cast<QWidget *>(stateLabel), static_cast<QWidget *>(versionLabel)})
        state->addWidget(w);
    state->addStretch();
    auto *tests = new QHBoxLayout;
    for (QPushButton *b : {stopButton, testButton, bufferTestButton, defaultsTestButton, doneButton})
        tests->addWidget(b);
    auto *all = new QVBoxLayout(this);
    all->addLayout(fields);
    all->addLayout(options);
    all->addLayout(state);
    all->addWidget(new QLabel(QStringLiteral("Type here to send:"), this));
    all->addWidget(typingField);
    all->addLayout(tests);
}

void WinKeyWindow::showSettings()
{
    const WinKeySettings &s = m_keyer.settings;
    m_filling = true;
    wpmField->setText(s.wpm);
    weightField->setText(s.weight);
    leadInField->setText(s.leadIn);
    tailField->setText(s.tail);
    ratioField->setText(s.ratio);
    portField->setText(QString::number(s.port));
    const std::pair<QRadioButton *, int> pins[] = {{key5Out3OffOption, WinKeySettings::Key5Out3Off},
                                                   {key5Off3OutOption, WinKeySettings::Key5Off3Out},
                                                   {toneOption, WinKeySettings::Tone},
                                                   {pttOption, WinKeySettings::Ptt}};
    for (const auto &[o, value] : pins)
        if (s.pinConfig == value)
            o->setChecked(true);
    const std::pair<QRadioButton *, int> modes[] = {{iambicBOption, WinKeySettings::IambicB},
                                                    {iambicAOption, WinKeySettings::IambicA},
                                                    {ultimaticOption, WinKeySettings::Ultimatic},
                                                    {bugOption, WinKeySettings::Bug}};
    for (const auto &[o, value] : modes)
        if (s.keyerMode == value)
            o->setChecked(true);
    versionLabel->setText(versionText(m_keyer.version()));
    m_filling = false;
}

bool WinKeyWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && watched != typingField)
        leaveField(static_cast<QLineEdit *>(watched));
    if (event->type() == QEvent::KeyPress && watched == typingField) {
        // Typing goes to the keyer as it is typed, letters as capitals.
        const auto *e = static_cast<QKeyEvent *>(event);
        const QString text = e->text();
        if (text.size() == 1 && text.at(0).unicode() > 13) {
            QChar ch = text.at(0);
            if (ch >= u'a' && ch <= u'z')
                ch = ch.toUpper();
            typingField->insert(QString(ch));
            sendText(QString(ch));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void WinKeyWindow::leaveField(QLineEdit *field)
{
    // Only a field typed into is checked and sent again.
    if (!field->isModified())
        return;
    field->setModified(false);
    WinKeySettings &s = m_keyer.settings;
    if (field == portField) {
        s.port = WinKeySettings::number(portField->text(), 0, 255).value_or(0);
    } else if (field == wpmField) {
        s.wpm = field->text();
        m_keyer.applyWpm();
    } else if (field == weightField) {
        s.weight = field->text();
        m_keyer.applyWeight();
    } else if (field == leadInField || field == tailField) {
        s.leadIn = leadInField->text();
        s.tail = tailField->text();
        m_keyer.applyLeadTail();
    } else if (field == ratioField) {
        s.ratio = field->text();
        m_keyer.applyRatio();
    }
    showSettings();
}

void WinKeyWindow::chooseOptions()
{
    WinKeySettings &s = m_keyer.settings;
    s.pinConfig = key5Out3OffOption->isChecked()   ? WinKeySettings::Key5Out3Off
                  : key5Off3OutOption->isChecked() ? WinKeySettings::Key5Off3Out
                  : pttOption->isChecked()         ? WinKeySettings::Ptt
                                                   : WinKeySettings::Tone;
    s.keyerMode = iambicAOption->isChecked()     ? WinKeySettings::IambicA
                  : ultimaticOption->isChecked() ? WinKeySettings::Ultimatic
                  : bugOption->isChecked()       ? WinKeySettings::Bug
                                                 : WinKeySettings::IambicB;
    if (m_keyer.isOpen()) {
        m_keyer.applySettings();
        showSettings();
    }
}

void WinKeyWindow::focusDone()
{
    if (isVisible())
        doneButton->setFocus();
}

void WinKeyWindow::openKeyer()
{
    m_keyer.settings.port = WinKeySettings::number(portField->text(), 0, 255).value_or(0);
    m_keyer.open();
    showSettings();
    if (m_keyer.isOpen())
        focusDone();
}

void WinKeyWindow::stop()
{
    if (m_keyer.isOpen())
        m_keyer.clearBuffer();
    m_cw.clearBuffer();
    focusDone();
}

void WinKeyWindow::sendText(const QString &text)
{
    const bool idle = m_cw.buffer().isEmpty();
    m_cw.append(text);
    if (idle)
        m_cw.handTo(m_keyer);
}

void WinKeyWindow::test()
{
    sendText(QStringLiteral("VVV TEST DE ") + m_ownCall());
    focusDone();
}

void WinKeyWindow::bufferTest()
{
    QString text;
    for (int i = 0; i < 3; ++i) {
        for (char c = 'A'; c <= 'Z'; ++c)
            text += QLatin1Char(c);
        text += QLatin1Char(' ');
    }
    sendText(text);
}

void WinKeyWindow::closeEvent(QCloseEvent *event)
{
    if (m_keyer.isOpen())
        m_keyer.close();
    QDialog::closeEvent(event);
}

void WinKeyWindow::keepAndHide()
{
    // A file that cannot be written leaves the window to close all the same.
    m_keyer.settings.save(m_wkFile);
    hide();
}
