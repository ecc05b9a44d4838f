#include "export/Append.h"

#include "log/Dupes.h"
#include "log/LogStore.h"
#include "log/RecordRules.h"
#include "platform/LogEngine.h"
#include "platform/SeqFile.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <algorithm>
#include <sys/stat.h>

namespace {

// The fullest spelling of a path that the file system allows: the resolved
// path of the file, or of its folder when the file does not exist.
QString resolved(const QString &path)
{
    const QFileInfo fi(path);
    if (fi.exists())
        return fi.canonicalFilePath();
    const QFileInfo dir(fi.absolutePath());
    if (dir.exists())
        return QDir(dir.canonicalFilePath()).filePath(fi.fileName());
    return QDir::cleanPath(fi.absoluteFilePath());
}

std::optional<std::pair<dev_t, ino_t>> identity(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return std::make_pair(st.st_dev, st.st_ino);
}

QString notLog(const QString &path, const QString &why)
{
    return QStringLiteral("The file %1 is not a log that can be appended (%2).\r\n\r\nNothing was "
                          "appended.")
        .arg(QDir::toNativeSeparators(path), why);
}

} // namespace

namespace Append {

bool sameFile(const QString &a, const QString &b)
{
    const QString ta = a.trimmed(), tb = b.trimmed();
    if (ta.isEmpty() || tb.isEmpty())
        return false;
    const QString ra = resolved(ta), rb = resolved(tb);
    const auto ia = identity(ra), ib = identity(rb);
    if (ia && ib)
        return *ia == *ib;
    // A spelling that names no file here but differs from the other only in
    // the case of its letters still means that file.
    return ra.compare(rb, Qt::CaseInsensitive) == 0;
}

bool isDatabaseName(const QString &path)
{
    return path.trimmed().right(3).compare(QLatin1String("MDB"), Qt::CaseInsensitive) == 0;
}

std::optional<std::vector<QsoRecord>> readBackup(const QString &path, QString *error,
                                                 std::vector<int> *lineNumbers)
{
    const WholeFile::Read file = WholeFile::read(path, WholeFile::BackupLimit);
    if (!file.ok()) {
        if (error)
            *error = notLog(path, file.status == WholeFile::Read::Status::Missing
                                      ? QStringLiteral("there is no such file")
                                      : file.reason);
        return std::nullopt;
    }
    const QByteArray &data = file.data;
    if (data.contains('\0')) {
        if (error)
            *error = notLog(path, QStringLiteral("it is not a text file"));
        return std::nullopt;
    }
    std::vector<QsoRecord> records;
    const QList<QStringList> lines = SeqReader::lines(data);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList &line = lines.at(i);
        if (line.isEmpty())
            continue;
        if (line.size() != QsoRecord::ColumnCount) {
            if (error)
                *error = notLog(path, QStringLiteral("its line %1 holds %2 values where a "
                                                     "contact of a log backup has %3")
                                          .arg(i + 1)
                                          .arg(line.size())
                                          .arg(QsoRecord::ColumnCount));
            return std::nullopt;
        }
        records.push_back(QsoRecord::fromValues(line));
        if (lineNumbers)
            lineNumbers->push_back(static_cast<int>(i + 1));
    }
    return records;
}

std::optional<std::vector<QsoRecord>> readLogFile(const QString &path, QString *error)
{
    // Read-only: the file, its journal mode and its folder stay as they are.
    QString why;
    LogEngine other;
    if (!other.openSource(path, &why)) {
        if (error)
            *error = notLog(path, why);
        return std::nullopt;
    }
    auto records = LogStore::readRows(other.select(QStringLiteral("select * from tbllog"), {}, &why), &why);
    if (!records && error)
        *error = notLog(path, why);
    return records;
}

bool isDuplicate(const QsoRecord &in, const std::vector<QsoRecord> &rows)
{
    return std::any_of(rows.begin(), rows.end(), [&in](const QsoRecord &r) {
        return isSameContact(r, in.calls, in.uband, in.gridr, in.grids);
    });
}

Result appendRecords(LogStore &store, const std::vector<QsoRecord> &records,
                     bool eliminateDuplicates, BatchAppend::Options options, const QStringList &where)
{
    Result result;
    result.read = static_cast<int>(records.size());
    std::vector<QsoRecord> usable;
    usable.reserve(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const QString why = RecordRules::refusal(records[i]);
        if (why.isEmpty()) {
            usable.push_back(RecordRules::normalized(records[i]));
            continue;
        }
        const QString place = i < size_t(where.size()) ? where.at(qsizetype(i))
                                                         : QStringLiteral("record %1").arg(i + 1);
        result.refused.append(place + QStringLiteral(": ") + why);
    }
    options.eliminateDuplicates = eliminateDuplicates;
    const BatchAppend::Outcome o = BatchAppend::append(store, usable, options);
    if (o.ok) {
        result.status = Result::Status::Appended;
        result.appended = o.appended;
        result.skipped = o.skipped;
        return result;
    }
    result.status = Result::Status::Failed;
    result.error = QStringLiteral("The contacts could not be written to the log (%1).\r\n\r\n").arg(o.error);
    result.error += o.leftOver == 0
                        ? QStringLiteral("Nothing was appended.")
                        : QStringLiteral("The %1 contacts written before the failure will be taken "
                                         "out of the log the next time it is opened.")
                              .arg(o.leftOver);
    return result;
}

Result appendFile(LogStore &store, const QString &sourcePath, bool eliminateDuplicates,
                  const BatchAppend::Options &options)
{
    const QString source = sourcePath.trimmed();
    Result result;
    if (source.isEmpty()) {
        result.status = Result::Status::NotReadable;
        result.error = QStringLiteral("Please enter the path and name of the file to append.");
        return result;
    }
    if (sameFile(source, store.path())) {
        result.status = Result::Status::SameFile;
        result.error = Text::SameFileText;
        return result;
    }
    QString e;
    std::vector<int> lines;
    const bool database = isDatabaseName(source);
    const auto records = database ? readLogFile(source, &e) : readBackup(source, &e, &lines);
    if (!records) {
        result.status = Result::Status::NotReadable;
        result.error = e;
        return result;
    }
    QStringList where;
    for (size_t i = 0; i < records->size(); ++i)
        where.append(database ? QStringLiteral("row %1").arg(i + 1) : QStringLiteral("line %1").arg(lines.at(i)));
    return appendRecords(store, *records, eliminateDuplicates, options, where);
}

namespace Text {
QString done(const Result &r)
{
    QString s = r.appended == 1 ? QStringLiteral("1 contact was appended")
                                : QStringLiteral("%1 contacts were appended").arg(r.appended);
    if (r.skipped > 0)
        s += r.skipped == 1 ? QStringLiteral("; 1 duplicate was left out")
                            : QStringLiteral("; %1 duplicates were left out").arg(r.skipped);
    s += u'.';
    if (r.refused.isEmpty())
        return s;
    s += r.refused.size() == 1
             ? QStringLiteral("\r\n\r\n1 record was not appended because the log cannot use it:")
             : QStringLiteral("\r\n\r\n%1 records were not appended because the log cannot use them:")
                   .arg(r.refused.size());
    // A long list is cut so that the message still fits on the screen.
    constexpr qsizetype Shown = 20;
    for (const QString &line : r.refused.mid(0, Shown))
        s += QStringLiteral("\r\n") + line;
    if (r.refused.size() > Shown)
        s += QStringLiteral("\r\n... and %1 more.").arg(r.refused.size() - Shown);
    return s;
}
} // namespace Text

} // namespace Append
