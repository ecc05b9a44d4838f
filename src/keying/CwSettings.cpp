#include "keying/CwSettings.h"

#include "platform/AtomicFile.h"
#include "platform/SeqFile.h"
#include "platform/SettingsStore.h"

#include <QRegularExpression>
#include <cmath>

namespace {
const QString MethodKey = QStringLiteral("UserCWSelection");
const QString LoopOffsetKey = QStringLiteral("UserCWLoopOffset");
} // namespace

double leadingNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]+"));
        const auto m = hex.match(t.mid(2));
        return m.hasMatch() ? double(m.captured().toLongLong(nullptr, 16)) : 0;
    }
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const auto m = number.match(t);
    return m.hasMatch() ? m.captured().toDouble() : 0;
}

bool CwSettings::load(const QString &path)
{
    auto reader = SeqReader::fromFile(path);
    if (!reader)
        return false;
    // Each value is taken as it is read; reading stops where the file ends
    // or a number turns out to be none.
    QString *texts[] = {&messages[0], &messages[1], &messages[2],       &messages[3], &messages[4],
                        &messages[5], &messages[6], &messages[7],       &messages[8], &port,
                        &wpm,         &messages[F10], &messages[F11], &wordSpace};
    for (QString *t : texts) {
        const auto v = reader->nextText();
        if (!v)
            return false;
        *t = *v;
    }
    if (messages[8].isEmpty())
        messages[8] = DefaultF9;
    const auto out = reader->nextNumber();
    if (!out)
        return false;
    output = KeyingOutput::checked(*out);
    const auto address = reader->nextText();
    if (!address)
        return false;
    printerAddress = *address;
    const auto display = reader->nextNumber();
    if (!display)
        return false;
    displayText = *display != 0;
    const auto delay = reader->nextText();
    if (!delay)
        return false;
    loopDelay = *delay;
    return true;
}

QByteArray CwSettings::fileData() const
{
    SeqWriter w;
    for (int i = 0; i < 9; ++i)
        w.text(messages[size_t(i)]).endLine();
    w.text(port).endLine();
    w.text(wpm).endLine();
    w.text(messages[F10]).endLine();
    w.text(messages[F11]).endLine();
    w.text(wordSpace).endLine();
    w.number(output).endLine();
    w.text(printerAddress).endLine();
    w.number(displayText ? 1 : 0).endLine();
    w.text(loopDelay).endLine();
    return w.data();
}

bool CwSettings::save(const QString &path, QString *error) const
{
    return writeFileAtomically(path, fileData(), error);
}

void CwSettings::loadTiming()
{
    method = timingMethodFromName(SettingsStore::get(MethodKey, QStringLiteral("Timer")))
                 .value_or(TimingMethod::Timer);
    const auto offset = parseNumber(SettingsStore::get(LoopOffsetKey, QStringLiteral("0")));
    loopOffset = offset && *offset > 0 ? *offset : 0;
}

void CwSettings::saveTiming() const
{
    SettingsStore::set(MethodKey, timingMethodName(method));
    SettingsStore::set(LoopOffsetKey, seqNumber(loopOffset));
}

double CwSettings::wpmValue() const { return leadingNumber(wpm); }
int CwSettings::wordSpaceValue() const { return int(leadingNumber(wordSpace)); }
int CwSettings::portNumber() const { return int(leadingNumber(port)); }
double CwSettings::loopDelaySeconds() const { return leadingNumber(loopDelay); }
