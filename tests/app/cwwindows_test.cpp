// The CW keys and windows driven as the operator drives them: the logging
// window's keys on a stand-in window with a call field (what they send,
// stop, change and open, and what still reaches the field), F2 in the
// running program on the recording line, the CW setup and strings windows
// and code practice.
#include "app/CodePracticeWindow.h"
#include "app/ClickableLabel.h"
#include "app/CwSetupWindow.h"
#include "app/CwStringsWindow.h"
#include "keying/MainKeyFilter.h"
#include "support/AppFixture.h"
#include "support/KeyingRig.h"
#include "support/WindowInput.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QVBoxLayout>

namespace {
// A window with a call field standing in for the logging window.
struct Host : QWidget, RecordingEntry {
    QLineEdit *call = new QLineEdit(this);
    Host()
    {
        report = "599";
        call->setObjectName("txtCall");
        (new QVBoxLayout(this))->addWidget(call);
    }
    QString callText() const override { return call->text(); }
    void clearEntry() override
    {
        ++cleared;
        call->clear();
    }
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
        showActive(host);
        host.call->setFocus();
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

// Runs act once, when sending has handed `when` characters over.
void atPause(CwKeyer &keyer, std::function<bool()> when, std::function<void()> act)
{
    keyer.setEventPump([when, act, done = false]() mutable {
        if (!done && when()) {
            done = true;
            act();
        }
    });
}
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
    cw.wpm = "30"; // keyed on the real clock: elements long enough to survive a busy machine
    cw.messages[1] = "$ *";
    ASSERT_TRUE(cw.save(app.work.filePath("CW.txt")));
    ASSERT_TRUE(app.start());
    MainView f(*app.form);
    f.call->setFocus();
    typeKeys(f.call, "w1aw");
    QTest::keyClick(f.call, Qt::Key_F2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.contest.keyerBusy(); }, 20000));
    qunsetenv(RecordingKeyLine::EnvironmentVariable);
    const std::vector<KeyEdge> edges = recordedKeyEdges(record);
    EXPECT_EQ(decodeMorse(edges, 40).text, "W1AW 5NN");
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

TEST(CwSetupWindow, FieldsEditTheSettingsAndDoneKeepsThem)
{
    QTemporaryDir dir;
    KeyingRig rig;
    rig.keyer.settings.output = KeyingOutput::None;
    CwSetupWindow w(rig.keyer, dir.filePath("CW.txt"));
    showActive(w);
    EXPECT_EQ(control<QLineEdit>(w, "Text9")->text(), "VVV DE ");
    EXPECT_EQ(control<QLineEdit>(w, "Text14")->text(), "&H378");

    typeAndLeave(control<QLineEdit>(w, "Text2"), "tu $ \"k");
    typeAndLeave(control<QLineEdit>(w, "Text13"), "agn?");
    typeAndLeave(control<QLineEdit>(w, "Text11"), "2a5");
    typeAndLeave(control<QLineEdit>(w, "Text10"), "1:");  // no number: back to 0
    typeAndLeave(control<QLineEdit>(w, "txtSpace"), "-9"); // held at -8 as typed
    typeAndLeave(control<QLineEdit>(w, "txtCWLoop"), "75"); // 60 s or more: 0
    choose(control<QCheckBox>(w, "Check1"));
    QTest::mouseClick(control<QPushButton>(w, "cmdMore"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(w, "cmdFaster"), Qt::LeftButton);
    choose(control<QRadioButton>(w, "optDTR"));
    choose(control<QRadioButton>(w, "OptSleep"));
    EXPECT_FALSE(control<QLineEdit>(w, "txtLoop")->isEnabled());

    const CwSettings &s = rig.keyer.settings;
    EXPECT_EQ(s.messages[1], "TU $ K");
    EXPECT_EQ(s.messages[CwSettings::F11], "AGN?");
    EXPECT_EQ(control<QLineEdit>(w, "Text11")->text(), "26");
    EXPECT_EQ(s.wpm, "26");
    EXPECT_EQ(s.port, "0");
    EXPECT_EQ(s.wordSpace, "-7");
    EXPECT_EQ(s.loopDelay, "0");
    EXPECT_TRUE(s.displayText);
    EXPECT_EQ(s.output, KeyingOutput::Dtr);
    EXPECT_EQ(s.method, TimingMethod::Sleep);

    QSignalSpy strings(&w, &CwSetupWindow::stringsWindowWanted);
    QTest::mouseClick(control<QPushButton>(w, "cmdDone"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(strings.count(), 1);
    CwSettings back;
    EXPECT_TRUE(back.load(dir.filePath("CW.txt")));
    back.loadTiming();
    EXPECT_EQ(back.fileData(), s.fileData());
    EXPECT_EQ(back.method, TimingMethod::Sleep);
}

TEST(CwSetupWindow, TestKeysTheF9MessageAndAFailedPortBringsTheWindowUp)
{
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    KeyingRig rig;
    CwSetupWindow w(rig.keyer, dir.filePath("CW.txt"));
    showActive(w);
    QLabel *sending = control<QLabel>(w, "lblSending");
    bool shownWhileSending = false;
    atPause(rig.keyer, [] { return true; }, [&] { shownWhileSending = sending->isVisible(); });
    QTest::mouseClick(control<QPushButton>(w, "cmdTest"), Qt::LeftButton);
    EXPECT_EQ(rig.decoded().text, "VVV DE");
    EXPECT_TRUE(shownWhileSending);
    EXPECT_FALSE(sending->isVisible());

    // Loop timing: calibrated when first chosen, then adjusted by hand.
    choose(control<QRadioButton>(w, "optLoop"));
    QLineEdit *loops = control<QLineEdit>(w, "txtLoop");
    EXPECT_TRUE(loops->isEnabled());
    EXPECT_GT(rig.keyer.settings.loopOffset, 0);
    loops->setText("1000");
    QTest::mouseClick(control<QPushButton>(w, "cmdLoopFaster"), Qt::LeftButton);
    EXPECT_EQ(loops->text(), "900");
    QTest::mouseClick(control<QPushButton>(w, "cmdLoopSlower"), Qt::LeftButton);
    EXPECT_EQ(rig.keyer.settings.loopOffset, 1000);

    w.hide();
    rig.ports.setFactory([](PortRole, const KeyLineRequest &, QString *) { return nullptr; });
    rig.keyer.settings.port = "4";
    rig.keyer.sendMessage(CwKeyer::F9);
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowModality(), Qt::ApplicationModal);
    w.hide();
    EXPECT_EQ(w.windowModality(), Qt::NonModal);

    // Code practice opens modally and leaves nothing to send behind.
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget *m = QApplication::activeModalWidget()) {
            opened = m->objectName();
            rig.keyer.append("LEFT");
            m->close();
        }
    });
    QTest::mouseClick(control<QPushButton>(w, "cmdCodePractice"), Qt::LeftButton);
    EXPECT_EQ(opened, "frmCodePractice");
    EXPECT_TRUE(rig.keyer.buffer().isEmpty());
}

TEST(CwStringsWindow, ClickingAKeyOrItsMessageSendsIt)
{
    KeyingRig rig;
    rig.keyer.settings.messages[0] = "E";
    CwStringsWindow w(rig.keyer);
    rig.keyer.settings.messages[CwSettings::F10] = "T";
    showActive(w); // shows the messages as they are now
    const QList<ClickableLabel *> messages = w.findChildren<ClickableLabel *>("lblCWString");
    const QList<ClickableLabel *> keys = w.findChildren<ClickableLabel *>("lblKey");
    ASSERT_EQ(messages.size(), 12);
    ASSERT_EQ(keys.size(), 12);
    EXPECT_EQ(messages[9]->text(), "T");
    EXPECT_EQ(messages[11]->text(), "Keyboard");

    for (ClickableLabel *l : {messages[9], keys[0], keys[11], messages[11]})
        QTest::mouseClick(l, Qt::LeftButton);
    EXPECT_EQ(rig.decoded().text, "TE"); // F12 is no message
    rig.edges.clear();
    rig.keyer.settings.output = KeyingOutput::None;
    QTest::mouseClick(keys[0], Qt::LeftButton);
    EXPECT_TRUE(rig.edges.empty());
    QTest::mouseClick(control<QPushButton>(w, "cmdDone"), Qt::LeftButton);
    EXPECT_TRUE(w.isMinimized());
}

TEST(CodePractice, GroupsAreBoundedAndLettersOnlyMeansLetters)
{
    KeyingRig rig;
    CodePracticeWindow w(rig.keyer);
    w.show();
    QLineEdit *count = control<QLineEdit>(w, "Text3"), *size = control<QLineEdit>(w, "Text4");
    QPlainTextEdit *text = control<QPlainTextEdit>(w, "Text1");
    struct Case {
        const char *count, *size;
        bool lettersOnly;
        const char *countAfter, *sizeAfter;
    } cases[] = {{"10", "5", false, "10", "5"}, {"x", "", true, "10", "5"},
                 {"5000", "0", true, "1000", "1"}, {"2", "99", false, "2", "50"}};
    for (const Case &c : cases) {
        count->setText(c.count);
        size->setText(c.size);
        choose(control<QRadioButton>(w, c.lettersOnly ? "Option1" : "Option2"));
        QTest::mouseClick(control<QPushButton>(w, "cmdGenerate"), Qt::LeftButton);
        EXPECT_EQ(count->text(), c.countAfter);
        EXPECT_EQ(size->text(), c.sizeAfter);
        const QStringList groups = text->toPlainText().split(' ');
        ASSERT_EQ(groups.size(), count->text().toInt() + 1); // each group ends with a space
        EXPECT_TRUE(groups.last().isEmpty());
        for (const QString &g : groups.mid(0, groups.size() - 1)) {
            EXPECT_EQ(g.size(), size->text().toInt());
            for (QChar ch : g)
                EXPECT_TRUE(c.lettersOnly ? (ch >= 'A' && ch <= 'Z') : QString("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,?/-").contains(ch)) << g.toStdString();
        }
    }
}

TEST(CodePractice, SendStopAndTyping)
{
    KeyingRig rig;
    CodePracticeWindow w(rig.keyer);
    w.show();
    QPlainTextEdit *text = control<QPlainTextEdit>(w, "Text1"), *sent = control<QPlainTextEdit>(w, "Text2");

    // Stop during sending: "Text Sent" shows exactly what was keyed.
    text->setFocus();
    QTest::keyClicks(text, "ab-de");
    EXPECT_EQ(text->toPlainText(), "AB-DE");
    atPause(rig.keyer, [&] { return sent->toPlainText().size() == 3; },
            [&] { QTest::mouseClick(control<QPushButton>(w, "cmdStop"), Qt::LeftButton); });
    QTest::mouseClick(control<QPushButton>(w, "cmdSend"), Qt::LeftButton);
    EXPECT_EQ(sent->toPlainText(), "AB-");
    EXPECT_EQ(rig.decoded().text, "AB="); // "-" goes out as BT

    // The typing box sends at once, keeps nothing, and Backspace takes back
    // the last character not yet sent.
    QTest::mouseClick(control<QPushButton>(w, "cmdClearSent"), Qt::LeftButton);
    rig.edges.clear();
    QLineEdit *typing = control<QLineEdit>(w, "Text5");
    typing->setFocus();
    atPause(rig.keyer, [] { return true; }, [&] {
        QTest::keyClicks(typing, "qx");
        QTest::keyClick(typing, Qt::Key_Backspace);
    });
    QTest::keyClicks(typing, "c");
    EXPECT_EQ(rig.decoded().text, "CQ");
    EXPECT_EQ(sent->toPlainText(), "CQ");
    EXPECT_EQ(typing->text(), "");

    QTest::mouseClick(control<QPushButton>(w, "cmdFaster"), Qt::LeftButton);
    EXPECT_EQ(control<QLabel>(w, "Label8")->text(), "21");
}
