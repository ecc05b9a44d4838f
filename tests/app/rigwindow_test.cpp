// The rig windows driven as the operator drives them: the rig interface
// window (pick the rig and the port, Test, watch the frequency and mode,
// Done, and log while the band and mode follow the rig), the tune window's
// steps, bands and scan, spots right-clicked on the spectrum map and the band
// map, and the privileges of each licence class. The rig is a simulator on a
// pseudo-terminal pair, or Hamlib's rigctld with its dummy rig.
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
#include <QDialog>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
constexpr int Port = 8;
struct RigWindowView {
    explicit RigWindowView(MainView &v)
    {
        v.menu("mnuRigInterface")->trigger();
        window = control<QDialog>(v.window, "RigControlfrm");
    }
    QDialog *window = nullptr;
    template <typename T = QWidget> T *get(const char *name) const { return control<T>(*window, name); }
    QLabel *label(const char *name) const { return get<QLabel>(name); }
    // On the button's mark or the start of its caption, where the operator clicks.
    void click(const char *name) const
    {
        QAbstractButton *b = get<QAbstractButton>(name);
        const QPoint at = qobject_cast<QPushButton *>(b) ? b->rect().center() : QPoint(8, b->height() / 2);
        QTest::mouseClick(b, Qt::LeftButton, {}, at);
    }
    void chooseRig(const QString &name) const
    {
        auto *list = get<QListWidget>("List1");
        QListWidgetItem *item = list->findItems(name, Qt::MatchExactly).value(0);
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }
};

// The main window, started on 432 MHz with a rig kept in the settings and
// polled from the start.
struct PolledApp {
    explicit PolledApp(const QString &rig, const std::function<void(RigSettings &)> &adjust = nullptr)
    {
        Station s;
        s.rig = rig;
        s.currentBand = "432 M";
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

// Hamlib's rigctld with its dummy rig on a free port, and Hamlib's own client
// to set and read the rig through it.
struct Rigctld {
    const QString rigctl = QStandardPaths::findExecutable("rigctl");
    QString port;
    QProcess daemon;
    QStringList output; // the client's last answer
    Rigctld()
    {
        const QString exe = QStandardPaths::findExecutable("rigctld");
        QTcpServer probe;
        if (exe.isEmpty() || rigctl.isEmpty() || !probe.listen(QHostAddress::LocalHost))
            return;
        port = QString::number(probe.serverPort());
        probe.close();
        daemon.start(exe, {"-m", "1", "-T", "127.0.0.1", "-t", port});
        daemon.waitForStarted();
    }
    ~Rigctld()
    {
        daemon.terminate();
        daemon.waitForFinished(5000);
    }
    bool running() const { return daemon.state() == QProcess::Running; }
    // Runs the client until it succeeds and `ok` accepts its answer (the
    // daemon may still be starting).
    bool client(const QStringList &args, const std::function<bool(const QStringList &)> &ok = nullptr)
    {
        return QTest::qWaitFor([&] {
            QProcess c;
            c.start(rigctl, QStringList{"-m", "2", "-r", "127.0.0.1:" + port} + args);
            if (!c.waitForFinished(5000) || c.exitCode() != 0)
                return false;
            output = QString::fromLatin1(c.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
            return !ok || ok(output);
        }, 10000);
    }
};
} // namespace

TEST(RigWindow, ARigOnItsPortDrivesTheBandAndModeAndIsKeptByDone)
{
    RigSimulator rig(QStringLiteral("Kenwood"));
    ASSERT_TRUE(rig.ready());
    AppFixture app;
    ASSERT_TRUE(app.start());
    SerialPorts::mapPort(4, rig.device());
    MainView v(*app.form);
    v.chooseBand("50 M");
    v.chooseCw();
    ASSERT_TRUE(v.menu("mnuRigInterface")->isEnabled());
    RigWindowView w(v);
    ASSERT_TRUE(w.window->isVisible());
    EXPECT_EQ(w.window->windowTitle(), " Rig Interface Setup");

    w.chooseRig("Icom");
    EXPECT_TRUE(w.label("Label10")->isVisible());
    EXPECT_EQ(w.get<QLineEdit>("txtFreq")->text(), "FE FE 64 E0 03 FD");
    EXPECT_TRUE(w.get<QRadioButton>("optBaud12")->isChecked());
    w.chooseRig("Kenwood");
    EXPECT_FALSE(w.label("Label10")->isVisible());
    EXPECT_EQ(w.get<QLineEdit>("txtFreq")->text(), "FA;");
    EXPECT_EQ(w.get<QLineEdit>("txtMode")->text(), "MD;");
    EXPECT_TRUE(w.get<QRadioButton>("optBaud48")->isChecked());
    EXPECT_TRUE(w.get<QRadioButton>("optStop2")->isChecked());
    EXPECT_FALSE(w.get<QCheckBox>("chkConvToHex")->isEnabled());
    w.click("optComm_3");
    w.click("optPollFast");
    w.get<QCheckBox>("chkFrequency")->setChecked(true);

    // Change Frequency wants polling.
    w.click("Command3");
    EXPECT_EQ(app.dialogs.last().title, "You must be polling your rig to test this function.");

    w.click("Command1");
    EXPECT_TRUE(w.label("Label2")->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.label("lblFreq")->text() == "144.20000"; }, 3000))
        << w.label("lblFreq")->text().toStdString();
    EXPECT_EQ(w.label("lblMode")->text(), "PH");
    EXPECT_TRUE(w.label("lblUnProcess")->text().contains("FA00144200000;"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return v.band->text() == "144 MHz"; }, 2000)) << v.band->text().toStdString();
    EXPECT_EQ(v.mode->text(), "PH");

    w.click("cmdDone");
    EXPECT_FALSE(w.window->isVisible());
    EXPECT_EQ(v.contest.station().rig, "Kenwood");
    EXPECT_TRUE(QFile::exists(QDir(app.work.path()).filePath("RigCntrl.txt")));
    // Logging goes on while the rig moves.
    rig.hz = 432100000;
    rig.cw = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return v.band->text() == "432 MHz" && v.mode->text() == "CW"; }, 3000));
    rig.hz = 14250000; // no band of the logger: the band stays
    const qsizetype asked = rig.queries.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.queries.size() >= asked + 6; }, 3000));
    EXPECT_EQ(v.band->text(), "432 MHz");

    // The cable is pulled: told once, the logger stays usable, and the band
    // follows again once it is back.
    app.dialogs.clear();
    rig.unplug();
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.dialogs.sawTitle("Rig Interface"); }, 3000));
    v.call->setFocus();
    typeKeys(v.call, "W1AW");
    EXPECT_EQ(v.call->text(), "W1AW");
    rig.hz = 222100000;
    ASSERT_TRUE(rig.plugIn());
    EXPECT_TRUE(QTest::qWaitFor([&] { return v.band->text() == "222 MHz"; }, 3000));
    EXPECT_EQ(app.dialogs.shown.size(), 1);
    SerialPorts::mapPort(4, {});
}

TEST(RigWindow, ABadPortIsToldAndPollingDoesNotStart)
{
    QTemporaryDir dir;
    AppFixture app;
    ASSERT_TRUE(app.start());
    SerialPorts::mapPort(5, dir.filePath("nothing-here"));
    MainView v(*app.form);
    RigWindowView w(v);
    w.chooseRig("Yaesu");
    w.click("optComm_4");
    w.click("Command1");
    EXPECT_EQ(app.dialogs.last().title, "Invalid Comm Settings.");
    EXPECT_TRUE(app.dialogs.last().text.startsWith(
        "The comm port that you selected for rig interface is either in use, invalid or the settings"));
    EXPECT_EQ(app.dialogs.beeps, 1);
    EXPECT_FALSE(w.get<QPushButton>("Command2")->isEnabled());
    EXPECT_FALSE(w.label("Label2")->isVisible());
    SerialPorts::mapPort(5, {});
}

TEST(RigWindow, HamlibRigctldDrivesTheLoggerWithinTwoPolls)
{
    Rigctld hamlib;
    ASSERT_TRUE(hamlib.running()) << "libhamlib-utils is needed";
    ASSERT_TRUE(hamlib.client({"F", "144200000", "M", "USB", "2400"}));
    AppFixture app;
    ASSERT_TRUE(app.start());
    MainView v(*app.form);
    v.chooseBand("50 M");
    v.chooseCw();
    RigWindowView w(v);
    w.chooseRig("Hamlib rigctld");
    EXPECT_TRUE(w.get<QLineEdit>("txtRigctldHost")->isEnabled());
    w.get<QLineEdit>("txtRigctldPort")->setText(hamlib.port);
    w.click("optPollMed");
    w.get<QCheckBox>("chkFrequency")->setChecked(true);
    QElapsedTimer clock;
    clock.start();
    w.click("Command1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return v.band->text() == "144 MHz" && v.mode->text() == "PH"; }, 3000));
    EXPECT_LT(clock.elapsed(), 2 * 500 + 300);
    EXPECT_EQ(w.label("lblFreq")->text(), "144.20000");
    w.click("cmdDone");
    ASSERT_TRUE(hamlib.client({"F", "432100000", "M", "CW", "500"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return v.band->text() == "432 MHz" && v.mode->text() == "CW"; }, 3000));
}

TEST(TuneWindow, StepsBandsAndAScanThatWrapsAndStopsOnAKey)
{
    RigSimulator rig(QStringLiteral("Kenwood"));
    ASSERT_TRUE(rig.ready());
    SerialPorts::mapPort(Port, rig.device());
    PolledApp p(QStringLiteral("Kenwood"));
    ASSERT_TRUE(p.station->poller().isPolling());
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.view->band->text() == "144 MHz" && p.view->mode->text() == "PH"; }, 3000))
        << p.view->band->text().toStdString();
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
    auto *rigWindow = control<QDialog>(*p.app.form, "RigControlfrm");
    EXPECT_EQ(control<QListWidget>(*rigWindow, "List1")->currentItem()->text(), "Kenwood");
    EXPECT_TRUE(buttonOf(*rigWindow, "Command2")->isEnabled());
    QTest::mouseClick(buttonOf(*rigWindow, "Command3"), Qt::LeftButton);
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
    Rigctld hamlib;
    ASSERT_TRUE(hamlib.running()) << "libhamlib-utils is needed";
    PolledApp p(QStringLiteral("Hamlib rigctld"), [&](RigSettings &s) { s.rigctldPort = hamlib.port.toInt(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.station->poller().linkUp() && p.station->poller().state().frequency > 0; },
                                5000));
    p.station->setSpots({{"VE3ABC", 14205.5, now(), "VE3"}});
    whenModal(QStringLiteral("SpectrumMap"), [&](QWidget *w) {
        QTest::mouseClick(shownSpots(w).at(0), Qt::RightButton);
        QTest::mouseClick(buttonOf(*w, "cmdDone"), Qt::LeftButton);
    });
    p.station->showSpectrumMap();
    EXPECT_EQ(p.view->call->text(), "VE3ABC");
    EXPECT_TRUE(hamlib.client({"f", "m"}, [](const QStringList &out) {
        return out.value(0) == "14205500" && out.value(1) == "USB";
    })) << hamlib.output.join(' ').toStdString();
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
