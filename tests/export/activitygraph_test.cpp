// The activity graph's numbers: the contact minimum, the time labels, the
// rates, the bridging of short pauses, the band groups, and the curve drawn
// in its group's colour.
#include "export/ActivityGraph.h"
#include "export/ExportLog.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Contacts at the given seconds after 18:00 UTC on 9 June 2012.
LogMirror contactsAt(const std::vector<int> &seconds, const QString &band = QStringLiteral("144 M"))
{
    std::vector<QsoRecord> records;
    const QDateTime start(QDate(2012, 6, 9), QTime(18, 0));
    int n = 0;
    for (int s : seconds) {
        const QDateTime t = start.addSecs(s);
        records.push_back(qso(QStringLiteral("W%1AW").arg(++n), band, QStringLiteral("FN31"),
                              QStringLiteral("FN20"), QStringLiteral("CW"),
                              t.toString(QStringLiteral("yyyy/MM/dd")),
                              t.toString(QStringLiteral("HH:mm:ss"))));
    }
    return loadedMirror(records);
}

TEST(ActivityGraph, NeedsSevenContacts)
{
    struct Case {
        std::vector<int> seconds;
        bool drawn;
    };
    const Case cases[] = {{{}, false},
                          {{0, 60, 120, 180, 240, 300}, false},
                          {{0, 60, 120, 180, 240, 300, 360}, true}};
    for (const Case &c : cases)
        EXPECT_EQ(ActivityGraph::compute(contactsAt(c.seconds)).enough, c.drawn)
            << c.seconds.size() << " contacts";
    EXPECT_EQ(ActivityGraph::Text::NotEnoughTitle, QStringLiteral("Not Enough Contacts to Graph."));
}

TEST(ActivityGraph, FourteenHourContestIsLabelledEveryHour)
{
    std::vector<int> seconds;
    for (int i = 0; i <= 14; ++i)
        seconds.push_back(i * 3600);
    const ActivityGraph::Data d = ActivityGraph::compute(contactsAt(seconds));
    ASSERT_TRUE(d.enough);
    EXPECT_EQ(d.spanSeconds, 14 * 3600);
    EXPECT_EQ(d.timeLabels,
              (QStringList{"18:00", "19:00", "20:00", "21:00", "22:00", "23:00", "00:00", "01:00",
                           "02:00", "03:00", "04:00", "05:00", "06:00", "07:00", "08:00"}));
    EXPECT_EQ(d.dateLabels, (QStringList{"06/09", "06/09", "06/09", "06/09", "06/09", "06/09",
                                         "06/10", "06/10", "06/10", "06/10", "06/10", "06/10",
                                         "06/10", "06/10", "06/10"}));
}

TEST(ActivityGraph, RatesAndBridgedPauses)
{
    // A span of 1500 seconds makes one step a second, so a contact's sample
    // is its second (the first on sample 1).
    const ActivityGraph::Data d =
        ActivityGraph::compute(contactsAt({0, 10, 26, 60, 700, 1400, 1500}));
    ASSERT_TRUE(d.enough);
    struct Point {
        int sample;
        float rate; // contacts within the next ten minutes, times six
    };
    const Point points[] = {{1, 24}, {10, 18}, {26, 12}, {60, 6}, {700, 6}, {1500, 6}};
    for (const Point &p : points)
        EXPECT_FLOAT_EQ(d.rate[p.sample], p.rate) << "sample " << p.sample;
    // 1400 and 1500 seconds: the later contact owns sample 1500, the earlier
    // one sample 1400.
    EXPECT_FLOAT_EQ(d.rate[1400], 12);
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

TEST(ActivityGraph, RateLabelsOneDecimalWithoutGrouping)
{
    struct Case {
        double rate;
        const char *text;
    };
    const Case cases[] = {{0, "0.0"},          {6, "6.0"},           {2.5, "2.5"},
                          {0.25, "0.3"},       {0.04, "0.0"},        {-0.04, "0.0"},
                          {99.96, "100.0"},    {1234.56, "1234.6"},  {12345, "12345.0"},
                          {1e6, "1000000.0"}, {-5, "-5.0"}};
    for (const Case &c : cases)
        EXPECT_EQ(ActivityGraph::rateText(c.rate), QLatin1String(c.text)) << c.rate;
}

TEST(ActivityGraph, RateAxisStepsFromZeroToTheTop)
{
    struct Case {
        float peak;
        std::vector<float> steps;
    };
    const Case cases[] = {{42, {0, 10, 20, 30, 40, 50}},
                          {8, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
                          {6, {0, 1, 2, 3, 4, 5, 6}},
                          {1230, {0, 200, 400, 600, 800, 1000, 1200, 1400}},
                          {0, {0, 1}}};
    for (const Case &c : cases) {
        const std::vector<float> steps = ActivityGraph::rateSteps(ActivityGraph::scaleFor(c.peak));
        EXPECT_EQ(steps, c.steps) << c.peak;
        EXPECT_LE(steps.size(), size_t(ActivityGraph::RateLabelCount)) << c.peak;
        EXPECT_GE(steps.back(), c.peak) << c.peak;
    }
}

TEST(ActivityGraph, BandGroups)
{
    struct Case {
        const char *band;
        int group;
    };
    const Case cases[] = {{"50 M", 0},  {"144 M", 1}, {"222 M", 2}, {"432 M", 3},
                          {"902 M", 4}, {"1.3 G", 5}, {"2.3 G", 6}, {"10 G", 6},
                          {"24 G", 6},  {"300 G", 6}, {"28 M", 6}};
    for (const Case &c : cases)
        EXPECT_EQ(ActivityGraph::groupOf(QString::fromLatin1(c.band)), c.group) << c.band;
    EXPECT_EQ(ActivityGraph::GroupLabels.at(6), QStringLiteral("Other"));
}

TEST(ActivityGraph, TenAndTwentyFourGigahertzDrawTheOtherCurve)
{
    const LogMirror ten = contactsAt({0, 300, 600, 900}, QStringLiteral("10 G"));
    const LogMirror twentyFour = contactsAt({1200, 1500, 1800}, QStringLiteral("24 G"));
    std::vector<QsoRecord> records = ten.records();
    records.insert(records.end(), twentyFour.records().begin(), twentyFour.records().end());
    const ActivityGraph::Data d = ActivityGraph::compute(loadedMirror(records));
    ASSERT_TRUE(d.enough);
    for (const ActivityGraph::RatePoint &p : d.points)
        EXPECT_EQ(p.group, 6);
    EXPECT_FALSE(d.series(6).empty());
    for (int g = 0; g < 6; ++g)
        EXPECT_TRUE(d.series(g).empty()) << "group " << g;

    // Drawn, the plot (left of the legend) shows the "Other" colour and no
    // colour of the other groups.
    ActivityGraphView view;
    view.resize(640, 400);
    view.setData(d);
    const QImage image = view.grab().toImage();
    auto plotHolds = [&image](const QColor &c) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width() * 7 / 10; ++x)
                if (image.pixelColor(x, y).rgb() == c.rgb())
                    return true;
        return false;
    };
    EXPECT_TRUE(plotHolds(ActivityGraphView::groupColor(6)));
    for (int g = 0; g < 6; ++g)
        EXPECT_FALSE(plotHolds(ActivityGraphView::groupColor(g))) << "group " << g;
}

TEST(ActivityGraph, ViewLeavesTheAxisMarginsToTheLabels)
{
    ActivityGraphView view;
    view.resize(640, 400);
    EXPECT_TRUE(view.plotRect().isEmpty()); // nothing to draw yet
    view.setData(ActivityGraph::compute(contactsAt({0, 60, 120, 180, 240, 300, 360})));
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
            if ((x < plot.left() - 1 || y > plot.bottom() + 1) &&
                image.pixelColor(x, y).rgb() != QColor(Qt::black).rgb())
                ++inked;
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
