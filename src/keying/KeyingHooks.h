#pragma once
// What the keying classes need from the rest of the program, as small
// interfaces the main window, the keyer window and the voice keyer fill in.
#include <QString>

// The logging entry: the call and report that messages carry, logging the
// contact from inside a message, and the status line.
class EntryAccess {
public:
    virtual ~EntryAccess() = default;
    virtual QString callText() const = 0;
    virtual QString reportText() const = 0;
    // Logs the contact now, as Enter in the entry does.
    virtual void logContact() = 0;
    // The entry's Clear action.
    virtual void clearEntry() = 0;
    // Esc while nothing is sent: by default the Clear action.
    virtual void cancel() { clearEntry(); }
    // The current mode: "PH" for phone, anything else is CW.
    virtual QString mode() const = 0;
    // The one-line status label and its background (bytes blue, green, red).
    virtual void showStatus(const QString &text) = 0;
    virtual void setStatusBackground(quint32 bgr) = 0;
};

// An external keyer that times the CW itself (the WinKey): when it is the
// keying output, the buffer is handed to it instead of being keyed here.
class ExternalKeyer {
public:
    virtual ~ExternalKeyer() = default;
    virtual bool isOpen() const = 0;
    // Takes the text (and empties it), opening the keyer first if needed.
    virtual void transmit(QString &text) = 0;
    // The keyer's status byte: above 0 while it is sending.
    virtual int status() = 0;
    virtual void clearBuffer() = 0;
    // Drops the last character not yet sent.
    virtual void backspace() = 0;
};

// The voice keyer, for the function keys in phone mode.
class VoiceKeys {
public:
    virtual ~VoiceKeys() = default;
    // Plays the message of F1..F9 (key codes 112..120).
    virtual void play(int keyCode) = 0;
    virtual bool isPlaying() const = 0;
    virtual void stop() = 0;
    virtual bool repeatPending() const = 0;
    virtual void stopRepeat() = 0;
};
