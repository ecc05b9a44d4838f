#pragma once
// A client of a packet engine's AGW TCP interface (the AGW Packet Engine,
// Direwolf, ...). Every frame is a 36-byte header (port, kind, PID, from
// and to calls of 10 bytes, data length, a reserved word; numbers little
// endian) and its data. The client registers the own call, asks for the
// monitored frames and the engine's version, connects to a station, sends
// to it and disconnects. Frames are collected as they arrive and taken all
// at once by the spotting tick; a frame announcing more than 64 KiB of data
// ends the connection.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <optional>

struct AgwFrame {
    static constexpr int HeaderSize = 36;
    static constexpr quint32 MaxData = 64 * 1024;

    quint8 port = 0;
    char kind = 0;
    quint8 pid = 0;
    QString from, to;
    QByteArray data;

    QByteArray encode() const;
    // One frame from the front of buffer, which loses it; nothing while the
    // frame is incomplete. *tooLarge is set for a frame over MaxData.
    static std::optional<AgwFrame> take(QByteArray &buffer, bool *tooLarge);
};

class AgwClient : public QObject {
    Q_OBJECT
public:
    explicit AgwClient(QObject *parent = nullptr);

    // Connects to the engine and, once connected, registers the call, turns
    // monitoring on and asks for the version.
    void open(const QString &host, quint16 port, const QString &ownCall);
    void close();
    bool isOpen() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    // The engine's version once it told it ("2005.127").
    QString version() const { return m_version; }

    // The frames that arrived since the last call, in order.
    QList<AgwFrame> takeFrames();

    void connectTo(const QString &call);
    void disconnectFrom(const QString &call);
    void sendTo(const QString &call, const QByteArray &data);

signals:
    // The engine accepted the call.
    void registered();
    // The engine could not be reached, refused the call, or broke the protocol.
    void failed(const QString &why);
    void versionKnown();

private:
    void send(char kind, const QString &to = QString(), const QByteArray &data = QByteArray());
    void readFrames();

    QTcpSocket m_socket;
    QString m_ownCall;
    QString m_version;
    QByteArray m_in;
    QList<AgwFrame> m_frames;
};
