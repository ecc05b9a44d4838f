#include "export/LogCheck.h"

#include "log/Bands.h"
#include "log/RecordRules.h"

#include <functional>

namespace LogCheck {

QList<Finding> check(const LogMirror &mirror, bool rover)
{
    const std::pair<QString, std::function<bool(const QsoRecord &)>> rules[] = {
        {QStringLiteral("Empty grid received"),
         [](const QsoRecord &r) { return r.gridr.trimmed().isEmpty(); }},
        {QStringLiteral("Grid received that is no grid square"),
         [](const QsoRecord &r) { return !r.gridr.trimmed().isEmpty() && !RecordRules::isGrid(r.gridr); }},
        {QStringLiteral("Band the entry cannot name"),
         [](const QsoRecord &r) { return Bands::indexOf(r.uband) < 0; }},
        {QStringLiteral("Call that is not a call sign"),
         [](const QsoRecord &r) { return !RecordRules::isCall(r.calls); }},
        {QStringLiteral("Rover contact without its own grid"),
         [rover](const QsoRecord &r) { return rover && !RecordRules::isGrid(r.grids); }},
    };
    constexpr int Named = 5;
    QList<Finding> out;
    for (const auto &[what, broken] : rules) {
        Finding f{what, 0, {}};
        for (const QsoRecord &r : mirror.records()) {
            if (!broken(r))
                continue;
            if (++f.count <= Named)
                f.contacts.append(QStringList{r.calls, r.uband, r.flddate, r.fldtime}.join(u' ').simplified());
        }
        if (f.count > 0)
            out.append(f);
    }
    return out;
}

QString report(const QList<Finding> &findings, int contacts)
{
    if (findings.isEmpty())
        return QStringLiteral("Checked %1 contacts: nothing a log checker would object to.").arg(contacts);
    QStringList lines{QStringLiteral("Checked %1 contacts. A log checker would object to:").arg(contacts)};
    for (const Finding &f : findings) {
        QString line = QStringLiteral("%1: %2 (%3").arg(f.what).arg(f.count).arg(f.contacts.join(QStringLiteral("; ")));
        lines.append(line + (f.count > f.contacts.size() ? QStringLiteral("; ...)") : QStringLiteral(")")));
    }
    lines.append(QStringLiteral("The log is not changed; correct these contacts in the contact list first."));
    return lines.join(u'\n');
}

} // namespace LogCheck
