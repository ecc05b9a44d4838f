#include "app/SpottingWindow.h"

#include "app/Controls.h"
#include "spots/SpotSession.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
using Source = SpotSettings::Source;

const char *const BaudNames[] = {"optBaud12", "optBaud24", "optBaud48", "optBaud96", "optBaud144", "optBaud192"};
const char *const BaudCaptions[] = {"1.2k", "2.4k", "4.8k", "9.6k", "14.4k", "19.2k"};
const char *const HandshakeNames[] = {"Option1", "Option2", "Option3", "Option4"};
const char *const HandshakeCaptions[] = {"None", "Xon Xoff", "RTS", "RTS OnOff"};

QComboBox *choice(QWidget *parent, const char *name, const QStringList &items)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->addItems(items);
    return c;
}

QString promptFor(Source s)
{
    switch (s) {
    case Source::Tnc: return QStringLiteral("Send text  (Ctrl C or Esc for TNC Command mode):");
    case Source::Agw: return QStringLiteral("Send text (use : to send cmds such as :C Tarnwick or :D)");
    case Source::Telnet: return QStringLiteral("Type text to send and press enter:");
    case Source::None: break;
    }
    return QString();
}

const QString HelpText = QStringLiteral(
    "The last 50 spots are held regardless of band. Spots under 10 minutes old show in light yellow, under 30 "
    "minutes in white and under an hour in grey; older spots are not shown. The list shows the last 2 or 3 "
    "spots; the band map shows the prefixes spotted on the current band, with the whole call, the frequency and "
    "the time in the tool tip. Right-click a band map spot to tune the rig to it (not in list mode); a left "
    "click removes it. Telnet needs only an Internet connection: click Open and give your call sign when the "
    "cluster asks for it. Checking DX Only keeps other comments out and suppresses repeated posts.");
} // namespace

SpottingWindow::SpottingWindow(const QString &settingsFile, SpotStore &store, PortArbiter *ports, QWidget *parent)
    : QDialog(parent), m_file(settingsFile)
{
    setObjectName(QStringLiteral("PacketSpotfrm"));
    setWindowTitle(QStringLiteral(" DX Spotting Setup"));
    m_session = new SpotSession(m_settings, store, ports, this, this);
    m_session->ownCall = [this] { return ownCall ? ownCall() : QString(); };
    buildControls();
    resize(sizeHint().expandedTo(QSize(1000, 640)));
    connect(m_session, &SpotSession::textChanged, this, &SpottingWindow::showReceived);
    connect(m_session, &SpotSession::listeningChanged, m_listening, &QLabel::setVisible);
    connect(m_session, &SpotSession::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_session, &SpotSession::dxOnlyChanged, m_dxOnly, &QCheckBox::setChecked);
    showSettings();
}

SpottingWindow::~SpottingWindow() = default;

void SpottingWindow::buildControls()
{
    using namespace Controls;
    auto *top = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);

    m_sources = new QListWidget(this);
    m_sources->setObjectName(QStringLiteral("List1"));
    m_sources->addItems(SpotSettings::sourceNames());
    m_sources->setMaximumHeight(80);
    left->addWidget(m_sources);
    connect(m_sources, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { chooseSource(m_sources->row(item)); });

    m_tncFrame = frame(this, "fraTnc", QStringLiteral("TNC"));
    auto *tnc = new QGridLayout(m_tncFrame);
    auto *portBox = new QHBoxLayout;
    portBox->addWidget(new QLabel(QStringLiteral("Com port:"), m_tncFrame));
    for (int i = 0; i < 10; ++i) {
        m_ports[size_t(i)] = option(m_tncFrame, "", QString::number(i + 1));
        m_ports[size_t(i)]->setObjectName(QStringLiteral("optComm_%1").arg(i + 1));
        portBox->addWidget(m_ports[size_t(i)]);
    }
    tnc->addLayout(portBox, 0, 0, 1, 4);
    auto *baudFrame =
        frame(m_tncFrame, "fraBaud", QStringLiteral("Baud Rate of Com Port to TNC (not necessarily transmitted baud rate)"));
    auto *baudBox = new QHBoxLayout(baudFrame);
    for (int i = 0; i < 6; ++i) {
        m_bauds[size_t(i)] = option(baudFrame, BaudNames[i], QLatin1String(BaudCaptions[i]));
        baudBox->addWidget(m_bauds[size_t(i)]);
    }
    tnc->addWidget(baudFrame, 1, 0, 1, 4);
    m_parity = choice(m_tncFrame, "parityChoice", {QStringLiteral("O"), QStringLiteral("N"), QStringLiteral("E")});
    m_dataBits = choice(m_tncFrame, "dataBitsChoice", {QStringLiteral("7"), QStringLiteral("8")});
    m_stopBits = choice(m_tncFrame, "stopBitsChoice", {QStringLiteral("1"), QStringLiteral("2")});
    tnc->addWidget(new QLabel(QStringLiteral("Parity, data, stop:"), m_tncFrame), 2, 0);
    tnc->addWidget(m_parity, 2, 1);
    tnc->addWidget(m_dataBits, 2, 2);
    tnc->addWidget(m_stopBits, 2, 3);
    auto *powerFrame = frame(m_tncFrame, "fraPower", QStringLiteral("Connection Power"));
    auto *powerBox = new QHBoxLayout(powerFrame);
    m_power = choice(powerFrame, "powerChoice", {QStringLiteral("N"), QStringLiteral("R"), QStringLiteral("D")});
    powerBox->addWidget(m_power);
    tnc->addWidget(powerFrame, 3, 0, 1, 2);
    auto *handshakeFrame = frame(m_tncFrame, "fraHandshake", QStringLiteral("Handshaking"));
    auto *handshakeBox = new QHBoxLayout(handshakeFrame);
    for (int i = 0; i < 4; ++i) {
        m_handshakes[size_t(i)] = option(handshakeFrame, HandshakeNames[i], QLatin1String(HandshakeCaptions[i]));
        handshakeBox->addWidget(m_handshakes[size_t(i)]);
    }
    tnc->addWidget(handshakeFrame, 3, 2, 1, 2);
    tnc->addWidget(label(m_tncFrame, "lblHex", QStringLiteral("TNC cmd mode hex character:")), 4, 0, 1, 2);
    m_commandChar = field(m_tncFrame, "txtHex", 2);
    tnc->addWidget(m_commandChar, 4, 2);
    m_convertToHex = new QCheckBox(QStringLiteral("Convert to Hex"), m_tncFrame);
    m_convertToHex->setObjectName(QStringLiteral("chkConvToHex"));
    tnc->addWidget(m_convertToHex, 4, 3);
    left->addWidget(m_tncFrame);

    m_telnetFrame = frame(this, "fraTelnet", QStringLiteral("Telnet"));
    auto *telnet = new QGridLayout(m_telnetFrame);
    telnet->addWidget(new QLabel(QStringLiteral("Host:"), m_telnetFrame), 0, 0);
    m_telnetHost = field(m_telnetFrame, "txtTelnetHost");
    telnet->addWidget(m_telnetHost, 0, 1);
    telnet->addWidget(new QLabel(QStringLiteral("Port:"), m_telnetFrame), 1, 0);
    m_telnetPort = field(m_telnetFrame, "txtTelnetPort", 5);
    m_telnetPort->setValidator(new QIntValidator(1, 65535, m_telnetPort));
    telnet->addWidget(m_telnetPort, 1, 1);
    left->addWidget(m_telnetFrame);

    m_agwFrame = frame(this, "fraAgw", QStringLiteral("AGW Packet Engine"));
    auto *agw = new QGridLayout(m_agwFrame);
    agw->addWidget(new QLabel(QStringLiteral("Host:"), m_agwFrame), 0, 0);
    m_agwHost = field(m_agwFrame, "agwHost");
    agw->addWidget(m_agwHost, 0, 1);
    agw->addWidget(new QLabel(QStringLiteral("Port:"), m_agwFrame), 1, 0);
    m_agwPort = field(m_agwFrame, "agwPort", 5);
    m_agwPort->setValidator(new QIntValidator(1, 65535, m_agwPort));
    agw->addWidget(m_agwPort, 1, 1);
    left->addWidget(m_agwFrame);

    auto *display = frame(this, "fraDisplay", QStringLiteral("Main Form Display"));
    auto *displayBox = new QHBoxLayout(display);
    m_listOption = option(display, "OptList", QStringLiteral("List"));
    m_bandOption = option(display, "OptBand", QStringLiteral("Band Map"));
    displayBox->addWidget(m_listOption);
    displayBox->addWidget(m_bandOption);
    left->addWidget(display);
    m_dxOnly = new QCheckBox(QStringLiteral("List DX Only (also controls main form)"), this);
    m_dxOnly->setObjectName(QStringLiteral("chkDX"));
    connect(m_dxOnly, &QCheckBox::toggled, m_session, &SpotSession::setDxOnly);
    left->addWidget(m_dxOnly);
    auto *help = label(this, "lblHelp", HelpText);
    help->setWordWrap(true);
    left->addWidget(help);
    left->addStretch(1);

    m_listening = label(this, "Label4", QStringLiteral("Listening"));
    m_listening->hide();
    right->addWidget(m_listening);
    m_received = new QPlainTextEdit(this);
    m_received->setObjectName(QStringLiteral("txtUnProcessed"));
    m_received->setReadOnly(true);
    // Cluster lines are laid out in columns.
    m_received->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_received->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_received->setMinimumWidth(560);
    right->addWidget(m_received, 1);
    m_sendPrompt = label(this, "Label6");
    right->addWidget(m_sendPrompt);
    m_sendBox = field(this, "txtSent");
    m_sendBox->installEventFilter(this);
    right->addWidget(m_sendBox);
    auto *buttons = new QHBoxLayout;
    auto *openButton = button(this, "Command1", QStringLiteral("Open Port"));
    auto *closeButton = button(this, "Command2", QStringLiteral("Close Port"));
    auto *spotLastButton = button(this, "Command3", QStringLiteral("&Spot Last"));
    auto *doneButton = button(this, "cmdDone", QStringLiteral("Done"));
    for (auto *b : {openButton, closeButton, spotLastButton, doneButton})
        buttons->addWidget(b);
    right->addLayout(buttons);
    connect(openButton, &QPushButton::clicked, this, [this] {
        readControls();
        m_session->open();
        if (m_session->isListening())
            m_sendBox->setFocus();
    });
    connect(closeButton, &QPushButton::clicked, m_session, &SpotSession::close);
    connect(spotLastButton, &QPushButton::clicked, this, &SpottingWindow::spotLast);
    connect(doneButton, &QPushButton::clicked, this, &SpottingWindow::done);
}

void SpottingWindow::showSettings()
{
    const SpotSettings &s = m_settings;
    m_sources->setCurrentRow(int(s.source));
    m_ports[size_t(std::clamp(s.port, 1, 10) - 1)]->setChecked(true);
    m_bauds[size_t(std::max<qsizetype>(0, SpotSettings::bauds().indexOf(s.baud)))]->setChecked(true);
    m_parity->setCurrentText(s.parity);
    m_dataBits->setCurrentText(s.dataBits);
    m_stopBits->setCurrentText(s.stopBits);
    m_power->setCurrentText(s.power);
    m_handshakes[size_t(std::clamp(s.handshake, 1, 4) - 1)]->setChecked(true);
    m_commandChar->setText(s.commandChar);
    m_convertToHex->setChecked(s.convertToHex);
    m_telnetHost->setText(s.telnetHost);
    m_telnetPort->setText(QString::number(s.telnetPort));
    m_agwHost->setText(s.agwHost);
    m_agwPort->setText(QString::number(s.agwPort));
    m_dxOnly->setChecked(s.dxOnly);
    (s.listDisplay ? m_listOption : m_bandOption)->setChecked(true);
    showSourceControls();
}

void SpottingWindow::readControls()
{
    SpotSettings &s = m_settings;
    for (int i = 0; i < 10; ++i)
        if (m_ports[size_t(i)]->isChecked())
            s.port = i + 1;
    for (int i = 0; i < 6; ++i)
        if (m_bauds[size_t(i)]->isChecked())
            s.baud = SpotSettings::bauds().at(i);
    for (int i = 0; i < 4; ++i)
        if (m_handshakes[size_t(i)]->isChecked())
            s.handshake = i + 1;
    s.parity = m_parity->currentText().at(0);
    s.dataBits = m_dataBits->currentText().at(0);
    s.stopBits = m_stopBits->currentText().at(0);
    s.power = m_power->currentText().at(0);
    if (m_commandChar->text().trimmed().size() == 2)
        s.commandChar = m_commandChar->text().trimmed().toUpper();
    s.convertToHex = m_convertToHex->isChecked();
    s.telnetHost = m_telnetHost->text().trimmed();
    // A port outside 1 to 65535 is refused when the connection is opened.
    s.telnetPort = m_telnetPort->text().toInt();
    s.agwHost = m_agwHost->text().trimmed();
    s.agwPort = m_agwPort->text().toInt();
    s.listDisplay = m_listOption->isChecked();
}

void SpottingWindow::showSourceControls()
{
    const Source s = m_settings.source;
    m_tncFrame->setVisible(s == Source::Tnc);
    m_telnetFrame->setVisible(s == Source::Telnet);
    m_agwFrame->setVisible(s == Source::Agw);
    m_sendPrompt->setText(promptFor(s));
}

void SpottingWindow::chooseSource(int row)
{
    m_session->close();
    m_dxOnly->setChecked(false);
    readControls();
    m_settings.source = Source(std::clamp(row, 0, 3));
    if (m_settings.source == Source::Tnc) {
        m_settings.chooseTncDefaults();
        showSettings();
    }
    showSourceControls();
}

void SpottingWindow::load()
{
    m_settings.load(m_file);
    showSettings();
    m_session->setDxOnly(m_settings.dxOnly);
    if (m_settings.source != Source::None)
        m_session->open();
}

void SpottingWindow::showReceived()
{
    m_received->setPlainText(m_session->feed().text());
    m_received->moveCursor(QTextCursor::End);
    m_received->verticalScrollBar()->setValue(m_received->verticalScrollBar()->maximum());
}

void SpottingWindow::spotLast()
{
    const QString call = lastCall ? lastCall() : QString();
    m_sendBox->setText(QStringLiteral("DX Frequency in kHz ") + call);
    m_sendBox->setFocus();
    m_sendBox->setSelection(3, 16);
}

void SpottingWindow::done()
{
    readControls();
    if (m_settings.source != Source::None && !m_session->isListening())
        m_session->open();
    emit preferencesWanted();
    m_settings.save(m_file);
    emit displayChosen(m_settings.listDisplay);
    hide();
}

void SpottingWindow::escape()
{
    readControls();
    m_session->commandMode();
    m_sendBox->setFocus();
}

void SpottingWindow::keyPressEvent(QKeyEvent *e)
{
    const bool ctrlC = e->key() == Qt::Key_C && (e->modifiers() & Qt::ControlModifier);
    if (e->key() == Qt::Key_Escape || ctrlC) {
        escape();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool SpottingWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_sendBox && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            readControls();
            const QString text = m_sendBox->text();
            m_sendBox->clear();
            m_session->send(text);
            return true;
        }
        const bool ctrlC = k->key() == Qt::Key_C && (k->modifiers() & Qt::ControlModifier) &&
                           !m_sendBox->hasSelectedText();
        if (k->key() == Qt::Key_Escape || ctrlC) {
            escape();
            // To the packet engine Esc starts a command.
            if (k->key() == Qt::Key_Escape && m_settings.source == Source::Agw)
                m_sendBox->insert(QStringLiteral(":"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
