#include "export/Append.h"

#include "log/LogStore.h"
#include "platform/LogEngine.h"
#include "platform/SeqFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
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

std::optional<std::vector<QsoRecord>> readBackup(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = notLog(path, f.errorString());
        return std::nullopt;
    }
    const QByteArray data = f.readAll();
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
    }
    return records;
}

std::optional<std::vector<QsoRecord>> readLogFile(const QString &path, QString *error)
{
    // Looked at read-only first, so that a database of another program is
    // never opened for writing.
    QString why;
    if (!LogEngine::isLogFile(path, &why)) {
        if (error)
            *error = notLog(path, why);
        return std::nullopt;
    }
    LogEngine other;
    if (!other.open(path, &why)) {
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
    auto same = [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    };
    for (const QsoRecord &r : rows)
        if (same(r.calls, in.calls) && same(r.uband, in.uband) && same(r.gridr, in.gridr) &&
            same(r.grids, in.grids))
            return true;
    return false;
}

Result appendRecords(LogStore &store, const std::vector<QsoRecord> &records,
                     bool eliminateDuplicates)
{
    Result result;
    result.read = static_cast<int>(records.size());
    auto fail = [&result](const QString &why) {
        result.status = Result::Status::Failed;
        result.appended = 0;
        result.skipped = 0;
        result.error = QStringLiteral("The contacts could not be written to the log (%1).\r\n\r\n"
                                      "Nothing was appended.")
                           .arg(why);
        return result;
    };
    if (!store.isOpen())
        return fail(QStringLiteral("the log is not open"));
    QString e;
    if (!store.engine().beginWrite(&e))
        return fail(e);
    for (const QsoRecord &r : records) {
        // The check sees the records appended before it, so a contact that
        // the file holds twice goes in once.
        if (eliminateDuplicates) {
            const auto rows = store.rowsForCall(r.calls, &e);
            if (!rows) {
                store.engine().rollback();
                return fail(e);
            }
            if (isDuplicate(r, *rows)) {
                ++result.skipped;
                continue;
            }
        }
        if (!store.insert(r, &e)) {
            store.engine().rollback();
            return fail(e);
        }
        ++result.appended;
    }
    if (!store.engine().commit(&e))
        return fail(e);
    result.status = Result::Status::Appended;
    return result;
}

Result appendFile(LogStore &store, const QString &sourcePath, bool eliminateDuplicates)
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
    const auto records = isDatabaseName(source) ? readLogFile(source, &e) : readBackup(source, &e);
    if (!records) {
        result.status = Result::Status::NotReadable;
        result.error = e;
        return result;
    }
    return appendRecords(store, *records, eliminateDuplicates);
}

namespace Text {
QString done(const Result &r)
{
    QString s = r.appended == 1 ? QStringLiteral("1 contact was appended")
                                : QStringLiteral("%1 contacts were appended").arg(r.appended);
    if (r.skipped > 0)
        s += r.skipped == 1 ? QStringLiteral("; 1 duplicate was left out")
                            : QStringLiteral("; %1 duplicates were left out").arg(r.skipped);
    return s + u'.';
}
} // namespace Text

} // namespace Append
