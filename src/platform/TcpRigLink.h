#pragma once
// A rig reached through a rig control daemon (Hamlib's rigctld) over TCP.
#include "platform/RigLink.h"

#include <QTcpSocket>

class TcpRigLink : public RigLink {
    Q_OBJECT
public:
    TcpRigLink(const QString &host, quint16 port, QObject *parent = nullptr);
    // Starts connecting; a refused or lost connection is told through lost.
    bool open(QString *error) override;
    void close() override;
    bool isReady() const override { return m_socket.state() == QAbstractSocket::ConnectedState; }
    void write(const QByteArray &bytes) override;
    QByteArray readAll() override { return m_socket.readAll(); }
    qint64 bytesToWrite() const override { return m_socket.bytesToWrite(); }

private:
    QString m_host;
    quint16 m_port;
    QTcpSocket m_socket;
    bool m_closing = false;
};
