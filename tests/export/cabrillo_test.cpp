// The Cabrillo entry, from logs read back from real files: the fixed QSO
// columns, the category rules of each contest, the header order, what a
// strict 3.0 reader would object to, the proposed file name, and the summary
// answers kept for next time.
#include "export/Cabrillo.h"
#include "log/Bands.h"
#include "log/SharedPrefs.h"
#include "log/Station.h"
#include "support/TestLog.h"

#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

using Cabrillo::BandCategory;
using Cabrillo::Header;
using Cabrillo::Operator;
using Cabrillo::Power;

QsoRecord contact() { return qso("K1ABC", "432 M", "FN42", "FN31", "PH", "2012/06/09", "18:05:00"); }

Station station(int contestType, const QString &call = QStringLiteral("W1AW"))
{
    Station s;
    s.ownCall = call;
    s.ownGrid = "FN31";
    s.contestType = contestType;
    return s;
}

QStringList linesOf(const QString &text)
{
    QStringList lines = text.split("\r\n");
    EXPECT_EQ(lines.takeLast(), QString()) << "the file ends with a line end";
    return lines;
}

TEST(Cabrillo, QsoLinesCharacterForCharacter)
{
    struct Case {
        const char *band, *ownCall, *worked;
        QStringList lines;
    };
    const QString front = "QSO:   432 PH 2012-06-09 1805 ";
    const Case cases[] = {
        {"432 M", "W1AW", "K1ABC", {front + "W1AW              FN31   K1ABC             FN42    "}},
        // The frequency ends in column 10 however long it is.
        {"10 G", "W1AW", "K1ABC", {"QSO:    10 PH 2012-06-09 1805 W1AW              FN31   K1ABC             FN42    "}},
        {"1.3 G", "W1AW", "K1ABC", {"QSO:   1.2 PH 2012-06-09 1805 W1AW              FN31   K1ABC             FN42    "}},
        // 13 characters still fit their field
        {"432 M", "AB1CDEFGHIJKL", "K1ABC", {front + "AB1CDEFGHIJKL     FN31   K1ABC             FN42    "}},
        // A longer call pushes what follows it along the same line, one blank
        // apart; the columns after it are kept as soon as the line fits again.
        {"432 M", "AB1CDEFGHIJKLMNOPQ", "K1ABC", {front + "AB1CDEFGHIJKLMNOPQ FN31  K1ABC             FN42    "}},
        {"432 M", "W1AW", "KA1BCDEFGHIJK/", {front + "W1AW              FN31   KA1BCDEFGHIJK/    FN42    "}},
        {"432 M", "W1AW", "KA1BCDEFGHIJK/PORTABLE",
         {front + "W1AW              FN31   KA1BCDEFGHIJK/PORTABLE FN42 "}},
    };
    for (const Case &c : cases) {
        QsoRecord r = contact();
        r.uband = c.band;
        r.calls = c.worked;
        EXPECT_EQ(Cabrillo::qsoLine(loadedMirror({r}).at(1), c.ownCall).split("\r\n"), c.lines)
            << c.band << " " << c.ownCall << " " << c.worked;
    }
}

TEST(Cabrillo, CategoryLines)
{
    struct Case {
        int contest;
        Operator op;
        BandCategory band;
        Power power;
        const char *line;
    };
    const Case cases[] = {
        {3, Operator::Single, BandCategory::Limited, Power::Low, "CATEGORY: SINGLE-OP LIMITED LOW "},
        {1, Operator::Single, BandCategory::None, Power::None, "CATEGORY: SINGLE-OP   "},
        // any operator but the single one: its value alone
        {2, Operator::MultiLimited, BandCategory::All, Power::Low, "CATEGORY: MULTI-LIMITED"},
        {4, Operator::Rover, BandCategory::None, Power::High, "CATEGORY: ROVER"},
        // the CQ contest has no band or power category in the line; its
        // buttons carry other values, the rover being the sixth
        {5, Operator::Single, BandCategory::All, Power::High, "CATEGORY: SINGLE-OP ALL HIGH   "},
        {5, Operator::Rover, BandCategory::None, Power::None, "CATEGORY: SINGLE-OP 6M HIGH"},
        {5, Operator::Checklog, BandCategory::None, Power::None, "CATEGORY: ROVER ALL HIGH"},
    };
    for (const Case &c : cases) {
        Header h;
        h.op = c.op;
        h.band = c.band;
        h.power = c.power;
        EXPECT_EQ(Cabrillo::categoryLine(c.contest, h), c.line) << "contest " << c.contest;
    }
    // A rover station opens on the rover button, which in the CQ contest is
    // the sixth (captioned "Rover").
    EXPECT_EQ(Cabrillo::initialOperator(2, true), Operator::Rover);
    EXPECT_EQ(Cabrillo::initialOperator(5, true), Operator::Checklog);
    EXPECT_EQ(Cabrillo::initialOperator(5, false), Operator::Single);
}

TEST(Cabrillo, WholeFileOfTheUhfContest)
{
    // Typed line breaks stay under their tags.
    const Header h{.section = "CT", .operators = "", .name = "Hiram\r\nMaxim", .address1 = "225 Main Street",
                   .address2 = "Newington CT 06111", .email = "w1aw@example.org", .club = "",
                   .soapbox = "Good conditions\r\nSecond line", .op = Operator::Single,
                   .band = BandCategory::Limited, .power = Power::Low, .version = Cabrillo::Version::V2};
    const QString text = Cabrillo::cabrilloText(loadedMirror({contact()}), station(3, " W1AW "), h, 1234,
                                                ProgramInfo{"Halvern", "2.5"});
    const QStringList expected{
        "START-OF-LOG: 2.0",
        "CREATED-BY: Halvern 2.5",
        "ARRL-SECTION: CT",
        "CONTEST: ARRL-UHF-AUG",
        "CALLSIGN: W1AW",
        "CATEGORY: SINGLE-OP LIMITED LOW ",
        "CLAIMED-SCORE: 1234",
        "OPERATORS: W1AW",
        "CLUB: ",
        "NAME: Hiram Maxim",
        "ADDRESS: 225 Main Street",
        "ADDRESS: Newington CT 06111",
        "ADDRESS: (e-mail) w1aw@example.org",
        "SOAPBOX: Good conditions",
        "SOAPBOX: Second line",
        "SOAPBOX:",
        "SOAPBOX:",
        "QSO:   432 PH 2012-06-09 1805 W1AW              FN31   K1ABC             FN42    ",
        "END-OF-LOG:",
    };
    EXPECT_EQ(linesOf(text), expected);
}

TEST(Cabrillo, CqContestHeader)
{
    for (const bool assisted : {false, true}) {
        Header h;
        h.section = "CT";
        h.operators = "W1AW K1ABC";
        h.assisted = assisted;
        h.version = Cabrillo::Version::V2;
        const QStringList lines = linesOf(Cabrillo::cabrilloText(loadedMirror({contact()}), station(5), h, 88));
        // No ARRL-SECTION line between the program's name and the contest.
        EXPECT_EQ(lines.mid(2, 6), (QStringList{"CONTEST: CQ-VHF", "CALLSIGN: W1AW", "CATEGORY: SINGLE-OP ALL HIGH   ",
                                                assisted ? "CATEGORY-ASSISTED: ASSISTED"
                                                         : "CATEGORY-ASSISTED: NON-ASSISTED",
                                                "CLAIMED-SCORE: 88", "OPERATORS: W1AW K1ABC"}));
    }
}

// The published Cabrillo 3.0 rules for a VHF entry: the tags a 3.0 reader
// knows, the values of each category and the bands of the QSO lines.
const QMap<QString, QStringList> Categories3{
    {"CATEGORY-OPERATOR", {"SINGLE-OP", "MULTI-OP", "CHECKLOG"}},
    {"CATEGORY-STATION", {"DISTRIBUTED", "FIXED", "MOBILE", "PORTABLE", "ROVER", "ROVER-LIMITED", "ROVER-UNLIMITED",
                          "EXPEDITION", "HQ", "SCHOOL", "EXPLORER"}},
    {"CATEGORY-TRANSMITTER", {"ONE", "TWO", "LIMITED", "UNLIMITED", "SWL"}},
    {"CATEGORY-BAND", {"ALL", "160M", "80M", "40M", "20M", "15M", "10M", "6M", "4M", "2M", "222", "432", "902",
                       "1.2G", "2.3G", "3.4G", "5.7G", "10G", "24G", "47G", "75G", "122G", "134G", "241G", "LIGHT",
                       "VHF-3-BAND", "VHF-FM-ONLY"}},
    {"CATEGORY-POWER", {"HIGH", "LOW", "QRP"}},
    {"CATEGORY-MODE", {"CW", "DIGI", "FM", "RTTY", "SSB", "MIXED"}},
    {"CATEGORY-ASSISTED", {"ASSISTED", "NON-ASSISTED"}},
    {"CONTEST", {"ARRL-VHF-JAN", "ARRL-VHF-JUN", "ARRL-VHF-SEP", "ARRL-UHF-AUG", "CQ-VHF"}},
};
const QStringList Tags3{"START-OF-LOG", "END-OF-LOG", "CALLSIGN", "CONTEST", "CLAIMED-SCORE", "CLUB", "CREATED-BY",
                        "EMAIL", "GRID-LOCATOR", "LOCATION", "NAME", "ADDRESS", "OPERATORS", "SOAPBOX", "QSO",
                        "CATEGORY-OPERATOR", "CATEGORY-STATION", "CATEGORY-TRANSMITTER", "CATEGORY-BAND",
                        "CATEGORY-POWER", "CATEGORY-MODE", "CATEGORY-ASSISTED"};
const QStringList Bands3{"50", "70", "144", "222", "432", "902", "1.2G", "2.3G", "3.4G", "5.7G", "10G", "24G", "47G",
                         "75G", "122G", "134G", "241G", "LIGHT"};

// What a strict 3.0 reader objects to in a file; nothing for a good one.
QStringList objections3(const QString &file)
{
    QStringList out;
    const QStringList lines = linesOf(file);
    if (lines.value(0) != "START-OF-LOG: 3.0" || lines.last() != "END-OF-LOG:")
        out << "not framed as 3.0";
    const QRegularExpression grid("^[A-R]{2}[0-9]{2}([A-X]{2})?$");
    const QRegularExpression call("^[A-Z0-9]+(/[A-Z0-9]+)*$");
    for (const QString &line : lines) {
        const QString tag = line.section(':', 0, 0);
        const QString value = line.section(':', 1).trimmed();
        if (!Tags3.contains(tag))
            out << "unknown tag " + tag;
        if (Categories3.contains(tag) && !Categories3[tag].contains(value))
            out << tag + ": " + value;
        if (tag == "GRID-LOCATOR" && !grid.match(value).hasMatch())
            out << "grid " + value;
        if (tag != "QSO")
            continue;
        const QStringList f = value.split(' ', Qt::SkipEmptyParts);
        if (f.size() != 8) {
            out << "QSO fields: " + value;
            continue;
        }
        if (!Bands3.contains(f[0]))
            out << "band " + f[0];
        if (!QStringList{"CW", "PH", "FM", "RY", "DG"}.contains(f[1]))
            out << "mode " + f[1];
        if (!QDate::fromString(f[2], "yyyy-MM-dd").isValid() || !QTime::fromString(f[3], "HHmm").isValid())
            out << "date and time " + f[2] + " " + f[3];
        for (int i : {4, 6})
            if (!call.match(f[i]).hasMatch())
                out << "call " + f[i];
        for (int i : {5, 7})
            if (!grid.match(f[i]).hasMatch())
                out << "grid " + f[i];
    }
    return out;
}

TEST(Cabrillo, Version3OfEveryBandAndCategoryKeepsToThePublishedRules)
{
    for (const BandRow &row : Bands::table())
        EXPECT_TRUE(Bands3.contains(Cabrillo::band3(row.label))) << row.label;

    // A rover's log on every band from two grids, in each contest and with
    // each operator choice and station kind.
    std::vector<QsoRecord> log;
    for (int i = 0; i < Bands::Count; ++i)
        log.push_back(qso(i % 2 ? "K1ABC" : "VE3/K1ABCDEFGHIJ", Bands::label(i), "fn42", i < 8 ? "FN31" : "FN32",
                          i % 3 ? "CW" : "PH", "2012/06/09", "18:05:00"));
    const LogMirror mirror = loadedMirror(log);
    using Cabrillo::StationKind;
    for (int contest = 1; contest <= 5; ++contest)
        for (Operator op : {Operator::Single, Operator::SingleOpPortable, Operator::Rover, Operator::MultiLimited,
                            Operator::MultiUnlimited, Operator::Checklog})
            for (StationKind kind : {StationKind::Fixed, StationKind::RoverLimited})
                for (BandCategory band : {BandCategory::None, BandCategory::Limited, BandCategory::ThreeBand}) {
                    Header h;
                    h.op = op;
                    h.station = kind;
                    h.band = band;
                    h.power = Power::Low;
                    h.section = "CT";
                    const QString file = Cabrillo::cabrilloText(mirror, station(contest, "W1AW/R"), h, 42);
                    EXPECT_EQ(objections3(file), QStringList()) << contest << " " << int(op) << " " << int(kind);
                }

    Header rover;
    rover.op = Operator::Rover;
    rover.station = StationKind::RoverUnlimited;
    rover.band = BandCategory::All;
    rover.power = Power::Low;
    rover.mode = Cabrillo::ModeCategory::Mixed;
    rover.section = "CT";
    rover.email = "w1aw@example.org";
    const QStringList lines = linesOf(
        Cabrillo::cabrilloText(mirror, station(2, "W1AW/R"), rover, 1234, ProgramInfo{"Halvern", "2.5"}));
    EXPECT_EQ(lines.mid(0, 13),
              (QStringList{"START-OF-LOG: 3.0", "CREATED-BY: Halvern 2.5", "CONTEST: ARRL-VHF-JUN", "CALLSIGN: W1AW/R",
                           "LOCATION: CT", "GRID-LOCATOR: FN31", "CATEGORY-OPERATOR: SINGLE-OP",
                           "CATEGORY-STATION: ROVER-UNLIMITED", "CATEGORY-BAND: ALL", "CATEGORY-POWER: LOW",
                           "CATEGORY-MODE: MIXED", "CLAIMED-SCORE: 1234", "OPERATORS: W1AW/R"}));
    EXPECT_TRUE(lines.contains("EMAIL: w1aw@example.org"));
    EXPECT_TRUE(lines.contains("QSO: 1.2G CW 2012-06-09 1805 W1AW/R FN31 K1ABC FN42"));
    EXPECT_TRUE(lines.contains("QSO: 241G PH 2012-06-09 1805 W1AW/R FN32 K1ABC FN42"));
    EXPECT_TRUE(lines.contains("QSO: 50 PH 2012-06-09 1805 W1AW/R FN31 VE3/K1ABCDEFGHIJ FN42"));

    // The strict reading objects to what the older format writes.
    Header older;
    older.version = Cabrillo::Version::V2;
    EXPECT_FALSE(objections3(Cabrillo::cabrilloText(mirror, station(2), older, 1)).isEmpty());
}

TEST(Cabrillo, FileNames)
{
    TempFolders folders;
    const std::pair<QString, QString> cases[] = {
        {"W1AW/R", "W1AW.log"}, {" K1ABC ", "K1ABC.log"}, {"/R", "YourCall.log"}, {"", "YourCall.log"},
        {"k1abc", "YourCall.log"}}; // only capitals and digits make the name
    for (const auto &[call, name] : cases) {
        EXPECT_EQ(Cabrillo::fileName(call), name);
        EXPECT_EQ(Cabrillo::proposedPath(call), Folders::dataFolders().product + u'/' + name);
    }
}

TEST(Cabrillo, SummaryAnswersAreKeptForNextTime)
{
    QTemporaryDir dir;
    SharedPrefs shared;
    shared.load(dir.filePath(SharedPrefs::FileName));
    const Header h{.section = "CT", .operators = "W1AW K1ABC", .name = "Hiram Maxim", .address1 = "225 Main Street",
                   .address2 = "Newington", .email = "w1aw@example.org", .club = "Radio Club", .soapbox = "Nice"};
    Cabrillo::storeHeader(h, shared);

    const Header back = Cabrillo::storedHeader();
    EXPECT_EQ(QStringList({back.section, back.name, back.address1, back.address2, back.email, back.club}),
              QStringList({h.section, h.name, h.address1, h.address2, h.email, h.club}));
    // The operators and the soapbox belong to one contest and are not kept.
    EXPECT_TRUE(back.operators.isEmpty() && back.soapbox.isEmpty());

    const QString xml = QString::fromUtf8(readAll(shared.path()));
    for (const char *element :
         {"<OWN_ADDRESS_NAME>Hiram Maxim</OWN_ADDRESS_NAME>", "<OWN_ADDRESS_LINE1>225 Main Street</OWN_ADDRESS_LINE1>",
          "<OWN_ADDRESS_LINE2>Newington</OWN_ADDRESS_LINE2>", "<OWN_EMAIL>w1aw@example.org</OWN_EMAIL>",
          "<OWN_ARRL_SECTION>CT</OWN_ARRL_SECTION>", "<OWN_CLUB_NAME>Radio Club</OWN_CLUB_NAME>"})
        EXPECT_TRUE(xml.contains(element)) << element;
}

} // namespace
