#include "spots/SpotSettings.h"

#include "platform/SeqFile.h"

const QStringList &SpotSettings::sourceNames()
{
    static const QStringList names{QStringLiteral("None"), QStringLiteral("TNC"),
                                   QStringLiteral("AGW Packet Engine"), QStringLiteral("Telnet")};
    return names;
}

const QStringList &SpotSettings::bauds()
{
    static const QStringList list{QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
                                  QStringLiteral("9600"), QStringLiteral("14400"), QStringLiteral("19200")};
    return list;
}

QString SpotSettings::sourceName() const { return sourceNames().at(int(source)); }

QString SpotSettings::settingsText() const
{
    return QStringList{baud, parity, dataBits, stopBits}.join(u',');
}

void SpotSettings::chooseTncDefaults()
{
    baud = QStringLiteral("9600");
    parity = QLatin1Char('N');
    dataBits = QLatin1Char('8');
    stopBits = QLatin1Char('1');
    handshake = 3;
    commandChar = QStringLiteral("03");
}

bool SpotSettings::load(const QString &path)
{
    auto reader = SeqReader::fromFile(path);
    if (!reader)
        return false;
    SeqReader &r = *reader;
    auto choice = [&](QChar &into, const QString &allowed) {
        if (auto v = r.nextText(); v && v->trimmed().size() == 1 && allowed.contains(v->trimmed()[0]))
            into = v->trimmed()[0];
    };
    auto number = [&](int &into, int low, int high) {
        if (r.atEnd())
            return;
        if (auto n = r.nextNumber(); n && *n >= low && *n <= high && *n == int(*n))
            into = int(*n);
    };
    auto truth = [&](bool &into) {
        if (auto v = r.nextText()) {
            const QString t = v->trimmed().toUpper();
            if (t == QLatin1String("0") || t == QLatin1String("#FALSE#") || t == QLatin1String("FALSE"))
                into = false;
            else if (t == QLatin1String("1") || t == QLatin1String("-1") || t == QLatin1String("#TRUE#") ||
                     t == QLatin1String("TRUE"))
                into = true;
        }
    };
    if (auto v = r.nextText(); v && bauds().contains(v->trimmed()))
        baud = v->trimmed();
    choice(parity, QStringLiteral("ONE"));
    choice(dataBits, QStringLiteral("78"));
    choice(stopBits, QStringLiteral("12"));
    number(port, 1, 10);
    choice(power, QStringLiteral("NRD"));
    if (auto v = r.nextText(); v && sourceNames().contains(*v))
        source = Source(sourceNames().indexOf(*v));
    truth(convertToHex);
    number(handshake, 1, 4);
    truth(dxOnly);
    truth(listDisplay);
    if (auto v = r.nextText(); v && v->trimmed().size() == 2) {
        bool hex = false;
        v->trimmed().toInt(&hex, 16);
        if (hex)
            commandChar = v->trimmed().toUpper();
    }
    number(telnetPort, 1, 65535);
    if (auto v = r.nextText())
        telnetHost = v->trimmed();
    if (auto v = r.nextText(); v && !v->trimmed().isEmpty())
        agwHost = v->trimmed();
    number(agwPort, 1, 65535);
    return true;
}

bool SpotSettings::save(const QString &path, QString *error) const
{
    SeqWriter w;
    w.text(baud).endLine();
    w.text(parity).endLine();
    w.text(dataBits).endLine();
    w.text(stopBits).endLine();
    w.number(port).endLine();
    w.text(power).endLine();
    w.text(sourceName()).endLine();
    w.number(convertToHex ? 1 : 0).endLine();
    w.number(handshake).endLine();
    w.number(dxOnly ? 1 : 0).endLine();
    w.number(listDisplay ? -1 : 0).endLine();
    w.text(commandChar).endLine();
    w.number(telnetPort).endLine();
    w.text(telnetHost).endLine();
    w.text(agwHost).endLine();
    w.number(agwPort).endLine();
    return w.save(path, error);
}
