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

// Builds text by column positions, counted from 1. A field starts at its
// column on the current line when the line has not reached that column yet;
// otherwise, or when the field before it ran beyond its width, it starts at
// its column on a new line.
class ColumnLine {
public:
    void put(int column, const QString &text, int width = -1)
    {
        qsizetype length = m_text.size() - m_lineStart;
        if (m_overflow || length >= column) {
            m_text += CrLf;
            m_lineStart = m_text.size();
            length = 0;
        }
        m_text += QString(column - 1 - length, u' ');
        m_text += text;
        m_overflow = width >= 0 && text.size() > width;
    }
    QString text() const { return m_text; }

private:
    QString m_text;
    qsizetype m_lineStart = 0;
    bool m_overflow = false;
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
    line.put(31, ownCall, 13);
    line.put(49, r.grids);
    line.put(56, r.calls, 13);
    line.put(74, r.gridr);
    line.put(81, QStringLiteral(" "));
    return line.text();
}

QString cabrilloText(const LogMirror &mirror, const Station &station, const Header &h,
                     qint64 claimedScore, const ProgramInfo &program)
{
    const int type = station.contestType;
    const QString call = station.ownCall.trimmed();
    QString out;
    auto add = [&out](const QString &line) { out += line + CrLf; };

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
    // A soapbox of several lines keeps its lines, each under its own tag.
    QString soap = h.soapbox;
    soap.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (const QString &line : soap.split(u'\n'))
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
