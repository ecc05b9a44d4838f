#pragma once
// The WinKey keyer's settings as its setup window holds them, kept in WK.txt
// of the product data folder: the port, the speed, weight, lead-in, tail and
// ratio as typed, the pin configuration and the keyer mode. The texts are
// checked when they are sent; a text out of its range goes back to its
// default and nothing is sent for it.
#include <QByteArray>
#include <QString>
#include <optional>

struct WinKeySettings {
    // Pin configuration choices.
    static constexpr int Key5Out3Off = 8;
    static constexpr int Key5Off3Out = 4;
    static constexpr int Tone = 6;
    static constexpr int Ptt = 5;
    // Keyer mode choices (the key-mode bits of the mode register).
    static constexpr int IambicB = 0x00;
    static constexpr int IambicA = 0x10;
    static constexpr int Ultimatic = 0x20;
    static constexpr int Bug = 0x30;

    struct Field {
        QString WinKeySettings::*text;
        int lowest, highest;
        const char *fallback;
    };
    static const Field Wpm, Weight, LeadIn, Tail, Ratio;

    int port = 0;
    QString wpm = QStringLiteral("18");
    QString weight = QStringLiteral("50");
    QString leadIn = QStringLiteral("0");
    QString tail = QStringLiteral("0");
    QString ratio = QStringLiteral("50");
    int pinConfig = Tone;
    int keyerMode = IambicB;

    static QString fileName();

    // Reads WK.txt over these values: a missing file changes nothing, a
    // short one (older files end after the ratio) or a damaged value keeps
    // the values from that point on. True when all eight were read.
    bool load(const QString &path);
    QByteArray fileData() const;
    bool save(const QString &path, QString *error = nullptr) const;

    // The value of a field when it is a whole number within its range;
    // otherwise the field is set back to its default and nothing returned.
    std::optional<int> accept(const Field &f);
    // A whole number from lowest to highest, or nothing.
    static std::optional<int> number(const QString &text, int lowest, int highest);
};
