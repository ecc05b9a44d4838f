#include "support/WinKeySimulator.h"

#include <algorithm>

WinKeySimulator::WinKeySimulator()
{
    m_ready = m_pty.ready;
    if (!m_ready)
        return;
    m_port.setPortName(m_pty.peer);
    m_ready = m_port.open(QIODevice::ReadWrite);
    connect(&m_port, &QSerialPort::readyRead, this, &WinKeySimulator::received);
    m_sender.setSingleShot(true);
    connect(&m_sender, &QTimer::timeout, this, &WinKeySimulator::sendOne);
}

WinKeySimulator::~WinKeySimulator()
{
    m_port.close();
}

int WinKeySimulator::charMs() const
{
    // A character of ten units, at the set speed (the pot's 5 WPM for 0).
    return int(10 * 1200.0 / std::max(wpm, 5) * timeScale);
}

void WinKeySimulator::answer(quint8 b)
{
    if (!silent)
        m_port.write(QByteArray(1, char(b)));
}

void WinKeySimulator::reportStatus()
{
    quint8 s = 0xC0;
    if (!buffered.isEmpty())
        s |= 0x04;
    if (buffered.size() >= xoffAt || ((m_status & 0x01) && buffered.size() > xonAt))
        s |= 0x01;
    if (s == m_status || silent)
        return;
    m_status = s;
    statusSent.append(char(s));
    answer(s);
    if (s & 0x01) {
        ++xoffReports;
        if (silentAfterXoff && xoffReports == silentAfterXoff)
            silent = true;
    }
}

void WinKeySimulator::received()
{
    const QByteArray data = m_port.readAll();
    if (silent)
        return;
    m_in += data;
    while (!m_in.isEmpty() && takeOne()) {
    }
}

bool WinKeySimulator::takeOne()
{
    const auto b = quint8(m_in.at(0));
    // Bytes each command takes, its own included.
    int size = 1;
    if (b == 0x00)
        size = m_in.size() > 1 && quint8(m_in.at(1)) == 0x04 ? 3 : 2;
    else if (b == 0x04)
        size = 3;
    else if (b == 0x02 || b == 0x03 || b == 0x09 || b == 0x0E || b == 0x17)
        size = 2;
    if (b >= 0x20) {
        m_in.remove(0, 1);
        text.append(char(b));
        if (buffered.size() >= capacity) {
            ++lost;
            return true;
        }
        buffered.append(char(b));
        if (!m_sender.isActive())
            m_sender.start(charMs());
        reportStatus();
        return true;
    }
    if (m_in.size() < size)
        return false;
    const QByteArray c = m_in.left(size);
    m_in.remove(0, size);
    commands << c;
    if (b == 0x00 && quint8(c.at(1)) == 0x02) {
        hostOpen = true;
        answer(version);
    } else if (b == 0x00 && quint8(c.at(1)) == 0x03) {
        hostOpen = false;
    } else if (b == 0x00 && quint8(c.at(1)) == 0x04) {
        answer(quint8(c.at(2)));
    } else if (b == 0x02) {
        wpm = quint8(c.at(1));
    } else if (b == 0x0A) {
        buffered.clear();
        m_sender.stop();
        reportStatus();
    } else if (b == 0x08) {
        if (!buffered.isEmpty())
            buffered.chop(1);
        reportStatus();
    } else if (b == 0x15) {
        answer(m_status);
    }
    return true;
}

void WinKeySimulator::sendOne()
{
    if (silent || buffered.isEmpty())
        return;
    sent.append(buffered.front());
    buffered.remove(0, 1);
    if (!buffered.isEmpty())
        m_sender.start(charMs());
    reportStatus();
}
