#include "keying/WinKeyProtocol.h"

namespace WinKey {

namespace {
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(quint8(v)));
    return out;
}
} // namespace

QString resultText(int code)
{
    switch (code) {
    case Success: return QStringLiteral("WK Success!");
    case NoEchoResponse: return QStringLiteral("No Echo Response");
    case EchoMismatch: return QStringLiteral("Echo Mismatch");
    case NoOpenResponse: return QStringLiteral("No Open Response");
    case ComOpenFailed: return QStringLiteral("Com Open Failed");
    case GetComFailed: return QStringLiteral("Get Com ST Failed");
    case SetComFailed: return QStringLiteral("Set Com ST Failed");
    case AlreadyOpen: return QStringLiteral("WK Already Open");
    case NotOpen: return QStringLiteral("WK Not Open");
    default: return QString();
    }
}

QByteArray hostOpen() { return bytes({0x00, 0x02}); }
QByteArray hostClose() { return bytes({0x00, 0x03}); }
QByteArray echoTest(char probe) { return bytes({0x00, 0x04, quint8(probe)}); }
QByteArray speed(int wpm) { return bytes({0x02, wpm}); }
QByteArray weight(int weight) { return bytes({0x03, weight}); }
QByteArray leadTail(int leadIn, int tail) { return bytes({0x04, leadIn, tail}); }
QByteArray backspace() { return bytes({0x08}); }
QByteArray pinConfig(int pins) { return bytes({0x09, pins}); }
QByteArray clearBuffer() { return bytes({0x0A}); }
QByteArray mode(int modeRegister) { return bytes({0x0E, modeRegister}); }
QByteArray requestStatus() { return bytes({0x15}); }
QByteArray ratio(int ratio) { return bytes({0x17, ratio}); }

QByteArray character(QChar ch)
{
    const char16_t c = ch.unicode();
    if (c < 0x20 || c > 0x7E || c == u'!')
        return {};
    return QByteArray(1, char(c));
}

int statusLevel(quint8 statusByte)
{
    if (!isStatus(statusByte))
        return LevelIdle;
    if (statusByte & StatusXoff)
        return LevelHold;
    if (statusByte & StatusBusy)
        return LevelBusy;
    if (statusByte & StatusBreakIn)
        return LevelBreakIn;
    return LevelIdle;
}

} // namespace WinKey
