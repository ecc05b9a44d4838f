// The logging window's keys on a stand-in window with a call field: what
// they send, stop, change and open, and what still reaches the field.
#include "keying/MainKeyFilter.h"
#include "support/AppFixture.h"
#include "support/KeyingRig.h"
#include "support/TestLog.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {
struct Host : QWidget, EntryAccess {
    QLineEdit *call = new QLineEdit(this);
    QString report = "599", currentMode = "CW", status;
    quint32 background = 0;
    int logged = 0, cleared = 0;
    Host()
    {
        call->setObjectName("txtCall");
        (new QVBoxLayout(this))->addWidget(call);
    }
    QString callText() const override { return call->text(); }
    QString reportText() const override { return report; }
    void logContact() override { ++logged; }
    void clearEntry() override
    {
        ++cleared;
        call->clear();
    }
    QString mode() const override { return currentMode; }
    void showStatus(const QString &text) override { status = text; }
    void setStatusBackground(quint32 bgr) override { background = bgr; }
};

struct Voice : VoiceKeys {
    QList<int> played;
    bool playing = false, repeating = false;
    void play(int code) override { played << code; }
    bool isPlaying() const override { return playing; }
    void stop() override { playing = false; }
    bool repeatPending() const override { return repeating; }
    void stopRepeat() override { repeating = false; }
};

struct KeysFixture {
    KeyingRig rig;
    Host host;
    Voice voice;
    MainKeyFilter filter{rig.keyer, host};
    KeysFixture()
    {
        rig.keyer.setEntry(&host);
        filter.watch(&host);
        filter.setVoiceKeys(&voice);
        host.show();
        QApplication::setActiveWindow(&host);
        host.call->setFocus();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&host));
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(host.call, Qt::Key(k), m); }
    // Runs `act` at the first point where events run during sending.
    void whileSending(std::function<void()> act)
    {
        rig.keyer.setEventPump([this, act, done = false]() mutable {
            if (!std::exchange(done, true))
                act();
        });
    }
};
} // namespace

TEST(CwKeys, FunctionKeysSendAndCtrlLettersOpenWindowsWithoutTyping)
{
    KeysFixture f;
    f.rig.keyer.settings.messages[1] = "$ *";
    f.host.call->setText("W1AW");
    f.key(Qt::Key_F2);
    EXPECT_EQ(f.rig.decoded().text, "W1AW 5NN");
    EXPECT_EQ(f.host.call->text(), "W1AW");

    QSignalSpy opened(&f.filter, &MainKeyFilter::windowRequested);
    const std::pair<int, MainKeyFilter::Window> shortcuts[] = {
        {Qt::Key_C, MainKeyFilter::Window::CwSetup},     {Qt::Key_S, MainKeyFilter::Window::CwSetup},
        {Qt::Key_W, MainKeyFilter::Window::CwStrings},   {Qt::Key_P, MainKeyFilter::Window::VoiceKeyer},
        {Qt::Key_D, MainKeyFilter::Window::DxSpotting},  {Qt::Key_R, MainKeyFilter::Window::Rig},
        {Qt::Key_N, MainKeyFilter::Window::Network},     {Qt::Key_M, MainKeyFilter::Window::Network},
        {Qt::Key_B, MainKeyFilter::Window::SpectrumMap}, {Qt::Key_F, MainKeyFilter::Window::BandPlan},
        {Qt::Key_G, MainKeyFilter::Window::RigTune}};
    for (const auto &[k, window] : shortcuts) {
        f.key(k, Qt::ControlModifier);
        ASSERT_FALSE(opened.isEmpty());
        EXPECT_EQ(opened.takeFirst()[0].value<MainKeyFilter::Window>(), window) << k;
    }
    EXPECT_EQ(f.host.call->text(), "W1AW");
    // Ctrl on its own swallows nothing; quotes are never typed.
    f.key(Qt::Key_Control, Qt::ControlModifier);
    QTest::keyClicks(f.host.call, "a'\"b");
    EXPECT_EQ(f.host.call->text(), "W1AWab");
    EXPECT_TRUE(opened.isEmpty());

    // Phone mode: F1..F9 play, F10 is taken and does nothing, F11 and the
    // arrows are the field's.
    f.host.currentMode = "ph";
    f.rig.edges.clear();
    for (int k : {Qt::Key_F1, Qt::Key_F9, Qt::Key_F10, Qt::Key_F11, Qt::Key_Up})
        f.key(k);
    EXPECT_EQ(f.voice.played, (QList<int>{112, 120}));
    EXPECT_TRUE(f.rig.edges.empty());
    EXPECT_EQ(f.rig.keyer.settings.wpm, "20");

    // CW with no keying output: nothing is sent and the speed stays.
    f.host.currentMode = "CW";
    f.rig.keyer.settings.output = KeyingOutput::None;
    f.key(Qt::Key_F2);
    f.key(Qt::Key_Up);
    EXPECT_TRUE(f.rig.edges.empty());
    EXPECT_EQ(f.rig.keyer.settings.wpm, "20");
}

TEST(CwKeys, AnyKeyEndsTheCqLoop)
{
    KeysFixture f;
    f.rig.keyer.settings.messages[0] = "CQ";
    f.rig.keyer.settings.loopDelay = "0.05";
    f.rig.keyer.applyLoopDelay();
    f.voice.repeating = true;
    f.key(Qt::Key_F1);
    const size_t once = f.rig.edges.size();
    EXPECT_EQ(f.rig.decoded().text, "CQ");
    EXPECT_TRUE(f.rig.keyer.repeatPending());
    // Sent again when the delay is over...
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.rig.edges.size() >= 2 * once; }, 10000));
    EXPECT_EQ(f.rig.decoded().text, "CQCQ"); // the delay passes on the real clock only
    EXPECT_TRUE(f.rig.keyer.repeatTimer()->isActive());
    // ...until a key is pressed, which still types into the field.
    f.key(Qt::Key_K);
    EXPECT_FALSE(f.rig.keyer.repeatPending());
    EXPECT_FALSE(f.rig.keyer.repeatTimer()->isActive());
    EXPECT_FALSE(f.voice.repeating);
    EXPECT_EQ(f.host.call->text(), "k");
}

TEST(CwKeys, EscClearsWhenIdleAndStopsSendingOtherwise)
{
    KeysFixture f;
    f.host.call->setText("W1AW");
    f.key(Qt::Key_Escape);
    EXPECT_EQ(f.host.cleared, 1);
    EXPECT_EQ(f.host.call->text(), "");

    f.host.call->setText("K1ABC");
    f.rig.keyer.settings.messages[2] = "TEST";
    f.whileSending([&] { f.key(Qt::Key_Escape); });
    f.key(Qt::Key_F3);
    EXPECT_EQ(f.rig.decoded().text, "T");
    EXPECT_FALSE(f.rig.line()->isDown());
    EXPECT_EQ(f.host.cleared, 1);
    EXPECT_EQ(f.host.call->text(), "K1ABC");
}

TEST(CwKeys, ArrowsStepTheSpeedFromTheNextElement)
{
    KeysFixture f;
    f.key(Qt::Key_Up);
    f.key(Qt::Key_Up);
    f.key(Qt::Key_Down);
    EXPECT_EQ(f.rig.keyer.settings.wpm, "21");
    EXPECT_EQ(f.host.status, "21 WPM");

    f.rig.keyer.settings.messages[3] = "EE";
    f.whileSending([&] {
        for (int i = 0; i < 9; ++i)
            f.key(Qt::Key_Up);
    });
    f.key(Qt::Key_F4);
    const Decoded d = f.rig.decoded();
    ASSERT_EQ(d.downMs.size(), 2u);
    EXPECT_NEAR(d.downMs[0], 1200.0 / 21, 0.01);
    EXPECT_NEAR(d.downMs[1], 1200.0 / 30, 0.01);
}

TEST(CwKeys, KeyboardCwSendsWhatIsTypedAndBackspaceTakesBackTheUnsent)
{
    KeysFixture f;
    f.rig.keyer.settings.displayText = true;
    QSignalSpy display(&f.rig.keyer, &CwKeyer::displayText);
    f.key(Qt::Key_F12);
    EXPECT_EQ(f.host.status, MainKeyFilter::KeyboardOnText);
    EXPECT_EQ(f.host.background, 0xC0FFFFu);

    f.whileSending([&] {
        QTest::keyClicks(f.host.call, "esx");
        f.key(Qt::Key_Backspace);
    });
    f.key(Qt::Key_T);
    EXPECT_EQ(f.rig.decoded().text, "TES");
    EXPECT_EQ(f.host.call->text(), "");
    ASSERT_FALSE(display.isEmpty());
    EXPECT_EQ(display.last()[0].toString(), CwKeyer::KeyboardModeText);

    f.key(Qt::Key_F12);
    EXPECT_EQ(f.host.status, "");
    EXPECT_EQ(f.host.background, 0xC0C000u);
    QTest::keyClicks(f.host.call, "w1");
    f.key(Qt::Key_Backspace);
    EXPECT_EQ(f.host.call->text(), "w");
}

TEST(MainWindowCw, F2KeysTheCallAndReportOnTheRecordingLine)
{
    // The program as started with HALVERN_KEYLINE_RECORD: every edge goes to
    // the file instead of a device.
    AppFixture app;
    const QString record = app.work.filePath("edges.txt");
    qputenv(RecordingKeyLine::EnvironmentVariable, record.toLocal8Bit());
    CwSettings cw;
    cw.output = KeyingOutput::Rts;
    cw.port = "1";
    cw.wpm = "60";
    cw.messages[1] = "$ *";
    ASSERT_TRUE(cw.save(app.work.filePath("CW.txt")));
    ASSERT_TRUE(app.start());
    MainView f(*app.form);
    f.call->setFocus();
    typeKeys(f.call, "w1aw");
    QTest::keyClick(f.call, Qt::Key_F2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.contest.keyerBusy(); }, 10000));
    qunsetenv(RecordingKeyLine::EnvironmentVariable);
    std::vector<KeyEdge> edges;
    for (const QByteArray &line : readAll(record).split('\n')) {
        const QList<QByteArray> v = line.split(' ');
        if (v.size() == 3 && v[1] == "KEY")
            edges.push_back({v[0].toLongLong(), v[2] == "1"});
    }
    EXPECT_EQ(decodeMorse(edges, 20).text, "W1AW 5NN");
    EXPECT_EQ(f.call->text(), "W1AW"); // F2 typed nothing into the field
    // Keying ends key up.
    ASSERT_FALSE(edges.empty());
    EXPECT_FALSE(edges.back().down);
    // Ctrl+C opens the CW setup and types nothing.
    QTest::keyClick(f.call, Qt::Key_C, Qt::ControlModifier);
    auto *setup = f.window.findChild<QWidget *>("CWFrm");
    ASSERT_TRUE(setup);
    EXPECT_TRUE(setup->isVisible());
    // Ctrl+R and Ctrl+N open the rig and network windows.
    for (const auto &[key, name] : {std::pair(Qt::Key_R, "RigControlfrm"), std::pair(Qt::Key_N, "frmNetwork")}) {
        QTest::keyClick(f.call, key, Qt::ControlModifier);
        auto *w = f.window.findChild<QWidget *>(name);
        ASSERT_TRUE(w) << name;
        EXPECT_TRUE(w->isVisible()) << name;
    }
    EXPECT_EQ(f.call->text(), "W1AW");
}
