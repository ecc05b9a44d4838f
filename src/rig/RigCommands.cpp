#include "rig/RigCommands.h"

#include "platform/SeqFile.h"
#include "rig/RigProtocol.h"

#include <cmath>

namespace Rig {
namespace {
bool is(const Model &m, const char *name) { return m.name == QLatin1String(name); }

QByteArray decimal(qint64 value, int width) { return QByteArray::number(value).rightJustified(width, '0'); }

// Two decimal digits a byte, the most significant pair first.
QByteArray bcd(qint64 value, int bytes)
{
    QByteArray out(bytes, '\0');
    for (int i = bytes - 1; i >= 0; --i, value /= 100)
        out[i] = char(((value % 100) / 10) << 4 | (value % 10));
    return out;
}

QByteArray reversed(QByteArray b)
{
    std::reverse(b.begin(), b.end());
    return b;
}

Command refuse(const QString &why)
{
    Command c;
    c.refused = why;
    return c;
}

Command tooWide(qint64 hz, const Model &m, qint64 maxHz)
{
    return refuse(QStringLiteral("%1 MHz is more than the %2 frequency command can carry (at most %3 MHz); "
                                 "nothing was sent.")
                      .arg(mhzText(hz), m.name, mhzText(maxHz)));
}

// The CI-V address: characters 7 and 8 of the frequency query ("64").
std::optional<char> civAddress(const QString &freqQuery)
{
    const auto b = hexTextToBytes(freqQuery.mid(6, 2));
    if (!b || freqQuery.size() < 8)
        return std::nullopt;
    return b->at(0);
}

int settleMs(const Model &m)
{
    switch (m.family) {
    case Family::CiV: return is(m, "Ten Tec Omni VI") ? 140 + 220 : 140;
    case Family::KenwoodAscii: return is(m, "Elecraft") ? 205 + 1000 : 205;
    case Family::YaesuStatus: return is(m, "Yaesu 1000") ? 10 : 205;
    case Family::Rigctld: // the daemon orders the commands itself
    case Family::Other:
    case Family::None: return 0;
    default: return 205;
    }
}
} // namespace

qint64 hzFromMHz(double mhz) { return qint64(std::llround(mhz * 1e6)); }

QString mhzText(qint64 hz)
{
    const bool negative = hz < 0;
    const qint64 a = negative ? -hz : hz;
    QString text = QString::number(a / 1000000);
    QString frac = QString::number(a % 1000000).rightJustified(6, QLatin1Char('0'));
    while (frac.endsWith(QLatin1Char('0')))
        frac.chop(1);
    if (!frac.isEmpty())
        text += QLatin1Char('.') + frac;
    return negative ? QLatin1Char('-') + text : text;
}

Command frequencyCommand(const CommandSetup &setup, qint64 hz)
{
    const Model &m = *setup.model;
    if (m.family == Family::None || m.family == Family::Other)
        return {};
    if (hz <= 0)
        return refuse(QStringLiteral("%1 MHz is not a frequency a rig can be set to; nothing was sent.")
                          .arg(mhzText(hz)));
    Command c;
    c.settleMs = settleMs(m);
    const qint64 tenHz = (hz + 5) / 10;
    switch (m.family) {
    case Family::KenwoodAscii:
    case Family::KenwoodIf: {
        if (hz > 99999999999)
            return tooWide(hz, m, 99999999999);
        QByteArray vfo = m.family == Family::KenwoodIf ? QByteArray(setup.vfo == 1 ? "FB" : "FA")
                         : is(m, "Elecraft")          ? QByteArray("FA")
                                                      : setup.freqQuery.left(2).toLatin1();
        if (vfo.size() < 2)
            return refuse(QStringLiteral("The frequency query \"%1\" does not start with the VFO's two letters; "
                                         "nothing was sent.").arg(setup.freqQuery));
        c.bytes = vfo + decimal(hz, 11) + ';';
        break;
    }
    case Family::Ftdx9000: {
        if (hz > 99999999)
            return tooWide(hz, m, 99999999);
        if (setup.freqQuery.size() < 2)
            return refuse(QStringLiteral("The frequency query \"%1\" does not start with the VFO's two letters; "
                                         "nothing was sent.").arg(setup.freqQuery));
        c.bytes = setup.freqQuery.left(2).toLatin1() + decimal(hz, 8) + ';';
        break;
    }
    case Family::CiV: {
        if (hz > 9999999999)
            return tooWide(hz, m, 9999999999);
        const auto address = civAddress(setup.freqQuery);
        if (!address)
            return refuse(QStringLiteral("The frequency query \"%1\" holds no rig address in its third byte; "
                                         "nothing was sent.").arg(setup.freqQuery));
        c.bytes = QByteArray("\xFE\xFE") + *address + "\xE0\x05" + reversed(bcd(hz, 5)) + '\xFD';
        break;
    }
    case Family::TenTecPanel: {
        if (hz > 0xFFFFFFFFLL)
            return tooWide(hz, m, 0xFFFFFFFFLL);
        c.bytes = "*A";
        for (int shift = 24; shift >= 0; shift -= 8)
            c.bytes += char((hz >> shift) & 0xFF);
        c.bytes += '\r';
        break;
    }
    case Family::Orion: c.bytes = "*AF" + mhzText(hz).toLatin1() + '\r'; break;
    case Family::Pegasus: {
        SeqWriter w;
        w.number(double(hz) / 1e6).endLine().text(setup.rigMode).endLine();
        c.bytes = w.data();
        c.toFile = true;
        break;
    }
    case Family::YaesuBcd:
    case Family::Yaesu757:
    case Family::YaesuStatus: {
        if (tenHz > 99999999)
            return tooWide(hz, m, 999999990);
        if (tenHz == 0)
            return refuse(QStringLiteral("%1 MHz rounds to zero in the rig's 10 Hz steps; nothing was sent.")
                              .arg(mhzText(hz)));
        c.bytes = m.family == Family::YaesuBcd ? bcd(tenHz, 4) + '\x01' : reversed(bcd(tenHz, 4)) + '\x0A';
        break;
    }
    case Family::Rigctld: c.bytes = "F " + QByteArray::number(hz) + '\n'; break;
    case Family::Other:
    case Family::None: break;
    }
    return c;
}

Command modeCommand(const CommandSetup &setup, const QString &mode)
{
    const Model &m = *setup.model;
    auto pick = [&](std::initializer_list<std::pair<const char *, const char *>> table) -> QByteArray {
        for (const auto &[name, value] : table)
            if (mode == QLatin1String(name))
                return QByteArray(value);
        return {};
    };
    Command c;
    switch (m.family) {
    case Family::CiV: {
        if (is(m, "Icom 735"))
            break;
        static const std::pair<const char *, char> table[] = {{"LSB", 0x00}, {"USB", 0x01}, {"AM", 0x02},
                                                              {"CW", 0x03},  {"RTTY", 0x04}, {"FM", 0x05},
                                                              {"CW-R", 0x07}, {"RTTY-R", 0x08}};
        const auto row = std::find_if(std::begin(table), std::end(table),
                                      [&](const auto &r) { return mode == QLatin1String(r.first); });
        if (row == std::end(table))
            break;
        const auto address = civAddress(setup.freqQuery);
        if (!address)
            return refuse(QStringLiteral("The frequency query \"%1\" holds no rig address in its third byte; "
                                         "nothing was sent.").arg(setup.freqQuery));
        c.bytes = QByteArray("\xFE\xFE") + *address + "\xE0\x06" + row->second + '\xFD';
        break;
    }
    case Family::KenwoodAscii:
    case Family::KenwoodIf:
        c.bytes = pick({{"CW", "MD3;"}, {"LSB", "MD1;"}, {"USB", "MD2;"}, {"FM", "MD4;"}, {"AM", "MD5;"},
                        {"RTTY", "MD6;"}, {"FSK", "MD6;"}});
        break;
    case Family::YaesuBcd: {
        static const std::pair<const char *, char> table[] = {{"LSB", 0x00}, {"USB", 0x01}, {"CW", 0x02},
                                                              {"AM", 0x04},  {"FM", 0x08},  {"DIG", 0x0A},
                                                              {"RTTY", 0x0A}, {"PKT", 0x0C}};
        for (const auto &[name, byte] : table)
            if (mode == QLatin1String(name))
                c.bytes = QByteArray(1, byte) + QByteArray(3, '\0') + '\x07';
        break;
    }
    case Family::Yaesu757:
    case Family::YaesuStatus: {
        static const std::pair<const char *, char> table[] = {{"LSB", 0x00}, {"USB", 0x01}, {"CW", 0x02},
                                                              {"CW-R", 0x03}, {"AM", 0x04}, {"FM", 0x06},
                                                              {"RTTY", 0x08}, {"PKT", 0x0A}};
        for (const auto &[name, byte] : table)
            if (mode == QLatin1String(name))
                c.bytes = QByteArray(3, '\0') + byte + '\x0C';
        break;
    }
    case Family::Ftdx9000: {
        const QByteArray digit = pick({{"LSB", "1"}, {"USB", "2"}, {"CW", "3"}, {"FM", "4"}, {"AM", "5"},
                                       {"RTTY", "6"}, {"CW-R", "7"}});
        if (digit.isEmpty())
            break;
        if (setup.modeQuery.size() < 3)
            return refuse(QStringLiteral("The mode query \"%1\" is shorter than the three characters of the "
                                         "mode command; nothing was sent.").arg(setup.modeQuery));
        c.bytes = setup.modeQuery.left(3).toLatin1() + digit + ';';
        break;
    }
    case Family::Rigctld: {
        const QByteArray name = pick({{"LSB", "LSB"}, {"USB", "USB"}, {"CW", "CW"}, {"CW-R", "CWR"}, {"AM", "AM"},
                                      {"FM", "FM"}, {"RTTY", "RTTY"}, {"RTTY-R", "RTTYR"}, {"FSK", "RTTY"},
                                      {"DIG", "PKTUSB"}, {"PKT", "PKTFM"}});
        if (!name.isEmpty())
            c.bytes = "M " + name + " 0\n";
        break;
    }
    default: break; // Icom 735, the Ten-Tec rigs, Pegasus and "Other" take no mode command
    }
    return c;
}

} // namespace Rig
