// What the exports write, from logs read back from real files: the ADIF and
// Orrery exports, and the activity graph's numbers (the contact minimum, the
// time labels, the rates, the bridging of short pauses and the band groups).
#include "export/ActivityGraph.h"
#include "export/Adif.h"
#include "export/OrreryExport.h"
#include "log/Bands.h"
#include "platform/SeqFile.h"
#include "support/TestLog.h"

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


// Contacts at the given seconds after 18:00 UTC on 9 June 2012.
std::vector<QsoRecord> contactsAt(const std::vector<int> &seconds, const QString &band = QStringLiteral("144 M"))
{
    std::vector<QsoRecord> records;
    const QDateTime start(QDate(2012, 6, 9), QTime(18, 0));
    for (int s : seconds) {
        const QDateTime t = start.addSecs(s);
        records.push_back(qso(QStringLiteral("W%1AW").arg(records.size() + 1), band, "FN31", "FN20", "CW",
                              t.toString("yyyy/MM/dd"), t.toString("HH:mm:ss")));
    }
    return records;
}

ActivityGraph::Data graphOf(const std::vector<QsoRecord> &records)
{
    return ActivityGraph::compute(loadedMirror(records));
}

TEST(ActivityGraph, NeedsSevenContactsAndLabelsEveryHourOfAFourteenHourContest)
{
    EXPECT_FALSE(graphOf({}).enough);
    EXPECT_FALSE(graphOf(contactsAt({0, 60, 120, 180, 240, 300})).enough);
    EXPECT_TRUE(graphOf(contactsAt({0, 60, 120, 180, 240, 300, 360})).enough);

    std::vector<int> seconds;
    for (int i = 0; i <= 14; ++i)
        seconds.push_back(i * 3600);
    const ActivityGraph::Data d = graphOf(contactsAt(seconds));
    ASSERT_TRUE(d.enough);
    EXPECT_EQ(d.spanSeconds, 14 * 3600);
    EXPECT_EQ(d.timeLabels, (QStringList{"18:00", "19:00", "20:00", "21:00", "22:00", "23:00", "00:00", "01:00",
                                         "02:00", "03:00", "04:00", "05:00", "06:00", "07:00", "08:00"}));
    EXPECT_EQ(d.dateLabels, QStringList(6, "06/09") + QStringList(9, "06/10"));
}

TEST(ActivityGraph, RatesAndBridgedPauses)
{
    // A span of 1500 seconds makes one step a second, so a contact's sample
    // is its second (the first on sample 1).
    const ActivityGraph::Data d = graphOf(contactsAt({0, 10, 26, 60, 700, 1400, 1500}));
    ASSERT_TRUE(d.enough);
    // Contacts within the next ten minutes, times six. Of 1400 and 1500
    // seconds, the later contact owns sample 1500, the earlier one 1400.
    const std::pair<int, float> points[] = {{1, 24}, {10, 18}, {26, 12}, {60, 6}, {700, 6}, {1400, 12}, {1500, 6}};
    for (const auto &[sample, rate] : points)
        EXPECT_FLOAT_EQ(d.rate[sample], rate) << "sample " << sample;
    ASSERT_EQ(d.points.size(), 7u);
    EXPECT_EQ(d.points.back().sample, 1500);

    // 15 empty samples between 10 and 26 are bridged by a straight line.
    for (int s = 11; s <= 25; ++s)
        EXPECT_FLOAT_EQ(d.rate[s], 18.0f + (12.0f - 18.0f) * (s - 10) / 16.0f) << "sample " << s;
    // The longer pause after 26 lies at zero until 15 samples before 60, then
    // climbs to it.
    for (int s = 27; s <= 44; ++s)
        EXPECT_FLOAT_EQ(d.rate[s], 0) << "sample " << s;
    EXPECT_EQ(d.group[30], -1);
    for (int s = 45; s <= 59; ++s)
        EXPECT_FLOAT_EQ(d.rate[s], 6.0f * (s - 44) / 16.0f) << "sample " << s;
    EXPECT_FLOAT_EQ(d.peak, 24);
}

TEST(ActivityGraph, RateAxis)
{
    // One decimal, no digit grouping.
    const std::pair<double, const char *> texts[] = {
        {0, "0.0"}, {0.25, "0.3"}, {-0.04, "0.0"}, {99.96, "100.0"}, {1234.56, "1234.6"}, {1e6, "1000000.0"}};
    for (const auto &[rate, text] : texts)
        EXPECT_EQ(ActivityGraph::rateText(rate), text) << rate;

    const std::pair<float, std::vector<float>> steps[] = {{42, {0, 10, 20, 30, 40, 50}},
                                                          {8, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
                                                          {6, {0, 1, 2, 3, 4, 5, 6}},
                                                          {1230, {0, 200, 400, 600, 800, 1000, 1200, 1400}},
                                                          {0, {0, 1}}};
    for (const auto &[peak, expected] : steps) {
        const std::vector<float> s = ActivityGraph::rateSteps(ActivityGraph::scaleFor(peak));
        EXPECT_EQ(s, expected) << peak;
        EXPECT_LE(s.size(), size_t(ActivityGraph::RateLabelCount)) << peak;
    }
}

TEST(ActivityGraph, TenAndTwentyFourGigahertzAreOther)
{
    std::vector<QsoRecord> records = contactsAt({0, 300, 600, 900}, "10 G");
    const std::vector<QsoRecord> more = contactsAt({1200, 1500, 1800}, "24 G");
    records.insert(records.end(), more.begin(), more.end());
    const ActivityGraph::Data d = graphOf(records);
    ASSERT_TRUE(d.enough);
    for (const ActivityGraph::RatePoint &p : d.points)
        EXPECT_EQ(p.group, 6);
    EXPECT_EQ(ActivityGraph::GroupLabels.at(6), "Other");
}

} // namespace
