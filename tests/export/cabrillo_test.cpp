// The Cabrillo entry: fixed QSO columns, the category rules of each contest,
// the header order and the proposed file name.
#include "export/Cabrillo.h"
#include "support/TestLog.h"
#include "log/SharedPrefs.h"
#include "log/Station.h"

namespace {

using Cabrillo::BandCategory;
using Cabrillo::Header;
using Cabrillo::Operator;
using Cabrillo::Power;

QsoRecord example() { return qso("K1ABC", "432 M", "FN42", "FN31", "PH", "2012/06/09", "18:05:00"); }

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
        // 14 characters push the sent grid to its column on a new line
        {"432 M", "AB1CDEFGHIJKLM", "K1ABC",
         {front + "AB1CDEFGHIJKLM", QString(48, u' ') + "FN31   K1ABC             FN42    "}},
        // a worked call of 14 characters pushes the received grid
        {"432 M", "W1AW", "KA1BCDEFGHIJK/",
         {front + "W1AW              FN31   KA1BCDEFGHIJK/", QString(73, u' ') + "FN42    "}},
    };
    for (const Case &c : cases) {
        QsoRecord r = example();
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
                   .band = BandCategory::Limited, .power = Power::Low};
    const QString text = Cabrillo::cabrilloText(loadedMirror({example()}), station(3, " W1AW "), h, 1234,
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
        const QStringList lines = linesOf(Cabrillo::cabrilloText(loadedMirror({example()}), station(5), h, 88));
        // No ARRL-SECTION line between the program's name and the contest.
        EXPECT_EQ(lines.mid(2, 6), (QStringList{"CONTEST: CQ-VHF", "CALLSIGN: W1AW", "CATEGORY: SINGLE-OP ALL HIGH   ",
                                                assisted ? "CATEGORY-ASSISTED: ASSISTED"
                                                         : "CATEGORY-ASSISTED: NON-ASSISTED",
                                                "CLAIMED-SCORE: 88", "OPERATORS: W1AW K1ABC"}));
    }
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
