#pragma once
// The rig window's settings as "RigCntrl.txt" keeps them: serial line, port,
// interface power, poll rate, rig model, queries and how the reply is used.
#include <QChar>
#include <QString>
#include <QStringList>

struct RigSettings {
    enum class ModeBy { Rig = 1, Frequency = 2, DontUse = 3 };

    QString baud = QStringLiteral("4800"); // trimmed; stored space-padded to 5
    QChar parity = QLatin1Char('N'), dataBits = QLatin1Char('8'), stopBits = QLatin1Char('2');
    QString freqQuery, modeQuery;
    int port = 1;                          // 1 to 10
    QChar power = QLatin1Char('N');        // N, R (RTS) or D (DTR)
    QChar pollRate = QLatin1Char('M');     // F, M, S or R
    QString rigType = QStringLiteral("None");
    bool convertToHex = false;
    bool useFrequency = true;
    ModeBy modeBy = ModeBy::Rig;
    // Where Hamlib's rigctld listens.
    QString rigctldHost = QStringLiteral("127.0.0.1");
    int rigctldPort = 4532;
    // The folder of the Pegasus program's exchange files.
    QString pegasusFolder = defaultPegasusFolder();

    static QString defaultPegasusFolder();
    static const QStringList &bauds();
    // "4800,N,8,2"
    QString settingsText() const;
    // The poll timer's interval: half the rate shown, as one poll is a send
    // tick and a read tick.
    int tickMs() const;

    // Values that are not one of their choices are left at what they were;
    // warnings name them. A missing or short file is not a fault.
    bool load(const QString &path, QStringList *warnings = nullptr);
    bool save(const QString &path, QString *error = nullptr) const;
};
