#include "log/SharedPrefs.h"

#include "platform/AtomicFile.h"
#include "platform/WholeFile.h"


QString SharedPrefs::declaration()
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
}

bool SharedPrefs::load(const QString &path, QString *reason)
{
    m_path = path;
    m_refused.clear();
    m_text = declaration();
    const WholeFile::Read file = WholeFile::read(path, WholeFile::SettingsLimit);
    if (file.ok()) {
        m_text = QString::fromUtf8(file.data);
        m_text.chop(2);
        return true;
    }
    if (file.status == WholeFile::Read::Status::Missing)
        return true;
    // Something that is no file of its own is never written over either.
    m_refused = file.reason;
    if (reason)
        *reason = file.reason;
    return false;
}

bool SharedPrefs::set(const QString &key, const QString &value, bool saveNow, QString *error)
{
    const QString k = key.toUpper();
    const QString open = u'<' + k + u'>';
    const QString close = QStringLiteral("</") + k + u'>';
    const qsizetype at = m_text.indexOf(open);
    qsizetype end = at < 0 ? -1 : m_text.indexOf(close, at + open.size());
    if (at >= 0 && end >= 0) {
        const qsizetype start = at + open.size();
        m_text.replace(start, end - start, value);
    } else {
        m_text += QStringLiteral("\r\n") + open + value + close;
    }
    if (!saveNow || m_path.isEmpty())
        return true;
    if (!m_refused.isEmpty()) {
        if (error)
            *error = m_refused;
        return false;
    }
    return writeFileAtomically(m_path, (m_text + QStringLiteral("\r\n")).toUtf8(), error);
}
