#pragma once
// The records the station's PCs send each other over TCP, byte for byte, and
// the framing that cuts them out of what arrives: TCP may split one record
// over several reads or bring several in one. Status and message records end
// in "<EOR>"; a clock record has no end mark and is complete once its time
// can be read (or the next record begins).
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>
#include <vector>

namespace NetRecords {

// One row of the station table: who is on which band and mode.
struct StationEntry {
    QString name;
    QString band;
    QString mode;
    QString opr;
    bool operator==(const StationEntry &) const = default;
};

struct Message {
    QString from;
    QString to;
    QString text;
};

// A clock setting as received: the date and the time as read, each invalid
// when the text did not parse.
struct ClockSetting {
    QDate date;
    QTime time;
    QString dateText;
    QString timeText;
};

constexpr int MaxIndex = 200;
constexpr qsizetype BufferLimit = 64 * 1024;

QByteArray status(int index, const StationEntry &e);
QByteArray message(const QString &from, const QString &to, const QString &text);
// The date as yyyy/mm/dd and the time as hh:mm:ss.
QByteArray clock(const QDateTime &local);

enum class Kind { Status, Message, Clock };
Kind kindOf(const QString &record);

// The index of a status record ("<Array:k>"), -1 when it has no usable one.
int indexOf(const QString &record);
// The fields of a status record; a missing tag leaves its field empty.
StationEntry parseStatus(const QString &record);
Message parseMessage(const QString &record);
ClockSetting parseClock(const QString &record);
// "h:mm:ss", "hh:mm:ss", with or without AM/PM.
QTime parseTime(const QString &text);

// This station's name as the others see it: trimmed, at most ten characters,
// cut before the first apostrophe.
QString stationName(const QString &typed);

// The receive buffer of one connection.
class Framer {
public:
    // Adds what arrived and returns the records it completed, in order.
    std::vector<QString> feed(const QByteArray &bytes);
    // The rest grew past the limit without completing a record: it was
    // dropped, and the connection is to be closed.
    bool overflowed() const { return m_overflowed; }
    qsizetype pending() const { return m_buffer.size(); }
    void clear() { m_buffer.clear(); }

private:
    std::optional<QString> next();
    QByteArray m_buffer;
    bool m_overflowed = false;
};

} // namespace NetRecords
