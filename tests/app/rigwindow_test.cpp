// The rig interface window driven as the operator drives it: pick the rig
// and the port, Test, watch the frequency and mode, Done, and log while the
// band and mode follow the rig (a simulator on a pseudo-terminal pair, or
// Hamlib's rigctld with its dummy rig).
#include "support/AppFixture.h"
#include "support/RigSimulator.h"

#include "platform/SerialPorts.h"
#include "rig/RigSettings.h"

#include <QCheckBox>
#include <QDialog>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTcpServer>

namespace {
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
    const QString rigctld = QStandardPaths::findExecutable("rigctld"), rigctl = QStandardPaths::findExecutable("rigctl");
    ASSERT_FALSE(rigctld.isEmpty() || rigctl.isEmpty()) << "libhamlib-utils is needed";
    QTcpServer probe; // a free port for the daemon
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const QString port = QString::number(probe.serverPort());
    probe.close();
    QProcess daemon;
    daemon.start(rigctld, {"-m", "1", "-T", "127.0.0.1", "-t", port});
    ASSERT_TRUE(daemon.waitForStarted());
    // Set the dummy rig through rigctld with Hamlib's own client.
    auto setRig = [&](const QStringList &args) {
        return QTest::qWaitFor([&] {
            QProcess client;
            client.start(rigctl, QStringList{"-m", "2", "-r", "127.0.0.1:" + port} + args);
            return client.waitForFinished(5000) && client.exitCode() == 0;
        }, 10000);
    };
    ASSERT_TRUE(setRig({"F", "144200000", "M", "USB", "2400"}));

    AppFixture app;
    ASSERT_TRUE(app.start());
    MainView v(*app.form);
    v.chooseBand("50 M");
    v.chooseCw();
    RigWindowView w(v);
    w.chooseRig("Hamlib rigctld");
    EXPECT_TRUE(w.get<QLineEdit>("txtRigctldHost")->isEnabled());
    w.get<QLineEdit>("txtRigctldPort")->setText(port);
    w.click("optPollMed");
    w.get<QCheckBox>("chkFrequency")->setChecked(true);
    QElapsedTimer clock;
    clock.start();
    w.click("Command1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return v.band->text() == "144 MHz" && v.mode->text() == "PH"; }, 3000));
    EXPECT_LT(clock.elapsed(), 2 * 500 + 300);
    EXPECT_EQ(w.label("lblFreq")->text(), "144.20000");
    w.click("cmdDone");
    ASSERT_TRUE(setRig({"F", "432100000", "M", "CW", "500"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return v.band->text() == "432 MHz" && v.mode->text() == "CW"; }, 3000));
    app.form.reset();
    daemon.terminate();
    daemon.waitForFinished(5000);
}

TEST(RigWindow, ARigKeptInTheSettingsIsPolledFromTheStart)
{
    RigSimulator rig(QStringLiteral("Yaesu FTdx9000"));
    ASSERT_TRUE(rig.ready());
    rig.hz = 50125000;
    rig.cw = true;
    AppFixture app;
    Station s;
    s.rig = "Yaesu FTdx9000";
    s.currentBand = "432 M";
    app.writePrefs(s);
    RigSettings kept;
    kept.rigType = s.rig;
    kept.port = 4;
    kept.freqQuery = "FA;";
    kept.modeQuery = "MD0;";
    kept.pollRate = 'F';
    ASSERT_TRUE(kept.save(QDir(app.work.path()).filePath("RigCntrl.txt")));
    ASSERT_TRUE(app.start(Dialogs::Answer::Yes, [&](QWidget &) {
        SerialPorts::mapPort(4, rig.device()); // the station window is up: the settings are in place
        return true;
    }));
    MainView v(*app.form);
    EXPECT_TRUE(QTest::qWaitFor([&] { return v.band->text() == "50 MHz" && v.mode->text() == "CW"; }, 3000))
        << v.band->text().toStdString() << " " << v.mode->text().toStdString();
    RigWindowView w(v);
    EXPECT_EQ(w.get<QListWidget>("List1")->currentItem()->text(), "Yaesu FTdx9000");
    EXPECT_TRUE(w.get<QPushButton>("Command2")->isEnabled());
    SerialPorts::mapPort(4, {});
}
