#include "app/PhoneWindow.h"

#include "app/Controls.h"
#include "keying/VoiceKeyer.h"
#include "log/Folders.h"
#include "platform/AudioPlayer.h"
#include "platform/Dialogs.h"
#include "platform/SeqFile.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using namespace Controls;

namespace {
// The printer port address: letters become capitals as they are typed and a
// double quote is refused.
class AddressValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        if (input.contains(u'"'))
            return Invalid;
        input = input.toUpper();
        return Acceptable;
    }
};

const QString DefaultOutput = QStringLiteral("(default output)");
} // namespace

PhoneWindow::PhoneWindow(VoiceKeyer &keyer, const QString &waveFile, QWidget *parent)
    : PortSetupDialog(parent), m_keyer(keyer), m_waveFile(waveFile)
{
    setObjectName(QStringLiteral("PhoneFrm"));
    setWindowTitle(QStringLiteral("Phone Wave Selections"));
    buildControls();
    showSettings();
}

void PhoneWindow::buildControls()
{
    auto *files = frame(this, "fraFiles", QStringLiteral("Wave files"));
    auto *fileGrid = new QGridLayout(files);
    for (int i = 0; i < 9; ++i) {
        const QByteArray name = "Text" + QByteArray::number(i + 1);
        QLineEdit *f = field(files, name.constData());
        m_fileFields[size_t(i)] = f;
        const QByteArray browseName = "cmdBrowse" + QByteArray::number(i + 1);
        QPushButton *b = button(files, browseName.constData(), QStringLiteral("Browse"));
        auto *key = new QLabel(QStringLiteral("F%1").arg(i + 1), files);
        key->setBuddy(f);
        fileGrid->addWidget(key, i, 0);
        fileGrid->addWidget(f, i, 1);
        fileGrid->addWidget(b, i, 2);
        connect(f, &QLineEdit::textEdited, this, [this, i](const QString &t) { m_keyer.settings.waveFiles[size_t(i)] = t.trimmed(); });
        connect(b, &QPushButton::clicked, this, [this, i] { browse(i); });
    }

    auto *ptt = frame(this, "fraPtt", QStringLiteral("PTT"));
    m_portField = field(ptt, "Text10");
    m_portField->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    m_rts = option(ptt, "Option1", QStringLiteral("RTS"));
    m_dtr = option(ptt, "Option2", QStringLiteral("DTR"));
    m_parallel = option(ptt, "Option3", QStringLiteral("Parallel"));
    m_printerAddress = field(ptt, "Text11");
    m_printerAddress->setValidator(new AddressValidator(this));
    auto *pttGrid = new QGridLayout(ptt);
    pttGrid->addWidget(new QLabel(QStringLiteral("Serial port (0 for none)"), ptt), 0, 0);
    pttGrid->addWidget(m_portField, 0, 1);
    pttGrid->addWidget(m_rts, 1, 0);
    pttGrid->addWidget(m_dtr, 1, 1);
    pttGrid->addWidget(m_parallel, 1, 2);
    pttGrid->addWidget(new QLabel(QStringLiteral("Printer port address"), ptt), 2, 0);
    pttGrid->addWidget(m_printerAddress, 2, 1);

    m_loopDelay = field(this, "txtPHLoop");
    m_loopDelay->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[.0-9]*")), this));
    m_outputDevice = new QComboBox(this);
    m_outputDevice->setObjectName(QStringLiteral("cboOutput"));
    auto *more = new QGridLayout;
    more->addWidget(new QLabel(QStringLiteral("Loop (Sec)"), this), 0, 0);
    more->addWidget(m_loopDelay, 0, 1);
    more->addWidget(new QLabel(QStringLiteral("Sound output"), this), 1, 0);
    more->addWidget(m_outputDevice, 1, 1);

    m_test = button(this, "cmdTest", QStringLiteral("Test"));
    m_stop = button(this, "cmdStop", QStringLiteral("Stop"));
    m_stop->setVisible(false);
    m_done = button(this, "cmdDone", QStringLiteral("Done"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_test);
    buttons->addWidget(m_stop);
    buttons->addStretch();
    buttons->addWidget(m_done);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(files);
    layout->addWidget(ptt);
    layout->addLayout(more);
    layout->addLayout(buttons);

    for (QRadioButton *o : {m_rts, m_dtr, m_parallel})
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !m_filling)
                choosePttLine();
        });
    connect(m_printerAddress, &QLineEdit::textEdited, this, [this](const QString &t) { m_keyer.settings.printerAddress = t; });
    connect(m_portField, &QLineEdit::textEdited, this, [this](const QString &t) { m_keyer.settings.pttPort = t; });
    connect(m_loopDelay, &QLineEdit::textEdited, this, [this](const QString &t) { m_keyer.settings.loopDelay = t; });
    connect(m_test, &QPushButton::clicked, this, &PhoneWindow::test);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        m_keyer.stopRepeat();
        m_stop->hide();
    });
    connect(m_done, &QPushButton::clicked, this, &PhoneWindow::keepAndHide);
    connect(&m_keyer, &VoiceKeyer::portSetupFailed, this, &PhoneWindow::showModallyForCorrection);
    for (QLineEdit *f : {m_portField, m_loopDelay, m_printerAddress})
        f->installEventFilter(this);
}

void PhoneWindow::showSettings()
{
    const VoiceSettings &s = m_keyer.settings;
    m_filling = true;
    for (int i = 0; i < 9; ++i)
        m_fileFields[size_t(i)]->setText(s.waveFiles[size_t(i)]);
    m_portField->setText(s.pttPort);
    m_printerAddress->setText(s.printerAddress);
    m_loopDelay->setText(s.loopDelay);
    (s.pttLine == VoiceSettings::PttLine::Dtr        ? m_dtr
     : s.pttLine == VoiceSettings::PttLine::Parallel ? m_parallel
                                                     : m_rts)
        ->setChecked(true);
    m_outputDevice->clear();
    m_outputDevice->addItem(DefaultOutput);
    m_outputDevice->addItems(AudioPlayer::outputDevices());
    const QString chosen = AudioPlayer::chosenDevice();
    if (!chosen.isEmpty() && m_outputDevice->findText(chosen) < 0)
        m_outputDevice->addItem(chosen);
    m_outputDevice->setCurrentText(chosen.isEmpty() ? DefaultOutput : chosen);
    m_filling = false;
}

void PhoneWindow::choosePttLine()
{
    m_keyer.settings.pttLine = m_dtr->isChecked()        ? VoiceSettings::PttLine::Dtr
                               : m_parallel->isChecked() ? VoiceSettings::PttLine::Parallel
                                                         : VoiceSettings::PttLine::Rts;
    m_keyer.setupPort();
}

bool PhoneWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_portField) {
            // A port that is no number is none; the port is opened anew.
            if (!parseNumber(m_portField->text())) {
                m_portField->setText(QStringLiteral("0"));
                m_keyer.settings.pttPort = QStringLiteral("0");
            }
            m_keyer.setupPort();
        } else if (watched == m_loopDelay) {
            m_keyer.applyLoopDelay();
            m_loopDelay->setText(m_keyer.settings.loopDelay);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PhoneWindow::browse(int slot)
{
    const QString path = Dialogs::get().openFile(this, QStringLiteral("Open"), QStringLiteral("(*.wav)|*.wav"));
    QDir::setCurrent(Folders::workDir());
    if (!path.isEmpty()) {
        m_fileFields[size_t(slot)]->setText(path);
        m_keyer.settings.waveFiles[size_t(slot)] = path;
    }
    m_done->setFocus();
}

void PhoneWindow::test()
{
    m_keyer.play(VoiceKeyer::F1);
    if (isVisible())
        m_done->setFocus();
    if (m_keyer.repeatPending())
        m_stop->show();
}

void PhoneWindow::keepAndHide()
{
    hide();
    QDir::setCurrent(Folders::workDir());
    const QString output = m_outputDevice->currentText();
    AudioPlayer::chooseDevice(output == DefaultOutput ? QString() : output);
    // A file that cannot be written leaves the window to close all the same.
    m_keyer.saveSettings(m_waveFile);
}
