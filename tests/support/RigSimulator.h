#pragma once
// A transceiver on a pseudo-terminal pair made by socat: the logger opens
// `device`, the simulator answers on the other end the rig's real query
// bytes with the rig's reply layout, from a frequency and mode the test
// sets. It can answer in two pieces, garbled, cut short or not at all, and
// its line can be pulled and plugged back.
#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>

class RigSimulator : public QObject {
    Q_OBJECT
public:
    enum class Answer { Normal, Split, Silent, Garbled, Short };

    explicit RigSimulator(const QString &rigType);
    ~RigSimulator() override;

    // The line is up: both ends exist and the rig side is open.
    bool ready() const { return m_ready; }
    QString device() const { return m_dir.filePath(QStringLiteral("rig")); }
    // Pulls the cable: the pair goes away.
    void unplug();
    // Plugs it back with the same names; true when the line is up again.
    bool plugIn();

    qint64 hz = 144200000;
    bool cw = false;
    // The mode the last mode command set ("USB", "CW" ...); frequency
    // commands set hz.
    QString modeSet;
    Answer answer = Answer::Normal;
    int splitDelayMs = 70; // when the second piece of a split reply follows
    // Each query received, with its arrival in ms since the simulator started.
    QList<QByteArray> queries;
    QList<qint64> arrivals;

private:
    void received();
    QByteArray replyTo(const QByteArray &query);
    // A frequency or mode command: true when it was one (the rig takes it).
    bool setBy(const QByteArray &command);
    void setMode(const QString &mode);
    void send(QByteArray reply);

    QString m_rig;
    QTemporaryDir m_dir;
    QProcess m_socat;
    QSerialPort m_port;
    QByteArray m_in;
    QByteArray m_held; // the rest of a reply sent in two pieces
    QElapsedTimer m_clock;
    bool m_ready = false;
};
