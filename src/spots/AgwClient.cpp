#include "spots/AgwClient.h"

#include <QtEndian>

namespace {
void putCall(QByteArray &out, const QString &call)
{
    QByteArray c = call.toLatin1().left(9);
    c.append(QByteArray(10 - c.size(), '\0'));
    out.append(c);
}

QString callAt(const QByteArray &header, int offset)
{
    const QByteArray field = header.mid(offset, 10);
    const qsizetype end = field.indexOf('\0');
    return QString::fromLatin1(end < 0 ? field : field.left(end)).trimmed();
}

quint32 wordAt(const QByteArray &b, int offset)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(b.constData() + offset));
}
} // namespace

QByteArray AgwFrame::encode() const
{
    QByteArray out;
    out.append(char(port)).append(3, '\0');
    out.append(kind).append('\0');
    out.append(char(pid)).append('\0');
    putCall(out, from);
    putCall(out, to);
    uchar length[4];
    qToLittleEndian<quint32>(quint32(data.size()), length);
    out.append(reinterpret_cast<const char *>(length), 4);
    out.append(4, '\0');
    return out + data;
}

std::optional<AgwFrame> AgwFrame::take(QByteArray &buffer, bool *tooLarge)
{
    if (tooLarge)
        *tooLarge = false;
    if (buffer.size() < HeaderSize)
        return std::nullopt;
    const quint32 length = wordAt(buffer, 28);
    if (length > MaxData) {
        if (tooLarge)
            *tooLarge = true;
        return std::nullopt;
    }
    if (buffer.size() < HeaderSize + qsizetype(length))
        return std::nullopt;
    AgwFrame f;
    f.port = quint8(buffer[0]);
    f.kind = buffer[4];
    f.pid = quint8(buffer[6]);
    f.from = callAt(buffer, 8);
    f.to = callAt(buffer, 18);
    f.data = buffer.mid(HeaderSize, length);
    buffer.remove(0, HeaderSize + length);
    return f;
}

AgwClient::AgwClient(QObject *parent) : QObject(parent)
{
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        send('X');
        send('m');
        send('R');
    });
    connect(&m_socket, &QTcpSocket::readyRead, this, &AgwClient::readFrames);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] {
        const QString why = m_socket.errorString();
        m_socket.abort();
        emit failed(why);
    });
}

void AgwClient::open(const QString &host, quint16 port, const QString &ownCall)
{
    close();
    m_ownCall = ownCall.toUpper();
    m_socket.connectToHost(host, port);
}

void AgwClient::close()
{
    m_socket.abort();
    m_in.clear();
    m_frames.clear();
    m_version.clear();
}

QList<AgwFrame> AgwClient::takeFrames() { return std::exchange(m_frames, {}); }

void AgwClient::connectTo(const QString &call) { send('C', call); }

void AgwClient::disconnectFrom(const QString &call) { send('d', call); }

void AgwClient::sendTo(const QString &call, const QByteArray &data) { send('D', call, data); }

void AgwClient::send(char kind, const QString &to, const QByteArray &data)
{
    if (!isOpen())
        return;
    AgwFrame f;
    f.kind = kind;
    f.pid = kind == 'D' ? 0xF0 : 0;
    f.from = m_ownCall;
    f.to = to;
    f.data = data;
    m_socket.write(f.encode());
}

void AgwClient::readFrames()
{
    m_in += m_socket.readAll();
    for (;;) {
        bool tooLarge = false;
        auto f = AgwFrame::take(m_in, &tooLarge);
        if (tooLarge) {
            m_socket.abort();
            m_in.clear();
            emit failed(QStringLiteral("the engine sent a frame of more than 64 KiB"));
            return;
        }
        if (!f)
            return;
        if (f->kind == 'X') {
            if (!f->data.isEmpty() && f->data[0] == 1)
                emit registered();
            else
                emit failed(QStringLiteral("the engine refused the call ") + m_ownCall);
        } else if (f->kind == 'R' && f->data.size() >= 8) {
            m_version = QStringLiteral("%1.%2").arg(wordAt(f->data, 0)).arg(wordAt(f->data, 4));
            emit versionKnown();
        } else {
            m_frames.append(*f);
        }
    }
}
