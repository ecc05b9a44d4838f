#pragma once
// What a log checker would object to in the entry, found before it is
// written: contacts with an empty or malformed grid, a band the entry cannot
// name, a call that is not a call, and a rover's contact without its own
// grid. The log is only read.
#include "log/QsoRecord.h"

#include <QString>
#include <QStringList>

namespace LogCheck {

struct Finding {
    QString what;         // "Empty grid received"
    int count = 0;
    QStringList contacts; // the first few, "K1ABC 2012/06/09 18:05:00"
};

// The findings, in the order above, each only when some contact has it.
QList<Finding> check(const LogMirror &mirror, bool rover);
// The findings as the summary sheet shows them; a line saying that nothing
// was found when there are none.
QString report(const QList<Finding> &findings, int contacts);

} // namespace LogCheck
