// The ADIF export and the Orrery export, written from logs read back from
// real files.
#include "export/Adif.h"
#include "export/ExportLog.h"
#include "export/OrreryExport.h"
#include "platform/SeqFile.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

QsoRecord contact()
{
    return qso(QStringLiteral("K1ABC"), QStringLiteral("432 M"), QStringLiteral("FN42"),
               QStringLiteral("FN31"), QStringLiteral("PH"), QStringLiteral("2012/06/09"),
               QStringLiteral("18:05:00"));
}

// The records of an export: everything after the header.
QByteArray recordsOf(const QByteArray &adif)
{
    const QByteArray eoh = "<EOH>\r\n";
    const qsizetype at = adif.indexOf(eoh);
    EXPECT_GE(at, 0);
    return adif.mid(at + eoh.size());
}

TEST(Adif, Records)
{
    const Adif::Answers usual{QStringLiteral("100"), QStringLiteral("ARRL June VHF QSO Party"),
                              QStringLiteral("SSB")};
    const Adif::Answers bare{QString(), QString(), QStringLiteral("usb")};
    struct Case {
        const char *what;
        std::function<void(QsoRecord &)> change;
        Adif::Answers answers;
        QByteArray expected;
    };
    const QByteArray head = "<Call:5>K1ABC <Qso_Date:8:d>20120609 <Band:4>70CM\r\n";
    const QByteArray reports = "<RST_Sent:2>59 <RST_Rcvd:2>59 <Gridsquare:4>FN42 ";
    const Case cases[] = {
        {"all fields", [](QsoRecord &) {}, usual,
         head + "<Mode:3>SSB\r\n<Tx_Pwr:3>100 <Time_On:4>1805 " + reports +
             "<Comment:23>ARRL June VHF QSO Party\r\n<eor>\r\n\r\n"},
        {"phone mode answered usb, no power, no comment", [](QsoRecord &) {}, bare,
         head + "<Mode:3>USB\r\n<Time_On:4>1805 " + reports + "<eor>\r\n\r\n"},
        {"time 930", [](QsoRecord &r) { r.fldtime = QStringLiteral("930"); }, bare,
         head + "<Mode:3>USB\r\n<Time_On:4>0930 " + reports + "<eor>\r\n\r\n"},
        {"time 18:05", [](QsoRecord &r) { r.fldtime = QStringLiteral("18:05"); }, bare,
         head + "<Mode:3>USB\r\n<Time_On:4>1805 " + reports + "<eor>\r\n\r\n"},
        {"no time", [](QsoRecord &r) { r.fldtime = QString(); }, bare,
         head + "<Mode:3>USB\r\n" + reports + "<eor>\r\n\r\n"},
        {"empty sent report", [](QsoRecord &r) { r.rsts = QString(); }, bare,
         head + "<Mode:3>USB\r\n<Time_On:4>1805 <RST_Rcvd:2>59 <Gridsquare:4>FN42 <eor>\r\n\r\n"},
        {"invalid date", [](QsoRecord &r) { r.flddate = QStringLiteral("2012/13/45"); }, bare,
         "<Call:5>K1ABC <Band:4>70CM\r\n<Mode:3>USB\r\n<Time_On:4>1805 " + reports +
             "<eor>\r\n\r\n"},
        {"1.3 GHz CW", [](QsoRecord &r) { r.uband = QStringLiteral("1.3 G"); r.umode = QStringLiteral("CW"); },
         bare,
         "<Call:5>K1ABC <Qso_Date:8:d>20120609 <Band:4>23CM\r\n<Mode:2>CW\r\n<Time_On:4>1805 " +
             reports + "<eor>\r\n\r\n"},
        {"300 GHz", [](QsoRecord &r) { r.uband = QStringLiteral("300 G"); }, bare,
         "<Call:5>K1ABC <Qso_Date:8:d>20120609 <Band:5>SUBMM\r\n<Mode:3>USB\r\n<Time_On:4>1805 " +
             reports + "<eor>\r\n\r\n"},
        {"band of no row", [](QsoRecord &r) { r.uband = QStringLiteral("28 M"); }, bare,
         "<Call:5>K1ABC <Qso_Date:8:d>20120609 <Band:0>\r\n<Mode:3>USB\r\n<Time_On:4>1805 " +
             reports + "<eor>\r\n\r\n"},
        {"grid with trailing blanks", [](QsoRecord &r) { r.gridr = QStringLiteral("FN42  "); }, bare,
         head + "<Mode:3>USB\r\n<Time_On:4>1805 " + reports + "<eor>\r\n\r\n"},
        {"lengths count bytes",
         [](QsoRecord &) {},
         Adif::Answers{QString(), QStringLiteral("Grüße"), QStringLiteral("FM")},
         head + "<Mode:2>FM\r\n<Time_On:4>1805 " + reports + "<Comment:7>Grüße\r\n<eor>\r\n\r\n"},
    };
    for (const Case &c : cases) {
        QsoRecord r = contact();
        c.change(r);
        const QByteArray adif =
            Adif::adifText(loadedMirror({r}), c.answers, QDateTime(QDate(2012, 6, 10), QTime(9, 0)));
        EXPECT_EQ(recordsOf(adif), c.expected) << c.what;
    }
}

TEST(Adif, Header)
{
    const QDateTime at(QDate(2012, 6, 10), QTime(18, 5, 30));
    const QByteArray adif = Adif::adifText(LogMirror(), Adif::Answers(), at,
                                           ProgramInfo{QStringLiteral("Halvern"), QStringLiteral("2.5")});
    const QList<QByteArray> lines = adif.split('\n');
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines.at(0), "ADIF Export from Halvern 2.5\r");
    EXPECT_EQ(lines.at(3), "<PROGRAMID:7>Halvern\r");
    EXPECT_TRUE(lines.at(4).startsWith("Log exported on: ")) << lines.at(4).constData();
    EXPECT_TRUE(lines.at(4).contains("18:05:30")) << lines.at(4).constData();
    EXPECT_EQ(lines.at(5), "\r");
    EXPECT_EQ(lines.at(6), "<EOH>\r");
    EXPECT_EQ(lines.at(7), "");
    // Nothing before the end of the header may read as a field but the
    // program's name.
    EXPECT_EQ(adif.left(adif.indexOf("<EOH>")).count('<'), 1);
}

TEST(Adif, ProposedCommentAndFile)
{
    for (int type = 1; type <= 4; ++type)
        EXPECT_EQ(Adif::defaultComment(type), Adif::contestName(type));
    EXPECT_EQ(Adif::defaultComment(2), QStringLiteral("ARRL June VHF QSO Party"));
    EXPECT_TRUE(Adif::defaultComment(5).isEmpty());

    TempFolders folders;
    EXPECT_EQ(Adif::proposedPath(), Folders::dataFolders().product + QStringLiteral("/Halvern.adi"));
}

TEST(Adif, ExportCommand)
{
    TempFolders folders;
    const LogMirror m = loadedMirror({contact()});
    struct Case {
        int contest;
        const char *proposedComment;
        bool saved;
    };
    for (const Case &c : {Case{2, "ARRL June VHF QSO Party", true}, Case{5, "", true},
                          Case{1, "ARRL January VHF Sweepstakes", false}}) {
        ScriptedDialogs d;
        d.inputs = {QStringLiteral("100"), QString::fromLatin1(c.proposedComment),
                    QStringLiteral("usb")};
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("contest.adi"));
        if (c.saved)
            d.files.push_back(path);
        const QString written = Adif::run(nullptr, m, c.contest);

        ASSERT_GE(d.shown.size(), 4);
        const QStringList titles{QStringLiteral("Please enter your transmitter output power."),
                                 QStringLiteral("Please enter a comment."),
                                 QStringLiteral("Phone Mode?")};
        const QStringList prompts{Adif::Text::PowerPrompt, Adif::Text::CommentPrompt,
                                  QStringLiteral("Please enter your phone mode.")};
        const QStringList defaults{QString(), QString::fromLatin1(c.proposedComment),
                                   QStringLiteral("SSB")};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(d.shown.at(i).kind, QStringLiteral("input"));
            EXPECT_EQ(d.shown.at(i).title, titles.at(i));
            EXPECT_EQ(d.shown.at(i).text, prompts.at(i));
            EXPECT_EQ(d.shown.at(i).defaultText, defaults.at(i)) << "contest " << c.contest;
        }
        EXPECT_EQ(d.shown.at(3).kind, QStringLiteral("save"));
        EXPECT_EQ(d.shown.at(3).text, QStringLiteral("ADIF Files (*.adi) | *.adi"));
        EXPECT_EQ(d.shown.at(3).defaultText, Adif::proposedPath());
        if (c.saved) {
            EXPECT_EQ(written, path);
            EXPECT_TRUE(readAll(path).contains("<Mode:3>USB\r\n<Tx_Pwr:3>100 "));
            EXPECT_EQ(d.last().title, QStringLiteral("File Written Successfully."));
            EXPECT_EQ(d.last().text, Adif::Text::written(path));
        } else {
            EXPECT_TRUE(written.isEmpty());
            EXPECT_EQ(d.shown.size(), 4);
            EXPECT_FALSE(QFileInfo::exists(path));
        }
    }
}

TEST(OrreryExport, LinesOfTheCqContest)
{
    QsoRecord r = contact();
    r.uband = QStringLiteral("1.3 G");
    r.fldtime = QStringLiteral("18:05:30");
    r.rstr = QStringLiteral("57");
    const QByteArray text = OrreryExport::orreryText(loadedMirror({r}), 5);
    EXPECT_EQ(text, QByteArray("\"K1ABC\",\"2012/06/09\",\"1.3\",\"PH\",,\"18:05:30\",\"59\",\"57\","
                               ",,,,\"FN42\",,,\"CQ VHF Contest\"\r\n"));
    const auto lines = SeqReader::lines(text);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.at(0).size(), 16);
}

TEST(OrreryExport, BandAndContestFields)
{
    struct Case {
        const char *label;
        const char *band;
    };
    for (const Case &c : {Case{"50 M", "50"}, Case{"144 M", "144"}, Case{"1.3 G", "1.3"},
                          Case{"10 G", "10"}, Case{"300 G", "300"}})
        EXPECT_EQ(OrreryExport::band(QString::fromLatin1(c.label)), QString::fromLatin1(c.band));

    const LogMirror m = loadedMirror({contact(), contact()});
    const char *names[] = {"ARRL January VHF Sweepstakes", "ARRL June VHF QSO Party",
                           "ARRL UHF Contest", "ARRL September VHF QSO Party", "CQ VHF Contest"};
    for (int type = 1; type <= 5; ++type) {
        const auto lines = SeqReader::lines(OrreryExport::orreryText(m, type));
        ASSERT_EQ(lines.size(), 2);
        for (const QStringList &line : lines)
            EXPECT_EQ(line.last(), QString::fromLatin1(names[type - 1]));
    }
}

TEST(OrreryExport, ExportCommand)
{
    QTemporaryDir work;
    const QString before = Folders::workDir();
    Folders::setWorkDir(work.path());
    ScriptedDialogs d;
    const LogMirror m = loadedMirror({contact()});
    const QString path = OrreryExport::run(nullptr, m, 3);
    Folders::setWorkDir(before);

    EXPECT_EQ(path, work.filePath(QStringLiteral("LogExp.txt")));
    EXPECT_EQ(readAll(path), OrreryExport::orreryText(m, 3));
    EXPECT_EQ(d.beeps, 1);
    EXPECT_EQ(d.last().title, QStringLiteral("Export Successful!"));
    EXPECT_TRUE(d.last().text.startsWith(
        QStringLiteral("LogExp.txt has been written to this program's working directory ") +
        work.path()));
}

} // namespace
