#include "keying/WinKeySettings.h"

#include "platform/AtomicFile.h"
#include "platform/SeqFile.h"

#include <cmath>

const WinKeySettings::Field WinKeySettings::Wpm{&WinKeySettings::wpm, 0, 99, "18"};
const WinKeySettings::Field WinKeySettings::Weight{&WinKeySettings::weight, 0, 99, "50"};
// Lead-in and tail are single bytes on the wire: up to 2.5 s each.
const WinKeySettings::Field WinKeySettings::LeadIn{&WinKeySettings::leadIn, 0, 250, "0"};
const WinKeySettings::Field WinKeySettings::Tail{&WinKeySettings::tail, 0, 250, "0"};
// One wider at each end than the 33 to 66 the keyer states.
const WinKeySettings::Field WinKeySettings::Ratio{&WinKeySettings::ratio, 32, 67, "50"};

QString WinKeySettings::fileName() { return QStringLiteral("WK.txt"); }

std::optional<int> WinKeySettings::number(const QString &text, int lowest, int highest)
{
    const auto v = parseNumber(text);
    if (!v || *v != std::trunc(*v) || *v < lowest || *v > highest)
        return std::nullopt;
    return int(*v);
}

std::optional<int> WinKeySettings::accept(const Field &f)
{
    QString &text = this->*f.text;
    const auto v = number(text, f.lowest, f.highest);
    if (!v)
        text = QLatin1String(f.fallback);
    return v;
}

bool WinKeySettings::load(const QString &path)
{
    auto reader = SeqReader::fromFile(path);
    if (!reader)
        return false;
    const auto portValue = reader->nextText();
    const auto p = portValue ? number(*portValue, 0, 255) : std::nullopt;
    if (!p)
        return false;
    port = *p;
    for (QString *t : {&wpm, &weight, &leadIn, &tail, &ratio}) {
        const auto v = reader->nextText();
        if (!v)
            return false;
        *t = *v;
    }
    const auto pins = reader->nextText();
    const auto pinValue = pins ? number(*pins, 0, 255) : std::nullopt;
    if (!pinValue || (*pinValue != Key5Out3Off && *pinValue != Key5Off3Out && *pinValue != Tone && *pinValue != Ptt))
        return false;
    pinConfig = *pinValue;
    const auto keyer = reader->nextText();
    const auto modeValue = keyer ? number(*keyer, 0, 255) : std::nullopt;
    if (!modeValue || (*modeValue & ~0x30) != 0)
        return false;
    keyerMode = *modeValue;
    return true;
}

QByteArray WinKeySettings::fileData() const
{
    SeqWriter w;
    w.number(port).endLine();
    for (const QString *t : {&wpm, &weight, &leadIn, &tail, &ratio})
        w.text(*t).endLine();
    w.number(pinConfig).endLine();
    w.number(keyerMode).endLine();
    return w.data();
}

bool WinKeySettings::save(const QString &path, QString *error) const
{
    return writeFileAtomically(path, fileData(), error);
}
