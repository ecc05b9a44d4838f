#include "rig/RigSettings.h"

#include "platform/SeqFile.h"
#include "rig/RigModels.h"

#include <QDir>

QString RigSettings::defaultPegasusFolder()
{
    return QDir::home().filePath(QStringLiteral(".wine/drive_c/Pegasus"));
}

const QStringList &RigSettings::bauds()
{
    static const QStringList list{"1200", "2400", "4800", "9600", "14400", "19200", "28800", "38400", "56000"};
    return list;
}

QString RigSettings::settingsText() const
{
    return QStringList{baud.trimmed(), parity, dataBits, stopBits}.join(QLatin1Char(','));
}

int RigSettings::tickMs() const
{
    switch (pollRate.toLatin1()) {
    case 'F': return 50;
    case 'S': return 1000;
    case 'R': return 5000;
    default: return 250;
    }
}

bool RigSettings::load(const QString &path, QStringList *warnings)
{
    auto reader = SeqReader::fromFile(path);
    if (!reader)
        return false;
    SeqReader &r = *reader;
    auto bad = [warnings](const char *what, const QString &value) {
        if (warnings)
            *warnings << QStringLiteral("%1 \"%2\"").arg(QLatin1String(what), value);
    };
    // Each value is taken only when it is one of its choices.
    auto choice = [&](QChar &into, const char *what, const QString &allowed) {
        if (auto v = r.nextText()) {
            const QString t = v->trimmed();
            if (t.size() == 1 && allowed.contains(t[0]))
                into = t[0];
            else
                bad(what, *v);
        }
    };
    if (auto v = r.nextText()) {
        if (bauds().contains(v->trimmed()))
            baud = v->trimmed();
        else
            bad("baud", *v);
    }
    choice(parity, "parity", QStringLiteral("ONE"));
    choice(dataBits, "data bits", QStringLiteral("78"));
    choice(stopBits, "stop bits", QStringLiteral("12"));
    if (auto v = r.nextText())
        modeQuery = *v;
    if (auto v = r.nextText())
        freqQuery = *v;
    r.nextText(); // the settings text follows from the values above
    if (!r.atEnd()) {
        const auto n = r.nextNumber();
        if (n && *n >= 1 && *n <= 10 && *n == int(*n))
            port = int(*n);
        else
            bad("port", QString());
    }
    choice(power, "power", QStringLiteral("NRD"));
    choice(pollRate, "poll rate", QStringLiteral("FMSR"));
    if (auto v = r.nextText()) {
        if (Rig::isKnown(*v))
            rigType = *v;
        else
            bad("rig", *v);
    }
    auto flag = [&](bool &into, const char *what) {
        if (r.atEnd())
            return;
        const auto n = r.nextNumber();
        if (n && (*n == 0 || *n == 1))
            into = *n == 1;
        else
            bad(what, QString());
    };
    flag(convertToHex, "convert to hex");
    flag(useFrequency, "use frequency");
    if (!r.atEnd()) {
        const auto n = r.nextNumber();
        if (n && (*n == 1 || *n == 2 || *n == 3))
            modeBy = ModeBy(int(*n));
        else
            bad("mode by", QString());
    }
    if (auto v = r.nextText(); v && !v->trimmed().isEmpty())
        rigctldHost = v->trimmed();
    if (!r.atEnd()) {
        const auto n = r.nextNumber();
        if (n && *n >= 1 && *n <= 65535 && *n == int(*n))
            rigctldPort = int(*n);
        else
            bad("rigctld port", QString());
    }
    if (auto v = r.nextText(); v && !v->trimmed().isEmpty())
        pegasusFolder = *v;
    return true;
}

bool RigSettings::save(const QString &path, QString *error) const
{
    SeqWriter w;
    w.text(baud.trimmed().leftJustified(5, QLatin1Char(' '))).endLine();
    w.text(parity).endLine();
    w.text(dataBits).endLine();
    w.text(stopBits).endLine();
    w.text(modeQuery).endLine();
    w.text(freqQuery).endLine();
    w.text(settingsText()).endLine();
    w.number(port).endLine();
    w.text(power).endLine();
    w.text(pollRate).endLine();
    w.text(rigType).endLine();
    w.number(convertToHex ? 1 : 0).endLine();
    w.number(useFrequency ? 1 : 0).endLine();
    w.number(int(modeBy)).endLine();
    w.text(rigctldHost).endLine();
    w.number(rigctldPort).endLine();
    w.text(pegasusFolder).endLine();
    return w.save(path, error);
}
