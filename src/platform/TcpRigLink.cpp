#include "platform/TcpRigLink.h"

TcpRigLink::TcpRigLink(const QString &host, quint16 port, QObject *parent)
    : RigLink(parent), m_host(host), m_port(port)
{
    connect(&m_socket, &QAbstractSocket::errorOccurred, this, [this] {
        if (m_closing)
            return;
        const QString why = QStringLiteral("rigctld at %1 port %2: %3").arg(m_host).arg(m_port).arg(m_socket.errorString());
        m_socket.abort();
        emit lost(why);
    });
}

bool TcpRigLink::open(QString *error)
{
    if (m_host.trimmed().isEmpty() || m_port == 0) {
        if (error)
            *error = QStringLiteral("no rigctld host and port");
        return false;
    }
    m_closing = false;
    m_socket.abort();
    m_socket.connectToHost(m_host, m_port);
    return true;
}

void TcpRigLink::close()
{
    m_closing = true;
    m_socket.abort();
}

void TcpRigLink::write(const QByteArray &bytes)
{
    if (isReady())
        m_socket.write(bytes);
}
