#include "log/SharedPrefs.h"

#include "platform/AtomicFile.h"

#include <QFile>

QString SharedPrefs::declaration()
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
}

void SharedPrefs::load(const QString &path)
{
    m_path = path;
    QFile f(path);
    if (f.exists() && f.open(QIODevice::ReadOnly)) {
        m_text = QString::fromUtf8(f.readAll());
        m_text.chop(2);
    } else {
        m_text = declaration();
    }
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
    return writeFileAtomically(m_path, (m_text + QStringLiteral("\r\n")).toUtf8(), error);
}
