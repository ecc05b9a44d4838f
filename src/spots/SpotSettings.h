#pragma once
// The spotting window's settings as "PackSpot.txt" keeps them: the source,
// the TNC's serial line, the Telnet cluster, the AGW engine's address and
// the main window's spot display.
#include <QChar>
#include <QString>
#include <QStringList>

struct SpotSettings {
    enum class Source { None, Tnc, Agw, Telnet };

    QString baud = QStringLiteral("9600");
    QChar parity = QLatin1Char('N'), dataBits = QLatin1Char('8'), stopBits = QLatin1Char('1');
    int port = 1;                   // 1 to 10
    QChar power = QLatin1Char('N'); // N, R (RTS) or D (DTR)
    Source source = Source::None;
    bool convertToHex = false;
    int handshake = 3;              // 1 none, 2 XON/XOFF, 3 RTS/CTS, 4 both
    bool dxOnly = false;
    bool listDisplay = true;        // the spot list, else the band map
    QString commandChar = QStringLiteral("03");
    int telnetPort = 23;
    QString telnetHost;
    QString agwHost = QStringLiteral("127.0.0.1");
    int agwPort = 8000;

    static const QStringList &sourceNames(); // "None", "TNC", "AGW Packet Engine", "Telnet"
    static const QStringList &bauds();
    QString sourceName() const;
    // "9600,N,8,1"
    QString settingsText() const;
    // The TNC's defaults, set whenever TNC is chosen.
    void chooseTncDefaults();

    // Values outside their choices keep what they were. A missing or short
    // file is not a fault.
    bool load(const QString &path);
    bool save(const QString &path, QString *error = nullptr) const;
};
