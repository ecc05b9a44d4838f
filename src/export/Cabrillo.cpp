#include "export/Cabrillo.h"

#include "log/Bands.h"
#include "log/DateTimeText.h"
#include "log/Folders.h"
#include "log/SharedPrefs.h"
#include "log/Station.h"
#include "platform/AtomicFile.h"
#include "platform/SettingsStore.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Builds one line by column positions, counted from 1. A field starts at its
// column when the line has not reached it yet; a field pushed past its column
// by a long field before it follows that field after one blank, on the same
// line, so that every field stays on the line and apart from its neighbours.
class ColumnLine {
public:
    void put(int column, const QString &text)
    {
        const qsizetype length = m_text.size();
        if (length < column - 1)
            m_text += QString(column - 1 - length, u' ');
        else if (length > 0 && !m_text.endsWith(u' '))
            m_text += u' ';
        m_text += text;
    }
    QString text() const { return m_text; }

private:
    QString m_text;
};

// Field values stay on their line: a line break typed into a window field
// would otherwise start a line without a tag.
QString oneLine(const QString &s)
{
    QString out = s;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    return out;
}

QString cabrilloDate(const QString &logDate)
{
    if (const auto d = DateTimeText::parseDate(logDate))
        return d->toString(QStringLiteral("yyyy-MM-dd"));
    QString s = logDate;
    return s.replace(u'/', u'-');
}

QString cabrilloTime(const QString &logTime)
{
    if (const auto t = DateTimeText::parseTime(logTime))
        return t->toString(QStringLiteral("HHmm"));
    return logTime.left(2) + logTime.mid(3, 2);
}

} // namespace

namespace Cabrillo {

QString contestValue(int contestType)
{
    switch (contestType) {
    case 1: return QStringLiteral("ARRL-VHF-JAN");
    case 2: return QStringLiteral("ARRL-VHF-JUN");
    case 3: return QStringLiteral("ARRL-UHF-AUG");
    case 4: return QStringLiteral("ARRL-VHF-SEP");
    case 5: return QStringLiteral("CQ-VHF");
    default: return QString();
    }
}

QString operatorValue(int contestType, Operator op)
{
    if (contestType == 5) {
        switch (op) {
        case Operator::Single: return QStringLiteral("SINGLE-OP ALL HIGH");
        case Operator::SingleOpPortable: return QStringLiteral("SINGLE-OP ALL QRP");
        case Operator::Rover: return QStringLiteral("SINGLE-OP 6M HIGH");
        case Operator::MultiLimited: return QStringLiteral("SINGLE-OP 2M HIGH");
        case Operator::MultiUnlimited: return QStringLiteral("MULTI-ONE ALL HIGH");
        case Operator::Checklog: return QStringLiteral("ROVER ALL HIGH");
        }
        return QString();
    }
    switch (op) {
    case Operator::Single: return QStringLiteral("SINGLE-OP");
    case Operator::SingleOpPortable: return QStringLiteral("SINGLE-OP-PORTABLE");
    case Operator::Rover: return QStringLiteral("ROVER");
    case Operator::MultiLimited: return QStringLiteral("MULTI-LIMITED");
    case Operator::MultiUnlimited: return QStringLiteral("MULTI-UNLIMITED");
    case Operator::Checklog: return QStringLiteral("CHECKLOG");
    }
    return QString();
}

QString bandCategoryValue(BandCategory b)
{
    switch (b) {
    case BandCategory::None: return QString();
    case BandCategory::All: return QStringLiteral("ALL");
    case BandCategory::Limited: return QStringLiteral("LIMITED");
    case BandCategory::ThreeBand: return QStringLiteral("VHF-3-BAND");
    case BandCategory::FmOnly: return QStringLiteral("VHF-FM-ONLY");
    }
    return QString();
}

QString powerValue(Power p)
{
    switch (p) {
    case Power::None: return QString();
    case Power::High: return QStringLiteral("HIGH");
    case Power::Low: return QStringLiteral("LOW");
    }
    return QString();
}

QString categoryLine(int contestType, const Header &h)
{
    const QString op = operatorValue(contestType, h.op);
    if (h.op != Operator::Single)
        return QStringLiteral("CATEGORY: ") + op;
    // The single operator's line keeps a blank for each of band, power and
    // the unwritten mode. The CQ contest has no band or power category here.
    const bool cq = contestType == 5;
    const QString band = cq ? QString() : bandCategoryValue(h.band);
    const QString power = cq ? QString() : powerValue(h.power);
    return QStringLiteral("CATEGORY: ") + op + u' ' + band + u' ' + power + u' ';
}

QString stationValue(StationKind k)
{
    switch (k) {
    case StationKind::Fixed: return QStringLiteral("FIXED");
    case StationKind::Portable: return QStringLiteral("PORTABLE");
    case StationKind::Rover: return QStringLiteral("ROVER");
    case StationKind::RoverLimited: return QStringLiteral("ROVER-LIMITED");
    case StationKind::RoverUnlimited: return QStringLiteral("ROVER-UNLIMITED");
    }
    return QString();
}

QStringList categoryLines3(int contestType, const Header &h)
{
    QString op = QStringLiteral("SINGLE-OP"), transmitter;
    QString band = h.band == BandCategory::ThreeBand ? QStringLiteral("VHF-3-BAND")
                   : h.band == BandCategory::FmOnly  ? QStringLiteral("VHF-FM-ONLY")
                                                     : QStringLiteral("ALL");
    QString power = powerValue(h.power);
    // A rover's kind is the entrant's choice; any other station is fixed
    // unless it operated portable.
    const bool rover = h.station == StationKind::Rover || h.station == StationKind::RoverLimited
                       || h.station == StationKind::RoverUnlimited;
    StationKind station = rover ? h.station : StationKind::Fixed;
    if (contestType == 5) {
        // The CQ contest's six choices carry operator, band and power at once.
        power = QStringLiteral("HIGH");
        switch (h.op) {
        case Operator::Single: band = QStringLiteral("ALL"); break;
        case Operator::SingleOpPortable: band = QStringLiteral("ALL"), power = QStringLiteral("QRP"); break;
        case Operator::Rover: band = QStringLiteral("6M"); break;
        case Operator::MultiLimited: band = QStringLiteral("2M"); break;
        case Operator::MultiUnlimited:
            op = QStringLiteral("MULTI-OP"), transmitter = QStringLiteral("ONE"), band = QStringLiteral("ALL");
            break;
        case Operator::Checklog:
            band = QStringLiteral("ALL");
            if (!rover)
                station = StationKind::Rover;
            break;
        }
    } else {
        switch (h.op) {
        case Operator::Single: break;
        case Operator::SingleOpPortable: station = StationKind::Portable; break;
        case Operator::Rover:
            if (!rover)
                station = StationKind::Rover;
            break;
        case Operator::MultiLimited: op = QStringLiteral("MULTI-OP"), transmitter = QStringLiteral("LIMITED"); break;
        case Operator::MultiUnlimited: op = QStringLiteral("MULTI-OP"), transmitter = QStringLiteral("UNLIMITED"); break;
        case Operator::Checklog: op = QStringLiteral("CHECKLOG"); break;
        }
    }
    QStringList lines{QStringLiteral("CATEGORY-OPERATOR: ") + op,
                      QStringLiteral("CATEGORY-STATION: ") + stationValue(station)};
    if (!transmitter.isEmpty())
        lines.append(QStringLiteral("CATEGORY-TRANSMITTER: ") + transmitter);
    lines.append(QStringLiteral("CATEGORY-BAND: ") + band);
    if (!power.isEmpty())
        lines.append(QStringLiteral("CATEGORY-POWER: ") + power);
    lines.append(QStringLiteral("CATEGORY-MODE: ") + (h.mode == ModeCategory::Cw    ? QStringLiteral("CW")
                                                      : h.mode == ModeCategory::Ssb ? QStringLiteral("SSB")
                                                                                    : QStringLiteral("MIXED")));
    if (contestType == 5)
        lines.append(h.assisted ? QStringLiteral("CATEGORY-ASSISTED: ASSISTED")
                                : QStringLiteral("CATEGORY-ASSISTED: NON-ASSISTED"));
    return lines;
}

QString band3(const QString &bandLabel)
{
    // The bands of 1.2 GHz and up by the names 3.0 gives them; the log's
    // 300 GHz band lies beyond 3.0's last microwave band and is sent as LIGHT,
    // the name 3.0 gives everything above 241G.
    static const char *const names[Bands::Count] = {"50",  "144", "222", "432", "902", "1.2G",
                                                    "2.3G", "3.4G", "5.7G", "10G", "24G", "47G",
                                                    "75G", "122G", "134G", "241G", "LIGHT"};
    const int i = Bands::indexOf(bandLabel);
    return i < 0 ? QString() : QString::fromLatin1(names[i]);
}

QString qsoLine3(const QsoRecord &r, const QString &ownCall)
{
    return QStringList{QStringLiteral("QSO:"),
                       band3(r.uband),
                       r.umode.toUpper(),
                       cabrilloDate(r.flddate),
                       cabrilloTime(r.fldtime),
                       ownCall,
                       r.grids.trimmed().toUpper(),
                       r.calls.trimmed(),
                       r.gridr.trimmed().toUpper()}
        .join(u' ');
}

Operator initialOperator(int contestType, bool rover)
{
    if (!rover)
        return Operator::Single;
    return contestType == 5 ? Operator::Checklog : Operator::Rover;
}

QString qsoLine(const QsoRecord &r, const QString &ownCall)
{
    const QString freq = Bands::cabrillo(r.uband);
    ColumnLine line;
    line.put(1, QStringLiteral("QSO:"));
    line.put(static_cast<int>(11 - freq.size()), freq); // ends in column 10
    line.put(12, r.umode);
    line.put(15, cabrilloDate(r.flddate));
    line.put(26, cabrilloTime(r.fldtime));
    line.put(31, ownCall);
    line.put(49, r.grids);
    line.put(56, r.calls);
    line.put(74, r.gridr);
    // The line ends with a blank in column 81, or one blank after a line that
    // ran past it.
    const QString text = line.text();
    return text.size() < 81 ? text.leftJustified(81, u' ') : text + u' ';
}

QString cabrilloText(const LogMirror &mirror, const Station &station, const Header &h,
                     qint64 claimedScore, const ProgramInfo &program)
{
    const int type = station.contestType;
    const QString call = station.ownCall.trimmed();
    QString out;
    auto add = [&out](const QString &line) { out += line + CrLf; };

    // A soapbox of several lines keeps its lines, each under its own tag.
    QString soap = h.soapbox;
    soap.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const QStringList soapbox = soap.split(u'\n');

    if (h.version == Version::V3) {
        add(QStringLiteral("START-OF-LOG: 3.0"));
        add(QStringLiteral("CREATED-BY: ") + program.title());
        add(QStringLiteral("CONTEST: ") + contestValue(type));
        add(QStringLiteral("CALLSIGN: ") + call);
        if (type != 5 && !h.section.trimmed().isEmpty())
            add(QStringLiteral("LOCATION: ") + oneLine(h.section).trimmed());
        if (!station.ownGrid.trimmed().isEmpty())
            add(QStringLiteral("GRID-LOCATOR: ") + station.ownGrid.trimmed().toUpper());
        for (const QString &line : categoryLines3(type, h))
            add(line);
        add(QStringLiteral("CLAIMED-SCORE: ") + QString::number(claimedScore));
        add(QStringLiteral("OPERATORS: ") +
            (h.operators.trimmed().isEmpty() ? call : oneLine(h.operators)));
        if (!h.club.trimmed().isEmpty())
            add(QStringLiteral("CLUB: ") + oneLine(h.club));
        add(QStringLiteral("NAME: ") + oneLine(h.name));
        for (const QString &a : {h.address1, h.address2})
            if (!a.trimmed().isEmpty())
                add(QStringLiteral("ADDRESS: ") + oneLine(a));
        if (!h.email.trimmed().isEmpty())
            add(QStringLiteral("EMAIL: ") + oneLine(h.email).trimmed());
        for (const QString &line : soapbox)
            if (!line.trimmed().isEmpty())
                add(QStringLiteral("SOAPBOX: ") + line);
        for (const QsoRecord &r : mirror.records())
            add(qsoLine3(r, call));
        add(QStringLiteral("END-OF-LOG:"));
        return out;
    }

    add(QStringLiteral("START-OF-LOG: 2.0"));
    add(QStringLiteral("CREATED-BY: ") + program.title());
    if (type != 5)
        add(QStringLiteral("ARRL-SECTION: ") + oneLine(h.section));
    add(QStringLiteral("CONTEST: ") + contestValue(type));
    add(QStringLiteral("CALLSIGN: ") + call);
    add(categoryLine(type, h));
    if (type == 5)
        add(h.assisted ? QStringLiteral("CATEGORY-ASSISTED: ASSISTED")
                       : QStringLiteral("CATEGORY-ASSISTED: NON-ASSISTED"));
    add(QStringLiteral("CLAIMED-SCORE: ") + QString::number(claimedScore));
    add(QStringLiteral("OPERATORS: ") +
        (h.operators.trimmed().isEmpty() ? call : oneLine(h.operators)));
    add(QStringLiteral("CLUB: ") + oneLine(h.club));
    add(QStringLiteral("NAME: ") + oneLine(h.name));
    add(QStringLiteral("ADDRESS: ") + oneLine(h.address1));
    add(QStringLiteral("ADDRESS: ") + oneLine(h.address2));
    add(QStringLiteral("ADDRESS: (e-mail) ") + oneLine(h.email));
    for (const QString &line : soapbox)
        add(QStringLiteral("SOAPBOX: ") + line);
    add(QStringLiteral("SOAPBOX:"));
    add(QStringLiteral("SOAPBOX:"));
    for (const QsoRecord &r : mirror.records())
        add(qsoLine(r, call));
    add(QStringLiteral("END-OF-LOG:"));
    return out;
}

QString fileName(const QString &ownCall) { return safeCallSign(ownCall.trimmed()) + QStringLiteral(".log"); }

QString proposedPath(const QString &ownCall)
{
    return Folders::dataFolders().product + u'/' + fileName(ownCall);
}

bool writeFile(const QString &path, const QString &text, QString *error)
{
    return writeFileAtomically(path, text.toUtf8(), error);
}

Header storedHeader()
{
    Header h;
    h.section = SettingsStore::get(Keys::Section);
    h.name = SettingsStore::get(Keys::Name);
    h.address1 = SettingsStore::get(Keys::Address1);
    h.address2 = SettingsStore::get(Keys::Address2);
    h.email = SettingsStore::get(Keys::Email);
    h.club = SettingsStore::get(Keys::Club);
    const QString band = SettingsStore::get(Keys::BandCategory);
    for (BandCategory b : {BandCategory::All, BandCategory::Limited, BandCategory::ThreeBand, BandCategory::FmOnly})
        if (band == bandCategoryValue(b))
            h.band = b;
    if (SettingsStore::get(Keys::Version) == QLatin1String("2.0"))
        h.version = Version::V2;
    const QString power = SettingsStore::get(Keys::Power);
    for (Power p : {Power::High, Power::Low})
        if (power == powerValue(p))
            h.power = p;
    return h;
}

void storeHeader(const Header &h, SharedPrefs &shared)
{
    SettingsStore::set(Keys::Name, h.name);
    SettingsStore::set(Keys::Address1, h.address1);
    SettingsStore::set(Keys::Address2, h.address2);
    SettingsStore::set(Keys::Email, h.email);
    SettingsStore::set(Keys::Section, h.section);
    SettingsStore::set(Keys::Club, h.club);
    // A category never chosen leaves the kept one as it was.
    if (h.band != BandCategory::None)
        SettingsStore::set(Keys::BandCategory, bandCategoryValue(h.band));
    if (h.power != Power::None)
        SettingsStore::set(Keys::Power, powerValue(h.power));
    SettingsStore::set(Keys::Version, h.version == Version::V2 ? QStringLiteral("2.0") : QStringLiteral("3.0"));
    shared.set(QStringLiteral("OWN_ADDRESS_NAME"), h.name, false);
    shared.set(QStringLiteral("OWN_ADDRESS_Line1"), h.address1, false);
    shared.set(QStringLiteral("OWN_ADDRESS_Line2"), h.address2, false);
    shared.set(QStringLiteral("OWN_EMAIL"), h.email, false);
    shared.set(QStringLiteral("OWN_ARRL_SECTION"), h.section, false);
    shared.set(QStringLiteral("OWN_CLUB_NAME"), h.club, true);
}

namespace Text {
QString written(const QString &ownCall, const QString &path)
{
    return QStringLiteral("The file ") + safeCallSign(ownCall.trimmed()) +
           QStringLiteral(".log was successfully written to the directory:\r\n\r\n") + path +
           QStringLiteral(".\r\n\r\nAttach this file to an e-mail addressed for contest "
                          "submission.  If you wish to print this file, you can open it with "
                          "Notepad or Wordpad to print.");
}
} // namespace Text

} // namespace Cabrillo
