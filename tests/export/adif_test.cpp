// The ADIF export and the Orrery export, written from logs read back from
// real files.
#include "export/Adif.h"
#include "support/TestLog.h"
#include "export/OrreryExport.h"
#include "platform/SeqFile.h"

#include "log/Bands.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>
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
    const QByteArray usb = head + "<Mode:3>SSB\r\n<Submode:3>USB\r\n";
    const QByteArray reports = "<RST_Sent:2>59 <RST_Rcvd:2>59 <Gridsquare:4>FN42 <My_Gridsquare:4>FN31 ";
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
         usb + "<Time_On:4>1805 <RST_Rcvd:2>59 <Gridsquare:4>FN42 <My_Gridsquare:4>FN31 " + end},
        {"invalid date", [](QsoRecord &r) { r.flddate = "2012/13/45"; }, bare,
         "<Call:5>K1ABC <Band:4>70CM\r\n<Mode:3>SSB\r\n<Submode:3>USB\r\n<Time_On:4>1805 " + reports + end},
        {"1.3 GHz CW", [](QsoRecord &r) { r.uband = "1.3 G"; r.umode = "CW"; }, bare,
         "<Call:5>K1ABC <Qso_Date:8:d>20120609 <Band:4>23CM\r\n<Mode:2>CW\r\n<Time_On:4>1805 " + reports + end},
        {"band of no row", [](QsoRecord &r) { r.uband = "28 M"; }, bare,
         "<Call:5>K1ABC <Qso_Date:8:d>20120609 <Band:0>\r\n<Mode:3>SSB\r\n<Submode:3>USB\r\n<Time_On:4>1805 " + reports + end},
        {"grid with trailing blanks", [](QsoRecord &r) { r.gridr = "FN42  "; }, bare,
         usb + "<Time_On:4>1805 " + reports + end},
        {"values made ASCII", [](QsoRecord &r) { r.calls = "SM5ÅÄ"; }, Adif::Answers{"", "Grüße", "fm"},
         "<Call:5>SM5AA <Qso_Date:8:d>20120609 <Band:4>70CM\r\n<Mode:2>FM\r\n<Time_On:4>1805 " + reports +
             "<Comment:6>Grusse\r\n" + end},
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
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines.at(0), "ADIF Export from Halvern 2.5\r");
    EXPECT_EQ(lines.mid(3, 3), (QList<QByteArray>{"<ADIF_VER:5>3.1.4\r", "<PROGRAMID:7>Halvern\r",
                                                  "<PROGRAMVERSION:3>2.5\r"}));
    EXPECT_TRUE(lines.at(6).startsWith("Log exported on: ")) << lines.at(6).constData();
    EXPECT_TRUE(lines.at(6).contains("18:05:30")) << lines.at(6).constData();
    EXPECT_EQ(lines.mid(7), (QList<QByteArray>{"\r", "<EOH>\r", ""}));
    // Nothing before the end of the header may read as a field but the
    // version and the program's name and version.
    EXPECT_EQ(adif.left(adif.indexOf("<EOH>")).count('<'), 3);
}

// The published ADIF enumerations the export must keep to.
const QStringList AdifBands{"2190m", "630m", "560m", "160m", "80m", "60m", "40m", "30m", "20m", "17m",
                            "15m", "12m", "10m", "8m", "6m", "5m", "4m", "2m", "1.25m", "70cm", "33cm",
                            "23cm", "13cm", "9cm", "6cm", "3cm", "1.25cm", "6mm", "4mm", "2.5mm", "2mm",
                            "1mm", "submm"};
const QStringList AdifModes{"AM", "ARDOP", "ATV", "C4FM", "CHIP", "CLO", "CONTESTI", "CW", "DIGITALVOICE",
                            "DOMINO", "DSTAR", "FAX", "FM", "FSK441", "FT8", "HELL", "ISCAT", "JT4", "JT6M",
                            "JT9", "JT44", "JT65", "MFSK", "MSK144", "MT63", "OLIVIA", "OPERA", "PAC", "PAX",
                            "PKT", "PSK", "PSK2K", "Q15", "QRA64", "ROS", "RTTY", "RTTYM", "SSB", "SSTV", "T10",
                            "THOR", "THRB", "TOR", "V4", "VOI", "WINMOR", "WSPR"};

// A strict reading of an ADIF file: ASCII only, every data specifier's length
// right, every record complete and every enumerated value one of its list.
// Returns the objections, none for a good file.
QStringList strictAdifObjections(const QByteArray &file)
{
    QStringList objections;
    for (const char c : file)
        if (static_cast<unsigned char>(c) > 0x7E || (c < 0x20 && c != '\r' && c != '\n'))
            return {"not ASCII"};
    const qsizetype eoh = file.indexOf("<EOH>");
    if (eoh < 0)
        return {"no header end"};
    const QRegularExpression tag("<([A-Za-z_]+)(?::(\\d+)(?::([A-Za-z]))?)?>");
    const QRegularExpression grid("^[A-R]{2}[0-9]{2}([A-X]{2})?$", QRegularExpression::CaseInsensitiveOption);
    QMap<QString, QString> record;
    QSet<QString> header;
    qsizetype at = 0;
    while (true) {
        const auto m = tag.match(QString::fromLatin1(file), at);
        if (!m.hasMatch())
            break;
        const QString name = m.captured(1).toUpper();
        at = m.capturedEnd();
        if (name == "EOH" || name == "EOR") {
            if (name == "EOR") {
                for (const char *need : {"CALL", "QSO_DATE", "TIME_ON", "BAND", "MODE"})
                    if (!record.contains(need))
                        objections << QString("record without %1").arg(need);
                record.clear();
            }
            continue;
        }
        const QString value = QString::fromLatin1(file.mid(at, m.captured(2).toInt()));
        at += value.size();
        if (m.capturedStart() < eoh) {
            header.insert(name);
            continue;
        }
        record.insert(name, value);
        const auto bad = [&](const char *why) { objections << name + "=" + value + ": " + why; };
        if (name == "BAND" && !AdifBands.contains(value, Qt::CaseInsensitive))
            bad("no ADIF band");
        if (name == "MODE" && !AdifModes.contains(value))
            bad("no ADIF mode");
        if (name == "SUBMODE" && !(record.value("MODE") == "SSB" && (value == "USB" || value == "LSB")))
            bad("no submode of its mode");
        if (name == "QSO_DATE" && !QDate::fromString(value, "yyyyMMdd").isValid())
            bad("no date");
        if (name == "TIME_ON" && !QTime::fromString(value, value.size() == 4 ? "HHmm" : "HHmmss").isValid())
            bad("no time");
        if ((name == "GRIDSQUARE" || name == "MY_GRIDSQUARE") && !grid.match(value).hasMatch())
            bad("no grid");
        if (name == "CONTEST_ID" &&
            !QStringList{"ARRL-VHF-JAN", "ARRL-VHF-JUN", "ARRL-VHF-SEP", "ARRL-UHF-AUG", "CQ-VHF"}.contains(value))
            bad("no contest of the list");
    }
    for (const char *need : {"ADIF_VER", "PROGRAMID", "PROGRAMVERSION"})
        if (!header.contains(need))
            objections << QString("header without %1").arg(need);
    return objections;
}

TEST(Adif, EveryBandAndModeKeepsToThePublishedLists)
{
    for (const BandRow &row : Bands::table())
        EXPECT_TRUE(AdifBands.contains(QString::fromLatin1(row.adif), Qt::CaseInsensitive)) << row.label;

    // The phone-mode answer: the mode and submode written, or no ADIF mode.
    const std::tuple<QString, QString, QString> answers[] = {
        {"usb", "SSB", "USB"}, {"LSB", "SSB", "LSB"}, {"ssb", "SSB", ""}, {" fm ", "FM", ""},
        {"Am", "AM", ""},      {"", "SSB", ""},       {"dstar", "DSTAR", ""}, {"voice", "", ""},
        {"PH", "", ""},        {"NFM", "", ""}};
    for (const auto &[answer, mode, submode] : answers) {
        const auto m = Adif::phoneMode(answer);
        EXPECT_EQ(m ? m->mode + "/" + m->submode : QString(), mode.isEmpty() ? "" : mode + "/" + submode)
            << answer.toStdString();
    }

    // A log of every band in both modes, from a rover in two grids, with a
    // call that came in through an append with letters beyond ASCII.
    std::vector<QsoRecord> log;
    for (int i = 0; i < Bands::Count; ++i)
        for (const char *mode : {"CW", "PH"})
            log.push_back(qso(i == 3 ? "SM5ÅÄ" : "K1ABC", Bands::label(i), "FN42", i % 2 ? "FN31" : "FN32", mode,
                              "2012/06/09", QString("18:%1:00").arg(i, 2, 10, QChar('0'))));
    for (const char *phone : {"usb", "FM"}) {
        int changed = -1;
        const QByteArray file = Adif::adifText(loadedMirror(log), Adif::Answers{"10", "Größte Runde", phone},
                                               QDateTime(QDate(2012, 6, 10), QTime(9, 0)), ProgramInfo{"Halvern", "2.5"},
                                               Adif::Origin{"W1AW/R", 2}, &changed);
        EXPECT_EQ(strictAdifObjections(file), QStringList()) << phone;
        EXPECT_EQ(changed, static_cast<int>(log.size())); // the comment of every record lost its umlaut
        EXPECT_EQ(file.count("<eor>"), 2 * Bands::Count);
        EXPECT_TRUE(file.contains("<Call:5>SM5AA ")) << file.constData();
        EXPECT_TRUE(file.contains("<Station_Callsign:6>W1AW/R <My_Gridsquare:4>FN32 <Contest_Id:12>ARRL-VHF-JUN "));
    }
    int changed = -1;
    Adif::adifText(loadedMirror(log), Adif::Answers{}, QDateTime(), ProgramInfo(), Adif::Origin(), &changed);
    EXPECT_EQ(changed, 2); // the two contacts with SM5ÅÄ

    // And the strict reading does object where it should.
    EXPECT_EQ(strictAdifObjections("<ADIF_VER:5>3.1.4<PROGRAMID:1>x<PROGRAMVERSION:1>1<EOH><Call:4>K1AB "
                                   "<Qso_Date:8:d>20120609 <Time_On:4>1805 <Band:4>35CM <Mode:3>USB <eor>"),
              (QStringList{"BAND=35CM: no ADIF band", "MODE=USB: no ADIF mode"}));
}

TEST(OrreryExport, LinesAndContestNames)
{
    QsoRecord r = contact();
    r.uband = "1.3 G";
    r.fldtime = "18:05:30";
    r.rstr = "57";
    EXPECT_EQ(OrreryExport::orreryText(loadedMirror({r}), 5),
              "\"K1ABC\",\"2012/06/09\",\"1.3\",\"PH\",,\"18:05:30\",\"59\",\"57\",,,,,\"FN42\",,,\"CQ VHF Contest\"\r\n");

    // A double quote in a value keeps the line's sixteen fields.
    QsoRecord quoted = contact();
    quoted.calls = "K1\"AB";
    quoted.gridr = "FN\",\"42";
    const auto back = SeqReader::lines(OrreryExport::orreryText(loadedMirror({quoted}), 2));
    ASSERT_EQ(back.size(), 1);
    ASSERT_EQ(back.at(0).size(), 16);
    EXPECT_EQ(back.at(0).at(0), "K1\"AB");
    EXPECT_EQ(back.at(0).at(12), "FN\",\"42");

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
