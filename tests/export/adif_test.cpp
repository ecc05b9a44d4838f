// The ADIF export and the Orrery export, written from logs read back from
// real files.
#include "export/Adif.h"
#include "support/TestLog.h"
#include "export/OrreryExport.h"
#include "platform/SeqFile.h"

#include <functional>

namespace {

QsoRecord contact() { return qso("K1ABC", "432 M", "FN42", "FN31", "PH", "2012/06/09", "18:05:00"); }

TEST(Adif, Records)
{
    const Adif::Answers usual{"100", "ARRL June VHF QSO Party", "SSB"};
    const Adif::Answers bare{"", "", "usb"};
    struct Case {
        const char *what;
        std::function<void(QsoRecord &)> change;
        Adif::Answers answers;
        QByteArray expected;
    };
    const QByteArray head = "<Call:5>K1ABC <Qso_Date:8:d>20120609 <Band:4>70CM\r\n";
    const QByteArray usb = head + "<Mode:3>USB\r\n";
    const QByteArray reports = "<RST_Sent:2>59 <RST_Rcvd:2>59 <Gridsquare:4>FN42 ";
    const QByteArray end = "<eor>\r\n\r\n";
    const Case cases[] = {
        {"all fields", [](QsoRecord &) {}, usual,
         head + "<Mode:3>SSB\r\n<Tx_Pwr:3>100 <Time_On:4>1805 " + reports +
             "<Comment:23>ARRL June VHF QSO Party\r\n" + end},
        {"phone mode answered usb, no power, no comment", [](QsoRecord &) {}, bare,
         usb + "<Time_On:4>1805 " + reports + end},
        {"time 930", [](QsoRecord &r) { r.fldtime = "930"; }, bare, usb + "<Time_On:4>0930 " + reports + end},
        {"time 18:05", [](QsoRecord &r) { r.fldtime = "18:05"; }, bare, usb + "<Time_On:4>1805 " + reports + end},
        {"no time", [](QsoRecord &r) { r.fldtime = ""; }, bare, usb + reports + end},
        {"empty sent report", [](QsoRecord &r) { r.rsts = ""; }, bare,
         usb + "<Time_On:4>1805 <RST_Rcvd:2>59 <Gridsquare:4>FN42 " + end},
        {"invalid date", [](QsoRecord &r) { r.flddate = "2012/13/45"; }, bare,
         "<Call:5>K1ABC <Band:4>70CM\r\n<Mode:3>USB\r\n<Time_On:4>1805 " + reports + end},
        {"1.3 GHz CW", [](QsoRecord &r) { r.uband = "1.3 G"; r.umode = "CW"; }, bare,
         "<Call:5>K1ABC <Qso_Date:8:d>20120609 <Band:4>23CM\r\n<Mode:2>CW\r\n<Time_On:4>1805 " + reports + end},
        {"band of no row", [](QsoRecord &r) { r.uband = "28 M"; }, bare,
         "<Call:5>K1ABC <Qso_Date:8:d>20120609 <Band:0>\r\n<Mode:3>USB\r\n<Time_On:4>1805 " + reports + end},
        {"grid with trailing blanks", [](QsoRecord &r) { r.gridr = "FN42  "; }, bare,
         usb + "<Time_On:4>1805 " + reports + end},
        {"lengths count bytes", [](QsoRecord &) {}, Adif::Answers{"", "Grüße", "FM"},
         head + "<Mode:2>FM\r\n<Time_On:4>1805 " + reports + "<Comment:7>Grüße\r\n" + end},
    };
    for (const Case &c : cases) {
        QsoRecord r = contact();
        c.change(r);
        const QByteArray adif = Adif::adifText(loadedMirror({r}), c.answers, QDateTime(QDate(2012, 6, 10), QTime(9, 0)));
        EXPECT_EQ(adif.mid(adif.indexOf("<EOH>\r\n") + 7), c.expected) << c.what;
    }
}

TEST(Adif, Header)
{
    const QByteArray adif = Adif::adifText(LogMirror(), Adif::Answers(), QDateTime(QDate(2012, 6, 10), QTime(18, 5, 30)),
                                           ProgramInfo{"Halvern", "2.5"});
    const QList<QByteArray> lines = adif.split('\n');
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines.at(0), "ADIF Export from Halvern 2.5\r");
    EXPECT_EQ(lines.at(3), "<PROGRAMID:7>Halvern\r");
    EXPECT_TRUE(lines.at(4).startsWith("Log exported on: ")) << lines.at(4).constData();
    EXPECT_TRUE(lines.at(4).contains("18:05:30")) << lines.at(4).constData();
    EXPECT_EQ(lines.mid(5), (QList<QByteArray>{"\r", "<EOH>\r", ""}));
    // Nothing before the end of the header may read as a field but the
    // program's name.
    EXPECT_EQ(adif.left(adif.indexOf("<EOH>")).count('<'), 1);
}

TEST(OrreryExport, LinesAndContestNames)
{
    QsoRecord r = contact();
    r.uband = "1.3 G";
    r.fldtime = "18:05:30";
    r.rstr = "57";
    EXPECT_EQ(OrreryExport::orreryText(loadedMirror({r}), 5),
              "\"K1ABC\",\"2012/06/09\",\"1.3\",\"PH\",,\"18:05:30\",\"59\",\"57\",,,,,\"FN42\",,,\"CQ VHF Contest\"\r\n");

    const LogMirror m = loadedMirror({contact(), contact()});
    const char *names[] = {"ARRL January VHF Sweepstakes", "ARRL June VHF QSO Party", "ARRL UHF Contest",
                           "ARRL September VHF QSO Party", "CQ VHF Contest"};
    for (int type = 1; type <= 5; ++type) {
        const auto lines = SeqReader::lines(OrreryExport::orreryText(m, type));
        ASSERT_EQ(lines.size(), 2);
        for (const QStringList &line : lines)
            EXPECT_EQ(line.last(), names[type - 1]);
    }
}

} // namespace
