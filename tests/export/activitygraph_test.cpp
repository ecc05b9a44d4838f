// The activity graph's numbers: the contact minimum, the time labels, the
// rates, the bridging of short pauses and the band groups.
#include "export/ActivityGraph.h"
#include "support/TestLog.h"


namespace {

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
