#include "keying/CwMacros.h"

namespace {
QString replaceEach(const QString &text, QChar wildcard, const QString &value)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == wildcard)
            out += value;
        else
            out += c;
    }
    return out;
}
} // namespace

QString expandWildcards(const QString &message, const QString &call, const QString &report,
                        const QString &number)
{
    QString text = replaceEach(message, u'$', call.trimmed());
    text = replaceEach(text, u'#', number.trimmed());
    const QString sent = report.isEmpty() || report == QLatin1String("599") ? QStringLiteral("5NN") : report;
    return replaceEach(text, u'*', sent.trimmed());
}
