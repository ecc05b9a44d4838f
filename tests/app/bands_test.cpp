// Bands and modes as the operator chooses them in the main window, and as
// the rig's frequency and mode select them.
#include "support/AppFixture.h"

#include <QRadioButton>
#include <QSignalSpy>

namespace {
// The checked band menu items, and the panel labels in the current band's colour.
QList<int> checkedBands(const MainView &f)
{
    QList<int> out;
    for (int i = 0; i < Bands::Count; ++i)
        if (f.bandItem(size_t(i))->isChecked())
            out.append(i);
    return out;
}
QList<int> highlightedPanels(const MainView &f)
{
    QList<int> out;
    for (size_t i = 0; i < Bands::PanelCount; ++i) {
        const QColor bg = backgroundOf(f.bandCaption(i));
        EXPECT_EQ(backgroundOf(f.bandCount(i)), bg) << i;
        if (bg == bgrColor(UiColors::CurrentBand))
            out.append(int(i));
        else
            EXPECT_EQ(bg, bgrColor(UiColors::OtherBand)) << i;
    }
    return out;
}
} // namespace

TEST(Bands, RigFrequencySelectsTheBandByExclusiveWindows)
{
    AppFixture app;
    ASSERT_TRUE(app.start());
    MainView f(*app.form);
    f.chooseBand("144 M");
    // A frequency outside every window leaves the band as it was.
    const std::pair<float, const char *> cases[] = {
        {54.0001f, "144 M"}, {2300.0f, "144 M"}, {2300.5f, "2.3 G"}, {432.100f, "432 M"}, {28.5f, "432 M"},
        {49.9999f, "432 M"}, {50.0f, "50 M"},    {10368.1f, "10 G"}, {1296.1f, "1.3 G"}, {148.0001f, "1.3 G"},
    };
    for (const auto &[mhz, band] : cases) {
        f.contest.followRigFrequency(mhz);
        EXPECT_EQ(f.contest.station().currentBand, band) << mhz;
    }
    // A frequency inside the current band does not run the band change again.
    QSignalSpy changes(&f.contest, &Contest::bandOrModeChanged);
    f.contest.followRigFrequency(1296.2f);
    EXPECT_EQ(changes.count(), 0);

    // The rig's mode: phone only for "PH", anything else is CW.
    for (const char *m : {"", "USB", "RTTY", "cw"}) {
        f.contest.followRigMode(m);
        EXPECT_EQ(f.contest.station().currentMode, "CW") << m;
    }
    f.contest.followRigMode("PH");
    EXPECT_EQ(f.contest.station().currentMode, "PH");
    EXPECT_EQ(f.received->maxLength(), 2);
    QTest::mouseClick(f.mode, Qt::LeftButton);
    EXPECT_EQ(f.contest.station().currentMode, "CW");
    EXPECT_EQ(f.received->maxLength(), 3);
    EXPECT_EQ(f.sent->maxLength(), 3);
    EXPECT_TRUE(f.menu("mnuCW")->isChecked());
}

TEST(Bands, MenusLabelsAndTheUhfRule)
{
    AppFixture app;
    ASSERT_TRUE(app.start(Dialogs::Answer::Yes, [](QWidget &s) {
        control<QRadioButton>(s, "Option3")->setChecked(true); // the UHF contest
        return true;
    }));
    MainView f(*app.form);
    ASSERT_EQ(f.contest.station().contestType, 3);
    // Clicking the 50 MHz caption label ends on 222 MHz in the window and the file.
    QTest::mouseClick(f.bandCaption(0), Qt::LeftButton);
    EXPECT_EQ(f.band->text(), "222 MHz");
    EXPECT_EQ(checkedBands(f), QList<int>{2});
    EXPECT_EQ(highlightedPanels(f), QList<int>{2});
    Station saved;
    Preferences::load(saved, app.work.path());
    EXPECT_EQ(saved.currentBand, "222 M");

    // The count label works like the caption label.
    QTest::mouseClick(f.bandCount(5), Qt::LeftButton);
    EXPECT_EQ(f.contest.station().currentBand, "1.3 G");
    EXPECT_EQ(f.band->text(), "1.3 GHz");

    // 300 GHz has no panel labels: all stay navy.
    f.bandItem(16)->trigger();
    EXPECT_EQ(f.band->text(), "300 GHz");
    EXPECT_EQ(checkedBands(f), QList<int>{16});
    EXPECT_TRUE(highlightedPanels(f).isEmpty());
}

TEST(Bands, ASavedBandOfNoRowFallsBackToTheDefaultBand)
{
    AppFixture app;
    Station s;
    s.currentBand = "433 M";
    app.writePrefs(s);
    ASSERT_TRUE(app.start());
    const MainView f(*app.form);
    EXPECT_EQ(f.contest.station().currentBand, "144 M");
    EXPECT_EQ(checkedBands(f), QList<int>{1});
}
