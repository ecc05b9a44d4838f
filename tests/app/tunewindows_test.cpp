// The tuning windows driven as the operator drives them: the tune window's
// steps, bands and scan against a simulated rig; spots right-clicked on the
// spectrum map (also against Hamlib's rigctld and its dummy rig); the
// privileges of each licence class.
#include "support/AppFixture.h"
#include "support/RigSimulator.h"

#include "app/SpotAreaPanel.h"
#include "app/StationRig.h"
#include "app/StationSpots.h"
#include "platform/AtomicFile.h"
#include "platform/SerialPorts.h"
#include "rig/RigPoller.h"
#include "rig/RigSettings.h"
#include "rig/RigTuner.h"
#include "spots/BandPlan.h"

#include <QCheckBox>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QListWidget>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
constexpr int Port = 8;

// The main window, started with a rig kept in the settings and polled from
// the start.
struct PolledApp {
    explicit PolledApp(const QString &rig, const std::function<void(RigSettings &)> &adjust = nullptr)
    {
        Station s;
        s.rig = rig;
        app.writePrefs(s);
        RigSettings kept;
        kept.rigType = rig;
        kept.port = Port;
        kept.freqQuery = Rig::model(rig).freqQuery;
        kept.modeQuery = Rig::model(rig).modeQuery;
        kept.pollRate = 'F';
        if (adjust)
            adjust(kept);
        EXPECT_TRUE(kept.save(QDir(app.work.path()).filePath("RigCntrl.txt")));
        EXPECT_TRUE(app.start());
        view = std::make_unique<MainView>(*app.form);
        station = control<StationRig>(*app.form, "stationRig");
    }
    AppFixture app;
    std::unique_ptr<MainView> view;
    StationRig *station = nullptr;
};

QDateTime now() { return Clock::localNow(); }

std::vector<QLabel *> shownSpots(QWidget *map)
{
    std::vector<QLabel *> shown;
    for (int i = 0; i < 50; ++i)
        if (auto *l = map->findChild<QLabel *>(QStringLiteral("lblDXSpot_%1").arg(i)); l && l->isVisible())
            shown.push_back(l);
    return shown;
}
} // namespace

TEST(TuneWindow, StepsBandsAndAScanThatWrapsAndStopsOnAKey)
{
    RigSimulator rig(QStringLiteral("Kenwood"));
    ASSERT_TRUE(rig.ready());
    SerialPorts::mapPort(Port, rig.device());
    PolledApp p(QStringLiteral("Kenwood"));
    ASSERT_TRUE(p.station->poller().isPolling());
    bool ran = false;
    whenModal(QStringLiteral("frmRigTune"), [&](QWidget *w) {
        ran = true;
        EXPECT_EQ(w->windowTitle(), " Change Frequency and Mode (Ctrl G (Go))");
        QLineEdit *freq = fieldOf(*w, "txtFreq");
        auto click = [&](const char *name) { QTest::mouseClick(buttonOf(*w, name), Qt::LeftButton); };
        freq->clear();
        EXPECT_FALSE(buttonOf(*w, "cmdTune_0")->isEnabled());
        QTest::keyClicks(freq, "14.2");
        const struct {
            const char *button, *shows;
            qint64 hz;
        } steps[] = {
            {"cmdTune_0", "14.20001", 14200010}, {"cmdTune_3", "13.20001", 13200010},
            {"cmdTune_4", "13.20501", 13205010}, {"cmdTune_7", "13.20401", 13204010},
            {"cmdTune_8", "13.20411", 13204110}, {"cmdTune_2", "14.20411", 14204110},
            {"cmdBand_5", "14.175", 14175000},   {"cmdBand_13", "435", 435000000},
        };
        for (const auto &s : steps) {
            click(s.button);
            EXPECT_EQ(freq->text(), s.shows);
            EXPECT_TRUE(QTest::qWaitFor([&] { return rig.hz == s.hz; }, 3000)) << s.button << " " << rig.hz;
        }
        EXPECT_EQ(rig.modeSet, "USB");
        click("cmdCW");
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.modeSet == "CW"; }, 3000));
        EXPECT_TRUE(buttonOf(*w, "cmdDone")->hasFocus());

        // A scan in 10 Hz steps from 432.100 MHz, wrapping after 432.10003.
        freq->clear();
        fieldOf(*w, "txtFrom")->setText("432.1");
        fieldOf(*w, "txtTo")->setText("432.10003");
        QTest::mouseClick(control<QRadioButton>(*w, "Option4"), Qt::LeftButton, {}, QPoint(6, 6));
        auto *scan = control<QCheckBox>(*w, "chkScan");
        QTest::mouseClick(scan, Qt::LeftButton, {}, QPoint(6, 6));
        ASSERT_TRUE(scan->isChecked());
        EXPECT_EQ(freq->text(), "432.1");
        for (const char *next : {"432.10001", "432.10002", "432.10003", "432.1", "432.10001"})
            EXPECT_TRUE(QTest::qWaitFor([&] { return freq->text() == next; }, 1000)) << next;
        QTest::keyClick(w, Qt::Key_Space);
        EXPECT_FALSE(scan->isChecked());
        const QString stoppedAt = freq->text();
        QSignalSpy tick(control<QTimer>(*w, "Timer1"), &QTimer::timeout);
        ASSERT_TRUE(tick.wait(1000));
        EXPECT_EQ(freq->text(), stoppedAt);
        // The rig ends where the scan stopped.
        const qint64 last = Rig::hzFromMHz(stoppedAt.toDouble());
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.hz == last; }, 3000));
        click("cmdDone");
    });
    p.station->showTuneWindow();
    EXPECT_TRUE(ran);

    // The rig window's Change Frequency: a raw command, then a frequency.
    ran = false;
    whenModal(QStringLiteral("frmFrequencyTest"), [&](QWidget *w) {
        ran = true;
        EXPECT_EQ(fieldOf(*w, "Text1")->text(), "FA00028475000;");
        QTest::mouseClick(buttonOf(*w, "Command1"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.hz == 28475000; }, 3000));
        QTest::keyClicks(fieldOf(*w, "Text2"), "7.0255");
        QTest::mouseClick(buttonOf(*w, "Command2"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.hz == 7025500 && rig.modeSet == "CW"; }, 3000));
        QTest::mouseClick(buttonOf(*w, "cmdDone"), Qt::LeftButton);
    });
    p.station->showWindow();
    QTest::mouseClick(buttonOf(*control<QDialog>(*p.app.form, "RigControlfrm"), "Command3"), Qt::LeftButton);
    EXPECT_TRUE(ran);
    SerialPorts::mapPort(Port, {});
}

TEST(SpectrumMap, SpotsOnTheirRowsAndARightClickTunesAndCopiesTheCall)
{
    RigSimulator rig(QStringLiteral("Kenwood"));
    ASSERT_TRUE(rig.ready());
    SerialPorts::mapPort(Port, rig.device());
    PolledApp p(QStringLiteral("Kenwood"));
    // Oldest first: an hour-old spot ends the drawing; the 432 MHz spot has no row.
    p.station->setSpots({{"K9OLD", 14200.0, now().addSecs(-3700), "K9"},
                         {"N2WHT", 7025.0, now().addSecs(-1500), "N2"},
                         {"W1AW", 432100.0, now(), "W1"},
                         {"JA1XYZ", 14025.0, now(), "JA1"}});
    for (bool polling : {true, false}) {
        SCOPED_TRACE(polling ? "polling" : "not polling");
        if (!polling)
            p.station->poller().stop();
        p.view->call->clear();
        const qsizetype before = rig.queries.size();
        bool ran = false;
        whenModal(QStringLiteral("SpectrumMap"), [&](QWidget *w) {
            ran = true;
            EXPECT_EQ(w->windowTitle(), " HF Spectrum Map");
            EXPECT_EQ(control<QLabel>(*w, "lblFreqSpot_20")->text(), "14.000");
            EXPECT_EQ(control<QLabel>(*w, "lblFreqSpot_22")->text(), "14.175");
            // The hour-old spot and the 432 MHz spot are not drawn.
            const auto shown = shownSpots(w);
            ASSERT_EQ(shown.size(), 2u);
            QLabel *ja = shown[0];
            EXPECT_EQ(ja->text(), "JA1");
            EXPECT_TRUE(ja->toolTip().startsWith("JA1XYZ  14.025  "));
            const QWidget *twenty = control<QWidget>(*w, "linRow_4");
            EXPECT_LT(qAbs(ja->geometry().bottom() - twenty->y()), 20);
            EXPECT_EQ(ink(ja), QColor(0xFF, 0xFF, 0x80));
            EXPECT_EQ(ink(shown[1]), QColor(Qt::white));
            QTest::mouseClick(ja, Qt::RightButton);
            QTest::mouseClick(buttonOf(*w, "cmdDone"), Qt::LeftButton);
        });
        p.station->showSpectrumMap();
        EXPECT_TRUE(ran);
        EXPECT_EQ(p.view->call->text(), "JA1XYZ");
        // On to the next field, as if the call had been typed.
        const QWidget *next = p.app.form->focusWidget();
        EXPECT_TRUE(next == p.view->received || next == p.view->grid);
        if (polling) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return rig.hz == 14025000 && rig.modeSet == "CW"; }, 3000));
            EXPECT_TRUE(rig.queries.contains("MD3;"));
        } else {
            for (qsizetype i = before; i < rig.queries.size(); ++i)
                ADD_FAILURE() << "sent " << rig.queries[i].toStdString();
        }
    }
    // A left click takes the spot off the maps.
    whenModal(QStringLiteral("SpectrumMap"), [&](QWidget *w) {
        QTest::mouseClick(shownSpots(w)[0], Qt::LeftButton);
        for (QLabel *l : shownSpots(w))
            EXPECT_NE(l->text(), "JA1");
        QTest::mouseClick(buttonOf(*w, "cmdDone"), Qt::LeftButton);
    });
    QSignalSpy dismissed(p.station, &StationRig::spotDismissed);
    p.station->showSpectrumMap();
    ASSERT_EQ(dismissed.size(), 1);
    EXPECT_EQ(dismissed[0][0].toInt(), 3);
    SerialPorts::mapPort(Port, {});
}

TEST(BandMap, ARightClickedSpotTunesWhilePollingAndAlwaysCopiesTheCall)
{
    RigSimulator rig(QStringLiteral("Kenwood"));
    ASSERT_TRUE(rig.ready());
    SerialPorts::mapPort(Port, rig.device());
    QTcpServer cluster;
    ASSERT_TRUE(cluster.listen(QHostAddress::LocalHost, 0));
    QTcpSocket *node = nullptr;
    QObject::connect(&cluster, &QTcpServer::newConnection, [&] { node = cluster.nextPendingConnection(); });
    PolledApp p(QStringLiteral("Kenwood"));
    p.view->chooseBand("144 M");
    // A Telnet cluster, its spots on the band map.
    p.view->menu("mnuDXConfigure")->trigger();
    auto *spotting = control<QDialog>(*p.app.form, "PacketSpotfrm");
    auto *sources = control<QListWidget>(*spotting, "List1");
    QListWidgetItem *telnet = sources->findItems("Telnet", Qt::MatchExactly).value(0);
    QTest::mouseClick(sources->viewport(), Qt::LeftButton, {}, sources->visualItemRect(telnet).center());
    fieldOf(*spotting, "txtTelnetHost")->setText("127.0.0.1");
    fieldOf(*spotting, "txtTelnetPort")->setText(QString::number(cluster.serverPort()));
    QTest::mouseClick(buttonOf(*spotting, "Command1"), Qt::LeftButton);
    auto *bandMap = control<QRadioButton>(*spotting, "OptBand");
    QTest::mouseClick(bandMap, Qt::LeftButton, {}, QPoint(8, bandMap->height() / 2));
    QTest::mouseClick(buttonOf(*spotting, "cmdDone"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return node != nullptr; }, 5000));
    node->write(QByteArray("DX de W1AW:").leftJustified(15) + QByteArray("144205.0").rightJustified(9) + "  " +
                QByteArray("JA1XYZ").leftJustified(13) + QByteArray("CW 599").leftJustified(31) + "1801Z FN20\r\n");
    auto *area = control<SpotAreaPanel>(*p.app.form, "spotArea");
    QLabel *label = control<QLabel>(*area, "lblDXSpot_49");
    ASSERT_TRUE(QTest::qWaitFor([&] { return label->isVisible(); }, 5000));
    for (bool polling : {true, false}) {
        SCOPED_TRACE(polling ? "polling" : "not polling");
        if (!polling)
            p.station->poller().stop();
        p.view->call->clear();
        const qsizetype before = rig.queries.size();
        QTest::mouseClick(label, Qt::RightButton);
        EXPECT_EQ(p.view->call->text(), "JA1XYZ");
        const QWidget *next = p.app.form->focusWidget();
        EXPECT_TRUE(next == p.view->received || next == p.view->grid);
        if (polling)
            EXPECT_TRUE(QTest::qWaitFor([&] { return rig.hz == 144205000 && rig.modeSet == "USB"; }, 3000));
        else
            EXPECT_EQ(rig.queries.size(), before);
    }
    SerialPorts::mapPort(Port, {});
}

TEST(SpectrumMap, ARightClickedSpotMovesHamlibsDummyRig)
{
    const QString rigctld = QStandardPaths::findExecutable("rigctld"), rigctl = QStandardPaths::findExecutable("rigctl");
    ASSERT_FALSE(rigctld.isEmpty() || rigctl.isEmpty()) << "libhamlib-utils is needed";
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const int port = probe.serverPort();
    probe.close();
    QProcess daemon;
    daemon.start(rigctld, {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
    ASSERT_TRUE(daemon.waitForStarted());
    PolledApp p(QStringLiteral("Hamlib rigctld"), [&](RigSettings &s) { s.rigctldPort = port; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.station->poller().linkUp() && p.station->poller().state().frequency > 0; },
                                5000));
    p.station->setSpots({{"VE3ABC", 14205.5, now(), "VE3"}});
    whenModal(QStringLiteral("SpectrumMap"), [&](QWidget *w) {
        QTest::mouseClick(shownSpots(w).at(0), Qt::RightButton);
        QTest::mouseClick(buttonOf(*w, "cmdDone"), Qt::LeftButton);
    });
    p.station->showSpectrumMap();
    EXPECT_EQ(p.view->call->text(), "VE3ABC");
    QStringList readBack;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        QProcess client;
        client.start(rigctl, {"-m", "2", "-r", QStringLiteral("127.0.0.1:%1").arg(port), "f", "m"});
        if (!client.waitForFinished(5000))
            return false;
        readBack = QString::fromLatin1(client.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        return readBack.value(0) == "14205500" && readBack.value(1) == "USB";
    }, 10000)) << readBack.join(' ').toStdString();
    p.app.form.reset();
    daemon.terminate();
    daemon.waitForFinished(5000);
}

TEST(Privileges, EachClassHasItsSegmentsAndOddPlansDoNotUpsetTheChart)
{
    AppFixture app;
    ASSERT_TRUE(app.start());
    MainView v(*app.form);
    const BandPlan plan = BandPlan::read(BandPlan::path());
    ASSERT_FALSE(plan.rows.isEmpty()) << "the band plan is put into the working folder";
    auto segments = [](QWidget *w) {
        int n = 0;
        for (QLabel *l : w->findChildren<QLabel *>())
            n += l->objectName().startsWith("priv");
        return n;
    };
    bool ran = false;
    whenModal(QStringLiteral("frmBandPlan"), [&](QWidget *w) {
        ran = true;
        EXPECT_EQ(w->windowTitle(), "Frequency Privileges");
        EXPECT_EQ(control<QLabel>(*w, "lblEffective")->text(), "Frequencies Effective: March 5, 2012");
        EXPECT_EQ(control<QLabel>(*w, "lblHeading")->text(), "Extra Frequency Privileges");
        const struct {
            const char *button, *heading;
            char licence;
        } classes[] = {
            {"cmdNovice", "Novice Frequency Privileges", 'N'},
            {"cmdTechnician", "Technician Frequency Privileges", 'T'},
            {"cmdTechPlus", "Technician Plus Frequency Privileges", 'P'},
            {"cmdGeneral", "General Frequency Privileges", 'G'},
            {"cmdAdvanced", "Advanced Frequency Privileges", 'A'},
            {"cmdExtra", "Extra Frequency Privileges", 'E'},
        };
        for (const auto &c : classes) {
            QTest::mouseClick(buttonOf(*w, c.button), Qt::LeftButton);
            EXPECT_EQ(control<QLabel>(*w, "lblHeading")->text(), c.heading);
            qsizetype expected = 0;
            for (const PrivilegeBar &b : plan.chart(QLatin1Char(c.licence)))
                expected += b.segments.size();
            EXPECT_EQ(segments(w), expected) << c.licence;
        }
        // The 20 m bar: General's CW segment starts a quarter-way into 14.0-14.1.
        QTest::mouseClick(buttonOf(*w, "cmdGeneral"), Qt::LeftButton);
        QLabel *twenty = control<QLabel>(*w, "bnlb5");
        EXPECT_EQ(twenty->text(), "20");
        EXPECT_EQ(twenty->toolTip(), "20  14.000 - 14.350");
        bool found = false;
        for (QLabel *l : w->findChildren<QLabel *>())
            if (l->objectName().startsWith("priv") && l->toolTip() == "CW  14.025 - 14.150") {
                found = true;
                EXPECT_EQ(l->y() - 2, twenty->y());
            }
        EXPECT_TRUE(found);
        QTest::mouseClick(buttonOf(*w, "cmdDone"), Qt::LeftButton);
    });
    v.menu("mnuPrivileges")->trigger();
    EXPECT_TRUE(ran);

    // A plan of 250 rows and a band of no width.
    QByteArray odd = "\"Odd\"\r\n\"X\",\"O\",\"PH\",5,5\r\n\"20\",\"O\",\"PH\",14,14.35\r\n";
    for (int i = 0; i < 250; ++i)
        odd += "\"20\",\"E\",\"CW\",14.0" + QByteArray::number(i % 10) + ",14.35\r\n";
    ASSERT_TRUE(writeFileAtomically(BandPlan::path(), odd));
    whenModal(QStringLiteral("frmBandPlan"), [&](QWidget *w) {
        EXPECT_TRUE(w->findChild<QLabel *>("blbl0"));
        EXPECT_FALSE(w->findChild<QLabel *>("blbl1"));
        EXPECT_EQ(segments(w), BandPlan::MaxRows - 2);
        QTest::mouseClick(buttonOf(*w, "cmdDone"), Qt::LeftButton);
    });
    v.menu("mnuPrivileges")->trigger();
}
