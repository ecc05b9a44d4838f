// The activity graph's numbers: the contact minimum, the time labels, the
// rates, the bridging of short pauses, the band groups, and the curve drawn
// in its group's colour.
#include "export/ActivityGraph.h"
#include "support/TestLog.h"

#include <QImage>
#include <QTest>

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

// Whether the left seven tenths of the image (the plot, left of the legend)
// hold the colour.
bool plotHolds(const QImage &image, const QColor &c)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width() * 7 / 10; ++x)
            if (image.pixelColor(x, y).rgb() == c.rgb())
                return true;
    return false;
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

TEST(ActivityGraph, TenAndTwentyFourGigahertzDrawTheOtherCurve)
{
    std::vector<QsoRecord> records = contactsAt({0, 300, 600, 900}, "10 G");
    const std::vector<QsoRecord> more = contactsAt({1200, 1500, 1800}, "24 G");
    records.insert(records.end(), more.begin(), more.end());
    const ActivityGraph::Data d = graphOf(records);
    ASSERT_TRUE(d.enough);
    for (const ActivityGraph::RatePoint &p : d.points)
        EXPECT_EQ(p.group, 6);
    EXPECT_EQ(ActivityGraph::GroupLabels.at(6), "Other");

    // Drawn, the plot shows the "Other" colour and no colour of the other groups.
    ActivityGraphView view;
    view.resize(640, 400);
    view.setData(d);
    const QImage image = view.grab().toImage();
    EXPECT_TRUE(plotHolds(image, ActivityGraphView::groupColor(6)));
    for (int g = 0; g < 6; ++g)
        EXPECT_FALSE(plotHolds(image, ActivityGraphView::groupColor(g))) << "group " << g;
}

TEST(ActivityGraph, ViewLeavesTheAxisMarginsToTheLabels)
{
    ActivityGraphView view;
    view.resize(640, 400);
    EXPECT_TRUE(view.plotRect().isEmpty()); // nothing to draw yet
    view.setData(graphOf(contactsAt({0, 60, 120, 180, 240, 300, 360})));
    view.setBlackBackground(true);
    const QRect plot = view.plotRect();
    ASSERT_FALSE(plot.isEmpty());
    EXPECT_EQ(view.timeAxisX(0), plot.left());
    EXPECT_EQ(view.timeAxisX(ActivityGraph::LabelCount - 1), plot.left() + plot.width());
    EXPECT_EQ(view.rateAxisY(0), plot.top() + plot.height());
    EXPECT_EQ(view.rateAxisY(view.scale().top), plot.top());

    // Left of the rate axis and under the time axis only the background
    // shows: the times, dates and rates are the window's labels, not painted.
    const QImage image = view.grab().toImage();
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += (x < plot.left() - 1 || y > plot.bottom() + 1) &&
                     image.pixelColor(x, y).rgb() != QColor(Qt::black).rgb();
    EXPECT_EQ(inked, 0);

    // A new size moves the plot and says so.
    view.show();
    int told = 0;
    QObject::connect(&view, &ActivityGraphView::axesChanged, [&told] { ++told; });
    view.resize(800, 500);
    EXPECT_TRUE(QTest::qWaitFor([&told] { return told > 0; }));
    EXPECT_GT(view.timeAxisX(ActivityGraph::LabelCount - 1), plot.right() + 1);
}

} // namespace
