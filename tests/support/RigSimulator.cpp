#include "support/RigSimulator.h"

#include <QFileInfo>
#include <QTest>
#include <QTimer>

namespace {
QByteArray bcd(qint64 value, int bytes, bool leastFirst)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i) {
        const int pair = int(value % 100);
        value /= 100;
        out.append(char((pair / 10) << 4 | (pair % 10)));
    }
    if (!leastFirst)
        std::reverse(out.begin(), out.end());
    return out;
}

QByteArray bigEndian(quint32 v, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((v >> (8 * i)) & 0xFF));
    return out;
}

bool isFamily(const QString &rig, std::initializer_list<const char *> names)
{
    for (const char *n : names)
        if (rig == QLatin1String(n))
            return true;
    return false;
}
} // namespace

RigSimulator::RigSimulator(const QString &rigType) : m_rig(rigType)
{
    m_clock.start();
    connect(&m_port, &QSerialPort::readyRead, this, &RigSimulator::received);
    plugIn();
}

RigSimulator::~RigSimulator() { unplug(); }

void RigSimulator::unplug()
{
    m_port.close();
    m_socat.terminate();
    m_socat.waitForFinished(5000);
    (void)QTest::qWaitFor([this] { return !QFileInfo::exists(device()); }, 5000);
    m_ready = false;
}

bool RigSimulator::plugIn()
{
    const QString peer = m_dir.filePath(QStringLiteral("peer"));
    m_socat.start(QStringLiteral("socat"), {QStringLiteral("pty,raw,echo=0,link=") + device(),
                                            QStringLiteral("pty,raw,echo=0,link=") + peer});
    m_ready = QTest::qWaitFor([&] { return QFileInfo::exists(device()) && QFileInfo::exists(peer); }, 5000);
    if (!m_ready)
        return false;
    m_port.setPortName(peer);
    m_ready = m_port.open(QIODevice::ReadWrite);
    m_in.clear();
    return m_ready;
}

void RigSimulator::received()
{
    m_in += m_port.readAll();
    // Cut the queries the way the rig reads them.
    for (;;) {
        QByteArray query;
        if (isFamily(m_rig, {"Kenwood", "Kenwood 2", "Elecraft", "Yaesu FTdx9000", "Other"})) {
            const qsizetype end = m_in.indexOf(';');
            if (end < 0)
                break;
            query = m_in.left(end + 1);
        } else if (m_rig == QLatin1String("Ten Tec Fnt Pnl") && m_in.startsWith("*A")) {
            if (m_in.size() < 7) // binary frequency: may hold a CR of its own
                break;
            query = m_in.left(7);
        } else if (isFamily(m_rig, {"Ten Tec Orion", "Ten Tec Fnt Pnl"})) {
            const qsizetype end = m_in.indexOf('\r');
            if (end < 0)
                break;
            query = m_in.left(end + 1);
        } else if (m_rig.startsWith(QLatin1String("Icom")) || m_rig == QLatin1String("Ten Tec Omni VI")) {
            const qsizetype start = m_in.indexOf('\xFE'), end = m_in.indexOf('\xFD');
            if (start < 0 || end < 0)
                break;
            query = m_in.left(end + 1).mid(start);
        } else { // the Yaesu binary rigs: five bytes a command
            if (m_in.size() < 5)
                break;
            query = m_in.left(5);
        }
        m_in.remove(0, m_in.indexOf(query) + query.size());
        queries << query;
        arrivals << m_clock.elapsed();
        if (!setBy(query))
            send(replyTo(query));
    }
}

void RigSimulator::setMode(const QString &mode)
{
    modeSet = mode;
    cw = mode == QLatin1String("CW");
}

bool RigSimulator::setBy(const QByteArray &c)
{
    auto digits = [](const QByteArray &d) {
        for (char ch : d)
            if (ch < '0' || ch > '9')
                return false;
        return !d.isEmpty();
    };
    auto fromBcd = [](const QByteArray &b, bool leastFirst) {
        qint64 v = 0;
        for (int i = 0; i < b.size(); ++i) {
            const uchar x = uchar(b[leastFirst ? b.size() - 1 - i : i]);
            v = v * 100 + (x >> 4) * 10 + (x & 0x0F);
        }
        return v;
    };
    static const char *const kenwoodModes[] = {"", "LSB", "USB", "CW", "FM", "AM", "RTTY", "CW-R"};
    if (isFamily(m_rig, {"Kenwood", "Kenwood 2", "Elecraft", "Yaesu FTdx9000"})) {
        const int width = m_rig == QLatin1String("Yaesu FTdx9000") ? 8 : 11;
        if ((c.startsWith("FA") || c.startsWith("FB")) && c.size() == width + 3 && digits(c.mid(2, width))) {
            hz = c.mid(2, width).toLongLong();
            return true;
        }
        const QByteArray md = m_rig == QLatin1String("Yaesu FTdx9000") ? "MD0" : "MD";
        if (c.startsWith(md) && c.size() == md.size() + 2 && c[md.size()] >= '1' && c[md.size()] <= '7') {
            setMode(QLatin1String(kenwoodModes[c[md.size()] - '0']));
            return true;
        }
        return false;
    }
    if (m_rig == QLatin1String("Ten Tec Orion") && c.startsWith("*AF")) {
        hz = qRound64(c.mid(3).trimmed().toDouble() * 1e6);
        return true;
    }
    if (m_rig == QLatin1String("Ten Tec Fnt Pnl") && c.startsWith("*A") && c.size() == 7) {
        hz = qint64(quint32(uchar(c[2])) << 24 | quint32(uchar(c[3])) << 16 | quint32(uchar(c[4])) << 8 | uchar(c[5]));
        return true;
    }
    if (m_rig.startsWith(QLatin1String("Icom")) || m_rig == QLatin1String("Ten Tec Omni VI")) {
        if (c.size() < 7 || (c[4] != '\x05' && c[4] != '\x06'))
            return false;
        static const char *const civModes[] = {"LSB", "USB", "AM", "CW", "RTTY", "FM", "", "CW-R", "RTTY-R"};
        if (c[4] == '\x05')
            hz = fromBcd(c.mid(5, c.size() - 6), true);
        else if (uchar(c[5]) < 9)
            setMode(QLatin1String(civModes[uchar(c[5])]));
        // The echo on the bus, then the rig's "FB" (fine).
        send(c + QByteArray("\xFE\xFE\xE0") + c[2] + "\xFB\xFD");
        return true;
    }
    if (m_rig.startsWith(QLatin1String("Yaesu")) && c.size() == 5) {
        if (m_rig == QLatin1String("Yaesu") && (c[4] == '\x01' || c[4] == '\x07')) {
            static const std::pair<char, const char *> modes[] = {{0, "LSB"}, {1, "USB"}, {2, "CW"}, {4, "AM"},
                                                                  {8, "FM"}, {0x0A, "RTTY"}, {0x0C, "PKT"}};
            if (c[4] == '\x01')
                hz = fromBcd(c.left(4), false) * 10;
            else
                for (const auto &[code, name] : modes)
                    if (c[0] == code)
                        setMode(QLatin1String(name));
            return true;
        }
        if (m_rig != QLatin1String("Yaesu") && (c[4] == '\x0A' || c[4] == '\x0C')) {
            static const char *const modes[] = {"LSB", "USB", "CW", "CW-R", "AM", "", "FM", "", "RTTY", "", "PKT"};
            if (c[4] == '\x0A')
                hz = fromBcd(c.left(4), true) * 10;
            else if (uchar(c[3]) <= 10)
                setMode(QLatin1String(modes[uchar(c[3])]));
            return true;
        }
    }
    return false;
}

QByteArray RigSimulator::replyTo(const QByteArray &q)
{
    const qint64 tenHz = hz / 10;
    const QByteArray digits11 = QByteArray::number(hz).rightJustified(11, '0');
    if (isFamily(m_rig, {"Kenwood", "Kenwood 2", "Elecraft", "Other"})) {
        // The rig's housekeeping answers as well: identity, power, VFOs.
        if (q == "ID;")
            return "ID018;";
        if (q == "PS;")
            return "PS1;";
        if (q == "AI;")
            return "AI0;";
        if (q == "FR;" || q == "FT;")
            return q.left(2) + "0;";
        if (q == "FA;" || q == "FB;")
            return q.left(2) + digits11 + ';';
        if (q == "MD;")
            return cw ? "MD3;" : "MD2;";
        if (q == "IF;")
            // IF, frequency, step, RIT, RIT/XIT/bank, memory, TX, mode, VFO,
            // scan, split, tone, tone number, shift.
            return QByteArray("IF") + digits11 + "0000" + "+00000" + "000" + "00" + "0" + (cw ? "3" : "2") +
                   "0" + "0" + "0" + "0" + "00" + "0" + ";";
        return {};
    }
    if (m_rig == QLatin1String("Yaesu FTdx9000")) {
        if (q == "FA;" || q == "FB;")
            return q.left(2) + QByteArray::number(hz).rightJustified(8, '0') + ';';
        if (q == "MD0;")
            return cw ? "MD03;" : "MD02;";
        if (q == "ID;")
            return "ID0101;";
        if (q == "AI;" || q == "VS;" || q == "FT;")
            return q.left(2) + "0;";
        if (q == "PS;")
            return "PS1;";
        if (q == "SH0;")
            return "SH016;";
        return {};
    }
    if (m_rig == QLatin1String("Ten Tec Orion")) {
        if (q == "?AF\r")
            return "@AF" + QByteArray::number(hz) + '\r';
        if (q == "?RMM\r")
            return cw ? "@RMM2\r" : "@RMM0\r";
        return {};
    }
    if (m_rig == QLatin1String("Ten Tec Fnt Pnl")) {
        if (q == "?A\r")
            return "A" + bigEndian(quint32(hz), 4) + '\r';
        if (q == "?M\r")
            return QByteArray("M") + (cw ? "\x33\x33" : "\x11\x11") + '\r';
        return {};
    }
    if (m_rig.startsWith(QLatin1String("Icom")) || m_rig == QLatin1String("Ten Tec Omni VI")) {
        if (q.size() < 6)
            return {};
        const char address = q[2];
        // The echo of the query on the shared bus, then the rig's answer.
        QByteArray answer = QByteArray("\xFE\xFE\xE0") + address + q[4];
        if (q[4] == '\x03')
            answer += bcd(hz, m_rig == QLatin1String("Icom 735") ? 4 : 5, true);
        else if (q[4] == '\x04')
            answer += QByteArray(cw ? "\x03" : "\x01") + '\x01';
        else
            return q;
        return q + answer + '\xFD';
    }
    // Yaesu binary: opcode in the fifth byte.
    if (q[4] == '\x03' && m_rig == QLatin1String("Yaesu"))
        return bcd(tenHz, 4, false) + (cw ? '\x02' : '\x01');
    if (q[4] != '\x10')
        return {};
    if (m_rig == QLatin1String("Yaesu 757 GX II")) {
        QByteArray block(75, '\0');
        block.replace(5, 4, bcd(tenHz, 4, true));
        block[9] = cw ? 2 : 1;
        return block;
    }
    const bool f920 = m_rig == QLatin1String("Yaesu 920");
    QByteArray block(f920 ? 28 : m_rig == QLatin1String("Yaesu 890") ? 18 : 16, '\0');
    if (m_rig == QLatin1String("Yaesu 890"))
        block.replace(2, 3, bigEndian(quint32(tenHz), 3));
    else if (m_rig == QLatin1String("Yaesu 1000")) // the field starts half a byte later
        block.replace(1, 4, bigEndian(quint32(tenHz) << 4, 4));
    else if (f920)
        block.replace(1, 4, bigEndian(quint32(hz), 4));
    else
        block.replace(1, 3, bigEndian(quint32(tenHz), 3));
    block[7] = f920 ? (cw ? 1 : 0) : (cw ? 2 : 1);
    return block;
}

void RigSimulator::send(QByteArray reply)
{
    if (reply.isEmpty() || answer == Answer::Silent)
        return;
    if (!m_held.isEmpty()) { // a rig answers in order: after what it still owes
        m_held += reply;
        return;
    }
    switch (answer) {
    case Answer::Garbled:
        for (qsizetype i = 0; i < reply.size(); i += 3)
            reply[i] = char(0x7F - reply[i]);
        break;
    case Answer::Short: reply.chop(reply.size() / 2 + 1); break;
    case Answer::Split:
        // The rest comes after the logger's next read.
        m_held = reply.mid(reply.size() / 2);
        reply.truncate(reply.size() / 2);
        QTimer::singleShot(splitDelayMs, this, [this] {
            if (m_port.isOpen())
                m_port.write(m_held);
            m_held.clear();
        });
        break;
    default: break;
    }
    m_port.write(reply);
}
