#include "log/Folders.h"

#include "platform/Dialogs.h"
#include "platform/LogEngine.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString workDirValue;
Folders::DataFolders folders;

// The name-part rule of a UNC-style path: the text between the leading pair
// of separators and the next separator.
QString hostOfUnc(const QString &path)
{
    const qsizetype p1 = path.indexOf(QStringLiteral("\\\\"));
    const qsizetype p2 = path.indexOf(u'\\', 2);
    if (p1 >= 0 && p2 >= 0 && p2 - p1 - 2 > 0)
        return path.mid(p1 + 2, p2 - p1 - 2);
    return QString();
}

QString unescapeMount(QString s)
{
    // /proc/mounts writes blanks and tabs in octal.
    s.replace(QStringLiteral("\\040"), QStringLiteral(" "));
    s.replace(QStringLiteral("\\011"), QStringLiteral("\t"));
    s.replace(QStringLiteral("\\134"), QStringLiteral("\\"));
    return s;
}

bool isNetworkFs(const QString &type)
{
    return type == QLatin1String("cifs") || type == QLatin1String("smb3") ||
           type == QLatin1String("smbfs") || type == QLatin1String("nfs") ||
           type == QLatin1String("nfs4");
}

QString hostOfSource(const QString &source)
{
    if (source.startsWith(QLatin1String("//")) || source.startsWith(QLatin1String("\\\\"))) {
        QString s = source.mid(2);
        s.replace(u'\\', u'/');
        return s.section(u'/', 0, 0);
    }
    const qsizetype colon = source.indexOf(u':');
    if (colon > 0) {
        QString host = source.left(colon);
        if (host.startsWith(u'[') && host.endsWith(u']'))
            host = host.mid(1, host.size() - 2);
        return host;
    }
    return QString();
}
} // namespace

namespace Folders {

QString workDir()
{
    if (workDirValue.isEmpty())
        workDirValue = QDir::currentPath();
    return workDirValue;
}

void setWorkDir(const QString &dir) { workDirValue = QDir(dir).absolutePath(); }

bool makePath(const QString &path)
{
    if (path.trimmed().isEmpty()) {
        msgBox(nullptr, QStringLiteral("Invalid Path"), QStringLiteral("Unable to Create Directory"));
        return false;
    }
    // One level at a time, so that each missing level is made.
    const QString abs = QDir::cleanPath(QDir(path).absolutePath());
    const QStringList parts = abs.split(u'/', Qt::SkipEmptyParts);
    QString cur = abs.startsWith(u'/') ? QStringLiteral("/") : QString();
    for (const QString &part : parts) {
        cur = cur.isEmpty() || cur == QLatin1String("/") ? cur + part : cur + u'/' + part;
        QDir d(cur);
        if (!d.exists() && !QDir().mkdir(cur))
            return false;
    }
    return true;
}

DataFolders findDataFolders(const QString &documents)
{
    DataFolders f;
    f.documents = documents;
    if (f.documents.isEmpty())
        f.documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (f.documents.isEmpty())
        f.documents = QDir::homePath();
    f.maker = f.documents + QStringLiteral("/Tarnwick Software");
    f.product = f.maker + QStringLiteral("/Halvern");
    f.shared = f.maker + QStringLiteral("/Shared");
    f.backup = f.product + QStringLiteral("/BACKUP");
    makePath(f.maker);
    makePath(f.product);
    makePath(f.shared);
    makePath(f.backup);
    return f;
}

const DataFolders &dataFolders() { return folders; }
void setDataFolders(const DataFolders &f) { folders = f; }

QString serverName(const QString &logPath, const QString &mountTable)
{
    // A log on a database server: the PC that runs the server.
    if (LogEngine::isServerLog(logPath))
        return LogEngine::serverHost(logPath);
    const QString unc = hostOfUnc(logPath);
    if (!unc.isEmpty())
        return unc;
    if (logPath.startsWith(QLatin1String("//"))) {
        const QString host = logPath.mid(2).section(u'/', 0, 0);
        if (!host.isEmpty())
            return host;
    }
    if (logPath.startsWith(QLatin1String("\\\\")) || logPath.startsWith(QLatin1String("//")))
        return QString();

    QString table = mountTable;
    if (table.isEmpty()) {
        table = QString::fromUtf8(WholeFile::read(QStringLiteral("/proc/mounts"), WholeFile::SettingsLimit).data);
    }
    const QString abs = QDir::cleanPath(QDir(logPath).absolutePath());
    QString bestHost;
    qsizetype bestLen = -1;
    for (const QString &line : table.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
        if (f.size() < 3)
            continue;
        const QString mountPoint = QDir::cleanPath(unescapeMount(f.at(1)));
        const bool under = abs == mountPoint || abs.startsWith(mountPoint == QLatin1String("/")
                                                                   ? mountPoint
                                                                   : mountPoint + u'/');
        if (!under || mountPoint.size() <= bestLen)
            continue;
        bestLen = mountPoint.size();
        bestHost = isNetworkFs(f.at(2)) ? hostOfSource(unescapeMount(f.at(0))) : QString();
    }
    return bestHost;
}

} // namespace Folders
