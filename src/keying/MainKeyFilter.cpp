#include "keying/MainKeyFilter.h"

#include "keying/CwKeyer.h"
#include "keying/KeyingHooks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <optional>

const QString MainKeyFilter::KeyboardOnText =
    QStringLiteral("Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode.");

namespace {
constexpr quint32 KeyboardOnBackground = 0xC0FFFF; // light yellow
constexpr quint32 NormalBackground = 0xC0C000;

// Function keys as the messages are addressed: F1 is 112.
int functionCode(int key) { return key >= Qt::Key_F1 && key <= Qt::Key_F12 ? 112 + (key - Qt::Key_F1) : 0; }

std::optional<MainKeyFilter::Window> shortcutWindow(int key)
{
    using W = MainKeyFilter::Window;
    switch (key) {
    case Qt::Key_W: return W::CwStrings;
    case Qt::Key_C:
    case Qt::Key_S: return W::CwSetup;
    case Qt::Key_P: return W::VoiceKeyer;
    case Qt::Key_D: return W::DxSpotting;
    case Qt::Key_R: return W::Rig;
    case Qt::Key_N:
    case Qt::Key_M: return W::Network;
    case Qt::Key_B: return W::SpectrumMap;
    case Qt::Key_F: return W::BandPlan;
    case Qt::Key_G: return W::RigTune;
    default: return std::nullopt;
    }
}
} // namespace

MainKeyFilter::MainKeyFilter(CwKeyer &keyer, EntryAccess &entry, QObject *parent)
    : QObject(parent), m_keyer(keyer), m_entry(entry)
{
}

MainKeyFilter::~MainKeyFilter()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void MainKeyFilter::watch(QWidget *window)
{
    if (m_windows.isEmpty())
        qApp->installEventFilter(this);
    m_windows.append(window);
}

QString MainKeyFilter::objectName(Window w)
{
    switch (w) {
    case Window::CwStrings: return QStringLiteral("frmCWStrings");
    case Window::CwSetup: return QStringLiteral("CWFrm");
    case Window::VoiceKeyer: return QStringLiteral("PhoneFrm");
    case Window::DxSpotting: return QStringLiteral("PacketSpotfrm");
    case Window::Rig: return QStringLiteral("RigControlfrm");
    case Window::Network: return QStringLiteral("frmNetwork");
    case Window::SpectrumMap: return QStringLiteral("SpectrumMap");
    case Window::BandPlan: return QStringLiteral("frmBandPlan");
    case Window::RigTune: return QStringLiteral("frmRigTune");
    }
    return QString();
}

bool MainKeyFilter::isModal(Window w)
{
    return w == Window::SpectrumMap || w == Window::BandPlan || w == Window::RigTune;
}

bool MainKeyFilter::isPhone() const
{
    return m_entry.mode().compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0;
}

bool MainKeyFilter::takesShortcut(int key, Qt::KeyboardModifiers modifiers) const
{
    if (modifiers & Qt::ControlModifier)
        return shortcutWindow(key).has_value();
    return functionCode(key) || key == Qt::Key_Escape ||
           ((key == Qt::Key_Up || key == Qt::Key_Down) && !isPhone() &&
            m_keyer.settings.output != KeyingOutput::None);
}

bool MainKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !watched->isWidgetType())
        return false;
    QWidget *window = static_cast<QWidget *>(watched)->window();
    if (!m_windows.contains(window))
        return false;
    auto *e = static_cast<QKeyEvent *>(event);
    if (type == QEvent::ShortcutOverride) {
        // These keys are the logger's, not a menu's or a field's shortcut.
        if (takesShortcut(e->key(), e->modifiers())) {
            e->accept();
            return true;
        }
        return false;
    }
    // A key a field leaves alone travels on to its parents; handling it
    // again there changes nothing, as only untaken keys travel.
    return keyDown(e->key(), e->modifiers()) || character(e->key(), e->text());
}

bool MainKeyFilter::keyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier) {
        if (const auto w = shortcutWindow(key)) {
            emit windowRequested(*w);
            return true;
        }
    }
    // Any key ends a CQ loop.
    if (m_keyer.repeatPending())
        m_keyer.stopRepeat();
    if (m_voice && m_voice->repeatPending())
        m_voice->stopRepeat();

    const int code = functionCode(key);
    if (isPhone()) {
        if (code == 121)
            return true;
        if (code >= 112 && code <= 120) {
            if (m_voice)
                m_voice->play(code);
            return true;
        }
        return false;
    }
    if (m_keyer.settings.output == KeyingOutput::None)
        return false;
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        if (key == Qt::Key_Up)
            m_keyer.speedUp();
        else
            m_keyer.speedDown();
        m_entry.showStatus(m_keyer.settings.wpm + QStringLiteral(" WPM"));
        return true;
    }
    if (!code)
        return false;
    if (code == 123) {
        const bool on = !m_keyer.keyboardMode();
        m_keyer.setKeyboardMode(on);
        m_entry.showStatus(on ? KeyboardOnText : QString());
        m_entry.setStatusBackground(on ? KeyboardOnBackground : NormalBackground);
        return true;
    }
    m_keyer.sendMessage(code == 121 ? CwKeyer::F10 : code);
    return true;
}

bool MainKeyFilter::character(int key, const QString &text)
{
    const bool phone = isPhone();
    const bool esc = key == Qt::Key_Escape;
    if (phone && esc && m_voice && m_voice->isPlaying()) {
        m_voice->stop();
        return true;
    }
    if (text == QLatin1String("'") || text == QLatin1String("\""))
        return true;
    ExternalKeyer *keyer = m_keyer.externalKeyer();
    const bool keyerOpen = keyer && keyer->isOpen();
    if (esc && keyerOpen && m_keyer.settings.output == KeyingOutput::WinKey) {
        m_lastKeyerStatus = keyer->status();
        if (m_lastKeyerStatus > 0) {
            keyer->clearBuffer();
            m_keyer.clearBuffer();
            return true;
        }
    }
    if (esc) {
        // Idle: Esc clears the entry. Sending: it stops after the current
        // character and leaves the entry alone.
        if (m_keyer.isBusy())
            m_keyer.clearBuffer();
        else
            m_entry.cancel();
        return true;
    }
    if (keyerOpen)
        m_lastKeyerStatus = keyer->status();
    if (key == Qt::Key_Backspace && m_keyer.keyboardMode()) {
        if (keyerOpen && m_lastKeyerStatus > 0) {
            keyer->backspace();
            return true;
        }
        if (m_keyer.isBusy() && m_keyer.dropLast())
            return true;
    }
    const bool cw = m_entry.mode().compare(QLatin1String("CW"), Qt::CaseInsensitive) == 0;
    if (cw && m_keyer.keyboardMode() && text.size() == 1 && text.at(0).isPrint()) {
        m_keyer.append(text.toUpper());
        if (!m_keyer.isBusy())
            m_keyer.sendBuffer();
        return true;
    }
    return false;
}
