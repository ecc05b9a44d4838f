#pragma once
// The CW settings as the CW setup window holds them: the eleven function-key
// messages, the keying output and its port, speed, word space, display and
// repeat, kept in CW.txt (18 values, one a line); and the timing method with
// its loop constant, kept in the per-user settings store.
#include "keying/CwTiming.h"

#include <QByteArray>
#include <QString>
#include <array>

namespace KeyingOutput {
constexpr int None = 0;
constexpr int Rts = 1;
constexpr int Dtr = 2;
constexpr int Printer = 3;
constexpr int WinKey = 5;
// Values other than these mean None.
inline int checked(double v)
{
    const int i = int(v);
    return double(i) == v && (i == Rts || i == Dtr || i == Printer || i == WinKey) ? i : None;
}
} // namespace KeyingOutput

struct CwSettings {
    // F1..F9, then F10 and F11.
    static constexpr int MessageCount = 11;
    static constexpr int F10 = 9;
    static constexpr int F11 = 10;
    static inline const QString DefaultF9 = QStringLiteral("VVV DE ");

    std::array<QString, MessageCount> messages{{{}, {}, {}, {}, {}, {}, {}, {}, DefaultF9, {}, {}}};
    QString port = QStringLiteral("0");
    QString wpm = QStringLiteral("13");
    QString wordSpace = QStringLiteral("0");
    int output = KeyingOutput::None;
    QString printerAddress = QStringLiteral("&H378");
    bool displayText = false;
    QString loopDelay = QStringLiteral("0");

    TimingMethod method = TimingMethod::Timer;
    double loopOffset = 0;

    // Reads CW.txt over these values: a missing file changes nothing; a
    // short or damaged one (a bare number that is none) keeps the values
    // from that point on. True when all 18 were read.
    bool load(const QString &path);
    // The file's text, and writing it (through a temporary file).
    QByteArray fileData() const;
    bool save(const QString &path, QString *error = nullptr) const;

    // The timing method and loop constant of the settings store.
    void loadTiming();
    void saveTiming() const;

    // The numbers the texts stand for (0 when a text is no number).
    double wpmValue() const;
    int wordSpaceValue() const;
    int portNumber() const;
    double loopDelaySeconds() const;
};

// A number as the setup fields take it: a leading number ("12abc" is 12),
// "&H" marks hexadecimal; 0 when there is none.
double leadingNumber(const QString &text);
