#pragma once
// Dates and times as operators type them and as the log stores them.
// Log dates are "yyyy/mm/dd", log times "hh:mm:ss" (or "hh:mm" for contacts
// entered after the contest).
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

namespace DateTimeText {

// A typed date: year first ("2026/6/13", "2026-06-13") or month first
// ("6/13/2026", "6/13/26"); nothing when it is no real date.
std::optional<QDate> parseDate(const QString &text);
// A typed time: "18:05", "18:05:30", "9:05"; nothing when it is no real time.
std::optional<QTime> parseTime(const QString &text);

QString logDate(const QDate &d); // "yyyy/MM/dd"
QString logTime(const QTime &t); // "HH:mm:ss"
QString shortLogTime(const QTime &t); // "HH:mm"

// A log record's date and time text parsed back; nothing when either is bad.
std::optional<QDateTime> parseLogDateTime(const QString &date, const QString &time);

} // namespace DateTimeText
