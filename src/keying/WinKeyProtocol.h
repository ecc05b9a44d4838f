#pragma once
// The WinKey keyer's host protocol as bytes: the admin commands that open,
// close and test the link, the settings commands, the buffer commands, and
// the status bytes the keyer sends of its own accord. Plain functions, so
// that what goes on the wire can be checked without a keyer.
#include <QByteArray>
#include <QChar>
#include <QString>

namespace WinKey {

// Answers of opening the keyer, as the setup window shows them.
enum OpenResult : int {
    Success = 0,
    NoEchoResponse = -1,
    EchoMismatch = -2,
    NoOpenResponse = -3,
    ComOpenFailed = -4,
    GetComFailed = -5,
    SetComFailed = -6,
    AlreadyOpen = -8,
    NotOpen = -9,
};
// The text of a result; empty for a code that has none.
QString resultText(int code);

// Line settings: 1200 baud, 8 data bits, no parity, 2 stop bits.
constexpr int Baud = 1200;

QByteArray hostOpen();              // 00 02, answered with the version byte
QByteArray hostClose();             // 00 03
QByteArray echoTest(char probe);    // 00 04 b, answered with b
QByteArray speed(int wpm);          // 02 n
QByteArray weight(int weight);      // 03 n
QByteArray leadTail(int leadIn, int tail); // 04 a b, 10 ms units
QByteArray backspace();             // 08
QByteArray pinConfig(int pins);     // 09 n
QByteArray clearBuffer();           // 0A
QByteArray mode(int modeRegister);  // 0E n
QByteArray requestStatus();         // 15, answered with a status byte
QByteArray ratio(int ratio);        // 17 n

// A character of the text to send: printable ASCII only (bytes below 0x20
// are commands to the keyer), and not "!", which marks where the contact is
// logged. Empty when the character is not for the keyer.
QByteArray character(QChar ch);

// Status bytes have both top bits set (11xxxxxx); the keyer's speed-pot
// bytes (10xxxxxx) and answers to commands do not.
constexpr quint8 StatusXoff = 0x01;   // buffer more than two thirds full
constexpr quint8 StatusBreakIn = 0x02; // the paddles are in use
constexpr quint8 StatusBusy = 0x04;   // Morse is being sent
constexpr quint8 StatusIdle = 0xC0;
inline bool isStatus(quint8 b) { return (b & 0xC0) == 0xC0; }

// The status as the feed and the keys compare it: above 4 the feed waits
// before handing over the next character (the keyer's buffer is nearly
// full); above 0 the keyer is sending, so Esc clears its buffer and
// Backspace takes its last character back.
constexpr int LevelIdle = 0;
constexpr int LevelBreakIn = 2;
constexpr int LevelBusy = 4;
constexpr int LevelHold = 8;
int statusLevel(quint8 statusByte);

} // namespace WinKey
