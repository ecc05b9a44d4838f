#pragma once
// The export for the maker's general-purpose logger Orrery: "LogExp.txt" in
// the working folder, one comma-separated line of sixteen fields per contact.
#include "log/QsoRecord.h"

#include <QByteArray>
#include <QString>

namespace OrreryExport {

inline const QString FileName = QStringLiteral("LogExp.txt");

// The band as Orrery names it: the first three characters of the label,
// trimmed ("1.3 G" gives 1.3, "50 M" gives 50).
QString band(const QString &bandLabel);
// One line per contact in mirror order, CR LF line ends.
QByteArray orreryText(const LogMirror &mirror, int contestType);
// Writes LogExp.txt into folder and returns its path, or an empty text on
// failure.
QString writeExport(const LogMirror &mirror, int contestType, const QString &folder,
                    QString *error = nullptr);

} // namespace OrreryExport
