#include "keying/CwKeyer.h"

#include "keying/CwMacros.h"
#include "keying/KeyingHooks.h"
#include "keying/Morse.h"
#include "platform/Dialogs.h"
#include "platform/KeyLine.h"
#include "platform/PortArbiter.h"
#include "platform/SeqFile.h"

#include <QCoreApplication>
#include <QTimer>
#include <cmath>

const QString CwKeyer::KeyboardModeText = QStringLiteral("Keyboard CW Mode is on.  Press F12 to exit.");

namespace {
const QString InvalidPortTitle = QStringLiteral("Invalid port.");
const QString InvalidSerialText =
    QStringLiteral("The port you have selected for CW keying is invalid.  Please select another or enter 0 for none.");
const QString InvalidPrinterText =
    QStringLiteral("The printer port you have selected for CW keying cannot be used.  Please enter its "
                   "address (such as &H378) or select another keying output.");
const QString NoSpeedText = QStringLiteral("CW is not sent at a speed of 0 WPM or below.");
} // namespace

CwKeyer::CwKeyer(PortArbiter &ports, QObject *parent) : QObject(parent), m_ports(ports)
{
    m_repeatTimer = new QTimer(this);
    m_repeatTimer->setObjectName(QStringLiteral("tmrRepeat"));
    m_repeatTimer->setSingleShot(true);
    connect(m_repeatTimer, &QTimer::timeout, this, [this] { sendMessage(F1); });
    m_pump = [] { QCoreApplication::processEvents(); };
}

CwKeyer::~CwKeyer() { m_ports.close(PortRole::CwKey); }

void CwKeyer::loadSettings(const QString &cwFile)
{
    settings.loadTiming();
    settings.load(cwFile);
    applyLoopDelay();
}

bool CwKeyer::saveSettings(const QString &cwFile, QString *error) const
{
    settings.saveTiming();
    return settings.save(cwFile, error);
}

bool CwKeyer::dropLast()
{
    if (m_buffer.isEmpty())
        return false;
    m_buffer.chop(1);
    return true;
}

QString CwKeyer::callText() const { return m_entry ? m_entry->callText() : QString(); }

void CwKeyer::setBusy(bool busy)
{
    if (m_busy == busy)
        return;
    m_busy = busy;
    emit busyChanged(busy);
}

void CwKeyer::letEventsRun()
{
    if (m_yielding)
        return;
    m_yielding = true;
    m_pump();
    m_yielding = false;
}

KeyLine *CwKeyer::lineFor(int output)
{
    m_failureDetail.clear();
    const auto held = m_ports.request(PortRole::CwKey);
    if (output == KeyingOutput::Printer) {
        const KeyLineRequest wanted = KeyLineRequest::parallel(settings.printerAddress);
        if (held != wanted && !m_ports.open(PortRole::CwKey, wanted, &m_failureDetail)) {
            m_failure = Failure::PrinterPort;
            return nullptr;
        }
        return m_ports.line(PortRole::CwKey);
    }
    const int port = settings.portNumber();
    if (port <= 0) {
        // Port 0 is "none": the message takes its time with nothing keyed.
        if (held)
            m_ports.close(PortRole::CwKey);
        return nullptr;
    }
    if (held != KeyLineRequest::serial(port) &&
        !m_ports.open(PortRole::CwKey, KeyLineRequest::serial(port), &m_failureDetail)) {
        m_failure = Failure::SerialPort;
        return nullptr;
    }
    KeyLine *line = m_ports.line(PortRole::CwKey);
    line->useSignal(output == KeyingOutput::Dtr ? KeyLine::Signal::Dtr : KeyLine::Signal::Rts);
    return line;
}

bool CwKeyer::transmit(QChar ch)
{
    const int output = settings.output;
    if (output != KeyingOutput::Rts && output != KeyingOutput::Dtr && output != KeyingOutput::Printer)
        return true;
    KeyLine *line = lineFor(output);
    if (m_failure != Failure::None)
        return false;
    if (ch == u'!') {
        // The contact is logged at this point of the message.
        if (!callText().isEmpty() && m_entry)
            m_entry->logContact();
        return true;
    }
    const std::string elements = Morse::elements(ch, settings.wordSpaceValue());
    if (elements.empty())
        return true;
    if (!(settings.wpmValue() > 0)) {
        m_failure = Failure::Speed;
        return false;
    }
    ElementPacer pacer(settings.method, settings.loopOffset);
    pacer.startCharacter();
    for (char e : elements) {
        const double wpm = settings.wpmValue();
        if (!(wpm > 0)) {
            m_failure = Failure::Speed;
            break;
        }
        const bool down = e == '1';
        if (line && line->isDown() != down && !line->setKey(down)) {
            m_failure = Failure::Line;
            m_failureDetail = line->lastError();
            break;
        }
        pacer.waitElement(wpm);
    }
    // Every string ends key up; a character given up must too.
    if (line && line->isDown())
        line->setKey(false);
    return m_failure == Failure::None;
}

void CwKeyer::sendBuffer()
{
    if (settings.output == KeyingOutput::WinKey) {
        if (!m_external) {
            m_buffer.clear();
            return;
        }
        if (!callText().isEmpty() && m_buffer.contains(u'!') && m_entry)
            m_entry->logContact();
        m_external->transmit(m_buffer);
        if (m_repeatPending)
            m_repeatTimer->start();
        return;
    }
    if (m_running)
        return;
    m_running = true;
    m_failure = Failure::None;
    setBusy(true);
    while (!m_buffer.isEmpty()) {
        const QChar ch = m_buffer.front();
        m_buffer.remove(0, 1);
        if (!transmit(ch)) {
            // Given up once for the whole message, not once a character.
            m_buffer.clear();
            m_repeatPending = false;
            break;
        }
        if (settings.displayText)
            emit displayText(m_buffer);
        letEventsRun();
    }
    if (m_repeatPending)
        m_repeatTimer->start();
    m_running = false;
    setBusy(false);
    if (settings.displayText)
        emit displayText(m_keyboardMode ? KeyboardModeText : QString());
    if (m_failure != Failure::None)
        report(std::exchange(m_failure, Failure::None));
}

void CwKeyer::report(Failure failure)
{
    if (failure == Failure::Speed) {
        emit statusText(NoSpeedText);
        return;
    }
    const bool printer = failure == Failure::PrinterPort ||
                         (failure == Failure::Line && settings.output == KeyingOutput::Printer);
    beep();
    msgBox(nullptr, printer ? InvalidPrinterText : InvalidSerialText, InvalidPortTitle);
    if (!m_failureDetail.isEmpty())
        emit statusText(m_failureDetail);
    emit portSetupFailed();
}

void CwKeyer::sendMessage(int keyCode)
{
    m_buffer.clear();
    if (settings.output == KeyingOutput::None)
        return;
    QString text;
    if (keyCode >= F1 && keyCode <= F9)
        text = settings.messages[size_t(keyCode - F1)];
    else if (keyCode == F10)
        text = settings.messages[CwSettings::F10];
    else if (keyCode == F11)
        text = settings.messages[CwSettings::F11];
    else
        return;
    if (keyCode == F1 && settings.loopDelaySeconds() > 0)
        m_repeatPending = true;
    m_buffer += expandWildcards(text, callText(), m_entry ? m_entry->reportText() : QString());
    sendBuffer();
    letEventsRun();
}

bool CwKeyer::setupPort()
{
    const int output = settings.output;
    const bool serial = output == KeyingOutput::Rts || output == KeyingOutput::Dtr;
    const auto held = m_ports.request(PortRole::CwKey);
    if (held && held->kind == KeyLineRequest::Kind::Serial)
        m_ports.close(PortRole::CwKey);
    if (!serial || settings.portNumber() <= 0)
        return true;
    m_failure = Failure::None;
    KeyLine *line = lineFor(output);
    if (m_failure != Failure::None) {
        report(std::exchange(m_failure, Failure::None));
        return false;
    }
    // Opened, but perhaps unable to switch its lines (a pseudo-terminal).
    if (line && !line->lastError().isEmpty())
        emit statusText(line->lastError());
    return true;
}

void CwKeyer::printerAddressChanged()
{
    const auto held = m_ports.request(PortRole::CwKey);
    if (held && held->kind == KeyLineRequest::Kind::Parallel)
        m_ports.close(PortRole::CwKey);
}

void CwKeyer::speedUp()
{
    settings.wpm = seqNumber(settings.wpmValue() + 1);
    emit speedChanged(settings.wpm);
}

void CwKeyer::speedDown()
{
    settings.wpm = seqNumber(settings.wpmValue() - 1);
    emit speedChanged(settings.wpm);
}

void CwKeyer::stopRepeat()
{
    if (m_external && m_external->isOpen())
        m_external->clearBuffer();
    m_buffer.clear();
    m_repeatPending = false;
    m_repeatTimer->stop();
}

void CwKeyer::applyLoopDelay()
{
    const auto seconds = parseNumber(settings.loopDelay);
    if (seconds && *seconds >= 0 && *seconds < 60) {
        m_repeatTimer->setInterval(int(std::lround(*seconds * 1000)));
    } else {
        settings.loopDelay = QStringLiteral("0");
        m_repeatTimer->setInterval(0);
    }
}
