// Bands and modes as the operator chooses them in the main window, and as
// the rig's frequency and mode select them.
#include "app/ClickableLabel.h"
#include "app/Colors.h"
#include "app/Form1.h"
#include "log/Bands.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QRadioButton>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {
bool isCurrentColour(QLabel *l) { return backgroundOf(l) == bgrColor(UiColors::CurrentBand); }
bool isOtherColour(QLabel *l) { return backgroundOf(l) == bgrColor(UiColors::OtherBand); }
} // namespace

TEST(Bands, RigFrequencySelectsTheBandByExclusiveWindows)
{
    AppFixture app;
    ASSERT_TRUE(app.start());
    Form1 &f = *app.form;
    f.mnuBand_Click(Bands::indexOf(QStringLiteral("144 M")));
    struct Case {
        float mhz;
        QString band; // band afterwards
    };
    const Case cases[] = {
        {54.0001f, QStringLiteral("144 M")},  {2300.0f, QStringLiteral("144 M")},
        {2300.5f, QStringLiteral("2.3 G")},   {432.100f, QStringLiteral("432 M")},
        {28.5f, QStringLiteral("432 M")},     {49.9999f, QStringLiteral("432 M")},
        {50.0f, QStringLiteral("50 M")},      {10368.1f, QStringLiteral("10 G")},
        {1296.1f, QStringLiteral("1.3 G")},   {148.0001f, QStringLiteral("1.3 G")},
    };
    for (const Case &c : cases) {
        f.BandFreqConversion(c.mhz);
        EXPECT_EQ(f.station.currentBand, c.band) << c.mhz;
    }
    // A frequency inside the current band does not run the band change again.
    QSignalSpy changes(&f, &Form1::bandOrModeChanged);
    f.BandFreqConversion(1296.2f);
    EXPECT_EQ(changes.count(), 0);
}

TEST(Bands, MenusLabelsAndTheUhfRule)
{
    AppFixture app;
    ASSERT_TRUE(app.start(Dialogs::Answer::Yes, [](frmStationID &s) {
        s.Option3->setChecked(true); // the UHF contest
        return true;
    }));
    Form1 &f = *app.form;
    ASSERT_EQ(f.station.contestType, 3);
    // Clicking the 50 MHz caption label ends on 222 MHz in the window and the file.
    QTest::mouseClick(f.bandCaptionLabels[0], Qt::LeftButton);
    EXPECT_EQ(f.station.currentBand, QStringLiteral("222 M"));
    EXPECT_EQ(f.Label21->text(), QStringLiteral("222 MHz"));
    EXPECT_TRUE(f.bandMenuItems[2]->isChecked());
    EXPECT_TRUE(isCurrentColour(f.bandCaptionLabels[2]));
    Station saved;
    Preferences::load(saved, app.work.path());
    EXPECT_EQ(saved.currentBand, QStringLiteral("222 M"));

    // 300 GHz has no panel labels: all stay navy.
    f.bandMenuItems[16]->trigger();
    EXPECT_TRUE(f.bandMenuItems[16]->isChecked());
    EXPECT_EQ(f.Label21->text(), QStringLiteral("300 GHz"));
    for (int i = 0; i < Bands::PanelCount; ++i) {
        EXPECT_TRUE(isOtherColour(f.bandCaptionLabels[i]));
        EXPECT_TRUE(isOtherColour(f.bandCountLabels[i]));
    }
    int checked = 0;
    for (QAction *a : f.bandMenuItems)
        checked += a->isChecked();
    EXPECT_EQ(checked, 1);

    // The count label works like the caption label.
    QTest::mouseClick(f.bandCountLabels[5], Qt::LeftButton);
    EXPECT_EQ(f.station.currentBand, QStringLiteral("1.3 G"));
    EXPECT_EQ(f.Label21->text(), QStringLiteral("1.3 GHz"));
}

TEST(Bands, ModeLabelAndModeSelection)
{
    AppFixture app;
    ASSERT_TRUE(app.start());
    Form1 &f = *app.form;
    f.mnuPhone_Click();
    EXPECT_EQ(f.Label30->text(), QStringLiteral("PH"));
    EXPECT_EQ(f.txtRSTR->maxLength(), 2);
    QTest::mouseClick(f.Label30, Qt::LeftButton);
    EXPECT_EQ(f.station.currentMode, QStringLiteral("CW"));
    EXPECT_EQ(f.txtRSTR->maxLength(), 3);
    EXPECT_EQ(f.txtRSTS->maxLength(), 3);
    EXPECT_TRUE(f.mnuCW->isChecked());
    EXPECT_FALSE(f.mnuPhone->isChecked());

    for (const QString &m : {QString(), QStringLiteral("USB"), QStringLiteral("RTTY"), QStringLiteral("cw")}) {
        f.ModeSelection(m);
        EXPECT_EQ(f.station.currentMode, QStringLiteral("CW")) << m.toStdString();
    }
    f.ModeSelection(QStringLiteral("PH"));
    EXPECT_EQ(f.station.currentMode, QStringLiteral("PH"));
}

TEST(Bands, ASavedBandOfNoRowLeavesEverythingUncheckedAndNavy)
{
    AppFixture app;
    Station s;
    s.currentBand = QStringLiteral("433 M");
    app.writePrefs(s);
    ASSERT_TRUE(app.start());
    Form1 &f = *app.form;
    EXPECT_EQ(f.station.currentBand, QStringLiteral("433 M"));
    for (QAction *a : f.bandMenuItems)
        EXPECT_FALSE(a->isChecked());
    for (int i = 0; i < Bands::PanelCount; ++i)
        EXPECT_TRUE(isOtherColour(f.bandCaptionLabels[i]));
}
