#include "export/OrreryExport.h"

#include "export/Adif.h"
#include "platform/AtomicFile.h"
#include "platform/SeqFile.h"

#include <QDir>

namespace {
// One value in the sequential format's quoting.
QByteArray quoted(const QString &v) { return SeqWriter().text(v).data(); }
} // namespace

namespace OrreryExport {

QString band(const QString &bandLabel) { return bandLabel.left(3).trimmed(); }

QByteArray orreryText(const LogMirror &mirror, int contestType)
{
    const QByteArray contest = quoted(Adif::contestName(contestType));
    QByteArray out;
    for (const QsoRecord &r : mirror.records()) {
        // Record values are quoted even when empty; the fields Orrery fills
        // itself are written as nothing between the commas.
        const QByteArray none;
        const QList<QByteArray> fields{quoted(r.calls), quoted(r.flddate), quoted(band(r.uband)),
                                       quoted(r.umode), none,              quoted(r.fldtime),
                                       quoted(r.rsts),  quoted(r.rstr),    none,
                                       none,            none,              none,
                                       quoted(r.gridr), none,              none,
                                       contest};
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                out += ',';
            out += fields.at(i);
        }
        out += "\r\n";
    }
    return out;
}

QString writeExport(const LogMirror &mirror, int contestType, const QString &folder, QString *error)
{
    const QString path = QDir(folder).filePath(FileName);
    if (!writeFileAtomically(path, orreryText(mirror, contestType), error))
        return QString();
    return path;
}

} // namespace OrreryExport
