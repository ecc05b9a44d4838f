#include "rig/RigProtocol.h"

#include "platform/SeqFile.h"

#include <cmath>

namespace Rig {
namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool allDigits(const QByteArray &s)
{
    if (s.isEmpty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Hz (or another unit) as digits -> MHz rounded to five decimals.
float toMHz(double value, double divisor)
{
    return static_cast<float>(std::round(value / divisor * 1e5) / 1e5);
}

// Exactly n bytes from "XX XX XX ..." (pairs at every third position).
std::optional<QByteArray> fixedBytes(const QString &text, int n)
{
    if (text.size() < 3 * n - 1)
        return std::nullopt;
    auto bytes = hexTextToBytes(text.left(3 * n - 1));
    if (!bytes || bytes->size() != n)
        return std::nullopt;
    return bytes;
}

QString notHex(const QString &q)
{
    return QStringLiteral("Query not sent: \"%1\" is not hex bytes written as XX XX XX").arg(q);
}

bool kenwoodAscii(const QuerySetup &s, const QByteArray &f, RigState &st)
{
    RigState out = st;
    bool fit = false;
    if (s.freqQuery.size() >= 3) {
        const qsizetype p = f.indexOf(s.freqQuery.left(2).toLatin1());
        if (p >= 0 && f.size() >= p + 13 && allDigits(f.mid(p + 2, 11))) {
            out.frequency = toMHz(f.mid(p + 2, 11).toDouble(), 1e6);
            fit = true;
        }
    }
    const qsizetype p = f.indexOf("MD");
    if (p >= 0 && f.size() > p + 2 && allDigits(f.mid(p + 2, 1))) {
        const char c = f[p + 2];
        out.mode = (c == '3' || c == '7') ? QStringLiteral("CW") : QStringLiteral("PH");
        fit = true;
    }
    if (fit)
        st = out;
    return fit;
}

bool kenwoodIf(const QByteArray &f, RigState &st)
{
    const qsizetype p = f.indexOf("IF");
    if (p < 0 || f.size() <= p + 30)
        return false;
    const QByteArray digits = f.mid(p + 2, 11);
    if (!allDigits(digits) || !allDigits(f.mid(p + 29, 2)))
        return false;
    st.frequency = toMHz(digits.toDouble(), 1e6);
    st.mode = f[p + 29] == '3' ? QStringLiteral("CW") : QStringLiteral("PH");
    st.vfo = f[p + 30] - '0';
    return true;
}

bool ftdx9000(const QuerySetup &s, const QByteArray &f, RigState &st)
{
    bool fit = false;
    if (s.freqQuery.size() >= 2) {
        const qsizetype p = f.indexOf(s.freqQuery.left(2).toLatin1());
        if (p >= 0 && f.size() >= p + 10 && allDigits(f.mid(p + 2, 8))) {
            st.frequency = toMHz(f.mid(p + 2, 8).toDouble(), 1e6);
            fit = true;
        }
    }
    if (s.modeQuery.size() >= 3) {
        const qsizetype p = f.indexOf(s.modeQuery.left(3).toLatin1());
        if (p >= 0 && f.size() > p + 3 && allDigits(f.mid(p + 3, 1))) {
            st.mode = f[p + 3] == '3' ? QStringLiteral("CW") : QStringLiteral("PH");
            fit = true;
        }
    }
    return fit;
}

bool orion(const QByteArray &f, RigState &st)
{
    qsizetype p = f.indexOf("@AF");
    if (p >= 0) {
        const qsizetype q = f.indexOf('\r', p);
        const QByteArray digits = f.mid(p + 3, (q < 0 ? f.size() : q) - p - 3);
        if (!allDigits(digits) || digits.size() > 11)
            return false;
        st.frequency = toMHz(digits.toDouble(), 1e6);
        return true;
    }
    p = f.indexOf("@RMM");
    if (p >= 0 && f.size() > p + 4 && allDigits(f.mid(p + 4, 1))) {
        const char c = f[p + 4];
        st.mode = (c == '2' || c == '3') ? QStringLiteral("CW") : QStringLiteral("PH");
        return true;
    }
    return false;
}

// One CI-V frame FE FE to from command data... FD.
bool civ(const QByteArray &f, RigState &st)
{
    if (f.size() < 7 || uchar(f[0]) != 0xFE || uchar(f[1]) != 0xFE || uchar(f.back()) != 0xFD)
        return false;
    const uchar command = uchar(f[4]);
    const QByteArray data = f.mid(5, f.size() - 6);
    if (command == 0x03 && (data.size() == 4 || data.size() == 5)) {
        QByteArray digits;
        for (qsizetype i = data.size() - 1; i >= 0; --i)
            digits += bytesToHexText(data.mid(i, 1), false).toLatin1();
        if (!allDigits(digits))
            return false;
        st.frequency = static_cast<float>(digits.toDouble() / 1e6);
        return true;
    }
    if (command == 0x04) {
        st.mode = uchar(data[0]) == 0x03 ? QStringLiteral("CW") : QStringLiteral("PH");
        return true;
    }
    return false;
}

bool yaesuBcd(const QByteArray &f, RigState &st)
{
    if (f.size() < 5)
        return false;
    const QByteArray h = bytesToHexText(f.left(5), false).toLatin1();
    if (!allDigits(h.left(8)) || !allDigits(h.mid(8, 2)))
        return false;
    const int m = h.mid(8, 2).toInt();
    RigState out = st;
    out.frequency = toMHz(h.left(8).toDouble(), 1e5);
    if (m == 0 || m == 1 || m == 4 || m == 8 || m == 84 || m == 88)
        out.mode = QStringLiteral("PH");
    else if (m == 2 || m == 3 || m == 82 || m == 83)
        out.mode = QStringLiteral("CW");
    st = out;
    return true;
}

bool yaesu757(const QByteArray &f, RigState &st)
{
    if (f.size() < 10)
        return false;
    const QByteArray h = bytesToHexText(f.left(10), false).toLatin1();
    const QByteArray digits = h.mid(16, 2) + h.mid(14, 2) + h.mid(12, 2) + h.mid(10, 2);
    if (!allDigits(digits))
        return false;
    st.frequency = toMHz(digits.toDouble(), 1e5);
    if (allDigits(h.mid(18, 2))) {
        static const char *names[] = {"PH", "PH", "CW", "CW", "AM", "FM"};
        const int m = h.mid(18, 2).toInt();
        if (m <= 5)
            st.mode = QString::fromLatin1(names[m]);
    }
    return true;
}

bool yaesuStatus(StatusLayout layout, const QByteArray &f, RigState &st)
{
    if (f.size() < 8)
        return false;
    const QByteArray h = bytesToHexText(f.left(8), false).toLatin1();
    int from = 2, chars = 6;
    double divisor = 1e5;
    switch (layout) {
    case StatusLayout::Ft890: from = 4; break;
    case StatusLayout::Ft1000: from = 3; break;
    case StatusLayout::Ft920: chars = 8; divisor = 1e6; break;
    default: break;
    }
    st.frequency = toMHz(double(h.mid(from, chars).toULongLong(nullptr, 16)), divisor);
    const char digit = h[15];
    if (digit >= '0' && digit <= '9') {
        if (layout == StatusLayout::Ft920)
            st.mode = digit == '1' ? QStringLiteral("CW") : QStringLiteral("PH");
        else if (digit == '2')
            st.mode = QStringLiteral("CW");
        else if (digit <= '7')
            st.mode = QStringLiteral("PH");
    }
    return true;
}

bool tenTecPanel(const QByteArray &f, RigState &st)
{
    if (f.size() >= 5 && f[0] == 'A') {
        quint32 hz = 0;
        for (int i = 1; i <= 4; ++i)
            hz = (hz << 8) | uchar(f[i]);
        st.frequency = toMHz(hz, 1e6);
        return true;
    }
    if (f.size() >= 3 && f[0] == 'M') {
        const int digit = uchar(f[1]) & 0x0F;
        if (digit == 3)
            st.mode = QStringLiteral("CW");
        else if (digit <= 2 || digit == 4)
            st.mode = QStringLiteral("PH");
        else
            return false;
        return true;
    }
    return false;
}

bool rigctld(const QByteArray &line, RigState &st)
{
    const QByteArray l = line.trimmed();
    if (l.startsWith("Frequency:")) {
        const QByteArray v = l.mid(10).trimmed();
        const QByteArray whole = v.left(v.indexOf('.') < 0 ? v.size() : v.indexOf('.'));
        const QByteArray frac = v.indexOf('.') < 0 ? QByteArray("0") : v.mid(v.indexOf('.') + 1);
        if (!allDigits(whole) || whole.size() > 12 || (!frac.isEmpty() && !allDigits(frac)))
            return false;
        st.frequency = toMHz(whole.toDouble(), 1e6);
        return true;
    }
    if (l.startsWith("Mode:")) {
        const QByteArray m = l.mid(5).trimmed();
        if (m.isEmpty() || m == "None")
            return false;
        if (m == "CW" || m == "CWR")
            st.mode = QStringLiteral("CW");
        else if (m == "AM" || m == "AMS" || m == "SAM")
            st.mode = QStringLiteral("AM");
        else if (m == "FM" || m == "WFM" || m == "FMN")
            st.mode = QStringLiteral("FM");
        else
            st.mode = QStringLiteral("PH");
        return true;
    }
    return false;
}

} // namespace

std::optional<QByteArray> hexTextToBytes(const QString &text, int minChars)
{
    if (text.size() < minChars)
        return std::nullopt;
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); i += 3) {
        if (i + 1 >= text.size())
            return std::nullopt;
        const int hi = hexDigit(text[i].toLatin1()), lo = hexDigit(text[i + 1].toLatin1());
        if (hi < 0 || lo < 0 || text[i].unicode() > 0x7F || text[i + 1].unicode() > 0x7F)
            return std::nullopt;
        out.append(char(hi * 16 + lo));
    }
    return out;
}

QString bytesToHexText(const QByteArray &bytes, bool spaced)
{
    QString out;
    for (char c : bytes) {
        out += QStringLiteral("%1").arg(uchar(c), 2, 16, QLatin1Char('0')).toUpper();
        if (spaced)
            out += QLatin1Char(' ');
    }
    return out;
}

Query pollQuery(const QuerySetup &s, bool &modeTurn)
{
    Query q;
    if (!s.model)
        return q;
    const QString &fq = s.freqQuery, &mq = s.modeQuery;
    const bool turn = modeTurn;
    if (alternatesQueries(s.model->family))
        modeTurn = !modeTurn;
    const QString &due = turn ? mq : fq;
    auto bytesOf = [&q](const QString &text, int n) {
        if (auto b = fixedBytes(text, n))
            q.bytes = *b;
        else
            q.problem = notHex(text);
    };
    switch (s.model->family) {
    case Family::KenwoodAscii:
    case Family::KenwoodIf:
        q.bytes = fq.toLatin1() + mq.toLatin1();
        break;
    case Family::CiV: bytesOf(due, 6); break;
    case Family::YaesuBcd:
    case Family::Yaesu757:
    case Family::YaesuStatus: bytesOf(fq, 5); break;
    case Family::TenTecPanel: bytesOf(due, 3); break;
    case Family::Ftdx9000:
        if (due.size() >= 2)
            q.bytes = due.toLatin1();
        break;
    case Family::Orion:
        if (!fq.isEmpty())
            q.bytes += fq.toLatin1() + '\r';
        if (!mq.isEmpty())
            q.bytes += mq.toLatin1() + '\r';
        break;
    case Family::Other:
        for (const QString &text : {fq, mq}) {
            if (text.isEmpty())
                continue;
            if (!s.convertToHex) {
                q.bytes += text.toLatin1();
            } else if (auto b = hexTextToBytes(text)) {
                q.bytes += *b;
            } else {
                q.problem = notHex(text);
                q.bytes.clear();
                break;
            }
        }
        break;
    case Family::Rigctld: q.bytes = "+f\n+m\n"; break;
    case Family::Pegasus:
    case Family::None: break;
    }
    return q;
}

void ReplyFramer::append(const QByteArray &bytes)
{
    m_buffer += bytes;
    m_grew = m_grew || !bytes.isEmpty();
    if (m_buffer.size() > 65536) // nothing a rig sends is that long
        clear();
}

QList<QByteArray> ReplyFramer::takeFrames()
{
    QList<QByteArray> frames;
    auto cutAt = [&](char end) {
        qsizetype e;
        while ((e = m_buffer.indexOf(end)) >= 0) {
            frames << m_buffer.left(e + 1);
            m_buffer.remove(0, e + 1);
        }
    };
    switch (m_model->family) {
    case Family::KenwoodAscii:
    case Family::KenwoodIf:
    case Family::Ftdx9000: cutAt(';'); break;
    case Family::Orion: cutAt('\r'); break;
    case Family::Rigctld: cutAt('\n'); break;
    case Family::CiV:
        for (;;) {
            const qsizetype start = m_buffer.indexOf("\xFE\xFE");
            if (start < 0) {
                // Keep a lone FE that may start the next frame.
                m_buffer = m_buffer.endsWith('\xFE') ? QByteArray("\xFE") : QByteArray();
                break;
            }
            m_buffer.remove(0, start);
            qsizetype body = 2;
            while (body < m_buffer.size() && uchar(m_buffer[body]) == 0xFE)
                ++body; // a repeated preamble byte
            m_buffer.remove(0, body - 2);
            const qsizetype end = m_buffer.indexOf('\xFD', 2);
            if (end < 0)
                break;
            frames << m_buffer.left(end + 1);
            m_buffer.remove(0, end + 1);
        }
        break;
    case Family::YaesuBcd:
    case Family::Yaesu757:
    case Family::YaesuStatus:
        while (m_buffer.size() >= m_model->replyBytes) {
            frames << m_buffer.left(m_model->replyBytes);
            m_buffer.remove(0, m_model->replyBytes);
        }
        break;
    case Family::TenTecPanel:
        while (!m_buffer.isEmpty()) {
            const int length = m_buffer[0] == 'A' ? 6 : m_buffer[0] == 'M' ? 4 : 0;
            if (length == 0) {
                m_buffer.remove(0, 1);
                continue;
            }
            if (m_buffer.size() < length)
                break;
            if (m_buffer[length - 1] != '\r') { // not a whole reply: look further on
                m_buffer.remove(0, 1);
                continue;
            }
            frames << m_buffer.left(length);
            m_buffer.remove(0, length);
        }
        break;
    case Family::Other:
        if (!m_buffer.isEmpty())
            frames << m_buffer;
        m_buffer.clear();
        break;
    case Family::Pegasus:
    case Family::None: m_buffer.clear(); break;
    }
    return frames;
}

void ReplyFramer::beforeQuery(const QByteArray &bytes)
{
    append(bytes);
    if (m_model->replyBytes > 0 && m_buffer.size() % m_model->replyBytes != 0)
        clear();
}

void ReplyFramer::endRead()
{
    if (!m_grew)
        m_buffer.clear();
    m_grew = false;
}

bool parseReply(const QuerySetup &s, const QByteArray &frame, RigState &state)
{
    if (!s.model)
        return false;
    switch (s.model->family) {
    case Family::KenwoodAscii: return kenwoodAscii(s, frame, state);
    case Family::KenwoodIf: return kenwoodIf(frame, state);
    case Family::Ftdx9000: return ftdx9000(s, frame, state);
    case Family::Orion: return orion(frame, state);
    case Family::CiV: return civ(frame, state);
    case Family::YaesuBcd: return yaesuBcd(frame, state);
    case Family::Yaesu757: return yaesu757(frame, state);
    case Family::YaesuStatus: return yaesuStatus(s.model->layout, frame, state);
    case Family::TenTecPanel: return tenTecPanel(frame, state);
    case Family::Rigctld: return rigctld(frame, state);
    case Family::Pegasus:
    case Family::Other:
    case Family::None: break;
    }
    return false;
}

bool parsePegasusFile(const QByteArray &contents, RigState &state)
{
    SeqReader r(contents);
    const auto mhz = r.nextNumber();
    if (!mhz || !std::isfinite(*mhz) || *mhz < 0 || *mhz > 1e6)
        return false;
    state.frequency = static_cast<float>(*mhz);
    const QString mode = r.nextText().value_or(QString()).trimmed();
    if (!mode.isEmpty())
        state.mode = mode == QLatin1String("CW") ? QStringLiteral("CW") : QStringLiteral("PH");
    return true;
}

std::optional<QString> modeFromFrequency(float f)
{
    struct Row {
        float from, to;
        const char *mode;
    };
    static const Row rows[] = {
        {3.5f, 3.6f, "CW"},     {3.6f, 4.0f, "PH"},     {7.0f, 7.125f, "CW"},   {7.125f, 7.3f, "PH"},
        {10.1f, 10.15f, "CW"},  {14.0f, 14.15f, "CW"},  {14.15f, 14.35f, "PH"}, {18.068f, 18.11f, "CW"},
        {18.11f, 18.168f, "PH"}, {21.0f, 21.2f, "CW"},  {21.2f, 21.45f, "PH"},  {24.89f, 24.93f, "CW"},
        {24.93f, 24.99f, "PH"}, {28.0f, 28.3f, "CW"},   {28.3f, 29.7f, "PH"},   {50.0f, 50.1f, "CW"},
        {50.1f, 54.0f, "PH"},   {144.0f, 144.1f, "CW"}, {144.1f, 148.0f, "PH"},
    };
    for (const Row &r : rows)
        if (f > r.from && f < r.to)
            return QString::fromLatin1(r.mode);
    return std::nullopt;
}

} // namespace Rig
