// The Cabrillo entry: fixed QSO columns, the category rules of each contest,
// the header order and the proposed file name.
#include "export/Cabrillo.h"
#include "export/ExportLog.h"
#include "log/SharedPrefs.h"
#include "log/Station.h"

#include <gtest/gtest.h>

namespace {

using Cabrillo::BandCategory;
using Cabrillo::Header;
using Cabrillo::Operator;
using Cabrillo::Power;

QsoRecord example()
{
    return qso(QStringLiteral("K1ABC"), QStringLiteral("432 M"), QStringLiteral("FN42"),
               QStringLiteral("FN31"), QStringLiteral("PH"), QStringLiteral("2012/06/09"),
               QStringLiteral("18:05:00"));
}

Station station(int contestType, const QString &call = QStringLiteral("W1AW"))
{
    Station s;
    s.ownCall = call;
    s.ownGrid = QStringLiteral("FN31");
    s.contestType = contestType;
    return s;
}

QStringList linesOf(const QString &text)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.takeLast(), QString()) << "the file ends with a line end";
    return lines;
}

TEST(Cabrillo, ExampleContactLineCharacterForCharacter)
{
    const LogMirror m = loadedMirror({example()});
    const QString line = Cabrillo::qsoLine(m.at(1), QStringLiteral("W1AW"));
    EXPECT_EQ(line, QStringLiteral("QSO:   432 PH 2012-06-09 1805 W1AW              FN31   K1ABC "
                                   "            FN42    "));
    EXPECT_EQ(line.size(), 81);
}

TEST(Cabrillo, FrequencyEndsInColumnTen)
{
    struct Case {
        const char *band;
        const char *freq;
        int column; // where the frequency starts
    };
    const Case cases[] = {{"10 G", "10", 9},   {"1.3 G", "1.2", 8}, {"50 M", "50", 9},
                          {"3.5 G", "3.4", 8}, {"5.8 G", "5.7", 8}, {"241 G", "241", 8}};
    for (const Case &c : cases) {
        QsoRecord r = example();
        r.uband = QString::fromLatin1(c.band);
        const QString line = Cabrillo::qsoLine(r, QStringLiteral("W1AW"));
        const QString freq = QString::fromLatin1(c.freq);
        EXPECT_EQ(line.mid(c.column - 1, freq.size()), freq) << c.band;
        EXPECT_EQ(line.left(c.column - 1), QStringLiteral("QSO:").leftJustified(c.column - 1))
            << c.band;
        EXPECT_EQ(line.mid(10, 4), QStringLiteral(" PH ")) << c.band;
    }
}

TEST(Cabrillo, LongCallsBreakTheLine)
{
    struct Case {
        const char *ownCall;
        const char *worked;
        QStringList lines;
    };
    const QString front = QStringLiteral("QSO:   432 PH 2012-06-09 1805 ");
    const Case cases[] = {
        // 13 characters still fit their field
        {"AB1CDEFGHIJKL", "K1ABC",
         {front + QStringLiteral("AB1CDEFGHIJKL     FN31   K1ABC             FN42    ")}},
        // 14 characters push the sent grid to its column on a new line
        {"AB1CDEFGHIJKLM", "K1ABC",
         {front + QStringLiteral("AB1CDEFGHIJKLM"),
          QString(48, u' ') + QStringLiteral("FN31   K1ABC             FN42    ")}},
        // a worked call of 14 characters pushes the received grid
        {"W1AW", "KA1BCDEFGHIJK/", {front + QStringLiteral("W1AW              FN31   KA1BCDEFGHIJK/"),
                                    QString(73, u' ') + QStringLiteral("FN42    ")}},
    };
    for (const Case &c : cases) {
        QsoRecord r = example();
        r.calls = QString::fromLatin1(c.worked);
        const QString line = Cabrillo::qsoLine(r, QString::fromLatin1(c.ownCall));
        EXPECT_EQ(line.split(QStringLiteral("\r\n")), c.lines) << c.ownCall << " " << c.worked;
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
        {2, Operator::Single, BandCategory::All, Power::High, "CATEGORY: SINGLE-OP ALL HIGH "},
        {1, Operator::Single, BandCategory::None, Power::None, "CATEGORY: SINGLE-OP   "},
        {4, Operator::Single, BandCategory::FmOnly, Power::None, "CATEGORY: SINGLE-OP VHF-FM-ONLY  "},
        {2, Operator::MultiLimited, BandCategory::All, Power::Low, "CATEGORY: MULTI-LIMITED"},
        {1, Operator::SingleOpPortable, BandCategory::ThreeBand, Power::Low,
         "CATEGORY: SINGLE-OP-PORTABLE"},
        {4, Operator::Rover, BandCategory::None, Power::High, "CATEGORY: ROVER"},
        {3, Operator::Checklog, BandCategory::None, Power::None, "CATEGORY: CHECKLOG"},
        // the CQ contest has no band or power category in the line
        {5, Operator::Single, BandCategory::All, Power::High, "CATEGORY: SINGLE-OP ALL HIGH   "},
        {5, Operator::SingleOpPortable, BandCategory::None, Power::None,
         "CATEGORY: SINGLE-OP ALL QRP"},
        {5, Operator::Rover, BandCategory::None, Power::None, "CATEGORY: SINGLE-OP 6M HIGH"},
        {5, Operator::MultiLimited, BandCategory::None, Power::None, "CATEGORY: SINGLE-OP 2M HIGH"},
        {5, Operator::MultiUnlimited, BandCategory::None, Power::None, "CATEGORY: MULTI-ONE ALL HIGH"},
        {5, Operator::Checklog, BandCategory::None, Power::None, "CATEGORY: ROVER ALL HIGH"},
    };
    for (const Case &c : cases) {
        Header h;
        h.op = c.op;
        h.band = c.band;
        h.power = c.power;
        EXPECT_EQ(Cabrillo::categoryLine(c.contest, h), QString::fromLatin1(c.line))
            << "contest " << c.contest << " expected '" << c.line << "'";
    }
}

TEST(Cabrillo, RoverStationOpensOnTheRoverButton)
{
    EXPECT_EQ(Cabrillo::initialOperator(2, true), Operator::Rover);
    EXPECT_EQ(Cabrillo::initialOperator(5, true), Operator::Checklog); // captioned "Rover"
    EXPECT_EQ(Cabrillo::Text::CqOperatorCaptions.at(static_cast<int>(Operator::Checklog)),
              QStringLiteral("Rover"));
    EXPECT_EQ(Cabrillo::initialOperator(5, false), Operator::Single);
}

TEST(Cabrillo, WholeFileOfTheUhfContest)
{
    const LogMirror m = loadedMirror({example()});
    Header h;
    h.section = QStringLiteral("CT");
    h.name = QStringLiteral("Hiram Maxim");
    h.address1 = QStringLiteral("225 Main Street");
    h.address2 = QStringLiteral("Newington CT 06111");
    h.email = QStringLiteral("w1aw@example.org");
    h.soapbox = QStringLiteral("Good conditions");
    h.op = Operator::Single;
    h.band = BandCategory::Limited;
    h.power = Power::Low;
    const QString text = Cabrillo::cabrilloText(m, station(3, QStringLiteral(" W1AW ")), h, 1234,
                                                ProgramInfo{QStringLiteral("Halvern"), QStringLiteral("2.5")});
    const QStringList expected{
        QStringLiteral("START-OF-LOG: 2.0"),
        QStringLiteral("CREATED-BY: Halvern 2.5"),
        QStringLiteral("ARRL-SECTION: CT"),
        QStringLiteral("CONTEST: ARRL-UHF-AUG"),
        QStringLiteral("CALLSIGN: W1AW"),
        QStringLiteral("CATEGORY: SINGLE-OP LIMITED LOW "),
        QStringLiteral("CLAIMED-SCORE: 1234"),
        QStringLiteral("OPERATORS: W1AW"),
        QStringLiteral("CLUB: "),
        QStringLiteral("NAME: Hiram Maxim"),
        QStringLiteral("ADDRESS: 225 Main Street"),
        QStringLiteral("ADDRESS: Newington CT 06111"),
        QStringLiteral("ADDRESS: (e-mail) w1aw@example.org"),
        QStringLiteral("SOAPBOX: Good conditions"),
        QStringLiteral("SOAPBOX:"),
        QStringLiteral("SOAPBOX:"),
        QStringLiteral("QSO:   432 PH 2012-06-09 1805 W1AW              FN31   K1ABC             FN42    "),
        QStringLiteral("END-OF-LOG:"),
    };
    EXPECT_EQ(linesOf(text), expected);
}

TEST(Cabrillo, CqContestHeader)
{
    const LogMirror m = loadedMirror({example()});
    struct Case {
        bool assisted;
        const char *line;
    };
    for (const Case &c : {Case{false, "CATEGORY-ASSISTED: NON-ASSISTED"},
                          Case{true, "CATEGORY-ASSISTED: ASSISTED"}}) {
        Header h;
        h.section = QStringLiteral("CT");
        h.operators = QStringLiteral("W1AW K1ABC");
        h.assisted = c.assisted;
        const QStringList lines = linesOf(Cabrillo::cabrilloText(m, station(5), h, 88));
        EXPECT_FALSE(lines.join(u'\n').contains(QStringLiteral("ARRL-SECTION")));
        ASSERT_GE(lines.size(), 8);
        EXPECT_EQ(lines.at(2), QStringLiteral("CONTEST: CQ-VHF"));
        EXPECT_EQ(lines.at(4), QStringLiteral("CATEGORY: SINGLE-OP ALL HIGH   "));
        EXPECT_EQ(lines.at(5), QString::fromLatin1(c.line));
        EXPECT_EQ(lines.at(6), QStringLiteral("CLAIMED-SCORE: 88"));
        EXPECT_EQ(lines.at(7), QStringLiteral("OPERATORS: W1AW K1ABC"));
    }
}

TEST(Cabrillo, TypedLineBreaksStayUnderTheirTags)
{
    Header h;
    h.name = QStringLiteral("Hiram\r\nMaxim");
    h.soapbox = QStringLiteral("First line\r\nSecond line");
    const QStringList lines = linesOf(Cabrillo::cabrilloText(LogMirror(), station(2), h, 0));
    EXPECT_TRUE(lines.contains(QStringLiteral("NAME: Hiram Maxim")));
    const qsizetype at = lines.indexOf(QStringLiteral("SOAPBOX: First line"));
    ASSERT_GE(at, 0);
    const QStringList tail{QStringLiteral("SOAPBOX: First line"), QStringLiteral("SOAPBOX: Second line"),
                           QStringLiteral("SOAPBOX:"), QStringLiteral("SOAPBOX:"),
                           QStringLiteral("END-OF-LOG:")};
    EXPECT_EQ(lines.mid(at), tail);
}

TEST(Cabrillo, FileNames)
{
    TempFolders folders;
    struct Case {
        const char *call;
        const char *name;
    };
    const Case cases[] = {{"W1AW/R", "W1AW.log"}, {" K1ABC ", "K1ABC.log"}, {"/R", "YourCall.log"},
                          {"", "YourCall.log"}};
    for (const Case &c : cases) {
        EXPECT_EQ(Cabrillo::fileName(QString::fromLatin1(c.call)), QString::fromLatin1(c.name));
        EXPECT_EQ(Cabrillo::proposedPath(QString::fromLatin1(c.call)),
                  Folders::dataFolders().product + u'/' + QString::fromLatin1(c.name));
    }
}

TEST(Cabrillo, SummaryAnswersAreKeptForNextTime)
{
    QTemporaryDir dir;
    SharedPrefs shared;
    shared.load(dir.filePath(SharedPrefs::FileName));
    Header h;
    h.section = QStringLiteral("CT");
    h.name = QStringLiteral("Hiram Maxim");
    h.address1 = QStringLiteral("225 Main Street");
    h.address2 = QStringLiteral("Newington");
    h.email = QStringLiteral("w1aw@example.org");
    h.club = QStringLiteral("Radio Club");
    h.soapbox = QStringLiteral("not kept");
    Cabrillo::storeHeader(h, shared);

    const Header back = Cabrillo::storedHeader();
    EXPECT_EQ(back.section, h.section);
    EXPECT_EQ(back.name, h.name);
    EXPECT_EQ(back.address1, h.address1);
    EXPECT_EQ(back.address2, h.address2);
    EXPECT_EQ(back.email, h.email);
    EXPECT_EQ(back.club, h.club);
    EXPECT_TRUE(back.soapbox.isEmpty());

    const QString xml = QString::fromUtf8(readAll(shared.path()));
    for (const char *element :
         {"<OWN_ADDRESS_NAME>Hiram Maxim</OWN_ADDRESS_NAME>",
          "<OWN_ADDRESS_LINE1>225 Main Street</OWN_ADDRESS_LINE1>",
          "<OWN_ADDRESS_LINE2>Newington</OWN_ADDRESS_LINE2>", "<OWN_EMAIL>w1aw@example.org</OWN_EMAIL>",
          "<OWN_ARRL_SECTION>CT</OWN_ARRL_SECTION>", "<OWN_CLUB_NAME>Radio Club</OWN_CLUB_NAME>"})
        EXPECT_TRUE(xml.contains(QString::fromLatin1(element))) << element;
}

} // namespace
