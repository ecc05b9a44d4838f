// The WinKey keyer: its protocol bytes, status levels and what reaches it as
// text, and WK.txt; then against a simulated keyer on a pseudo-terminal, its
// setup window, and the logging window's messages, Esc and speed keys
// through it.
#include "app/WinKeyWindow.h"
#include "keying/CwKeyer.h"
#include "keying/WinKeyProtocol.h"
#include "keying/WinKeySettings.h"
#include "keying/WinKeyer.h"
#include "platform/KeyLineSafety.h"
#include "platform/PortArbiter.h"
#include "platform/SerialPorts.h"
#include "support/AppFixture.h"
#include "support/WinKeySimulator.h"
#include "support/WindowInput.h"

#include <QElapsedTimer>
#include <QRadioButton>

namespace {
constexpr int KeyerPort = 7;

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

QList<QByteArray> hexList(std::initializer_list<const char *> items)
{
    QList<QByteArray> out;
    for (const char *h : items)
        out << hex(h);
    return out;
}

// The setup window on its own, with the simulated keyer on port 7.
struct Bench {
    WinKeySimulator sim;
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    PortArbiter ports;
    CwKeyer cw{ports};
    WinKeyer keyer{ports};
    WinKeyWindow window{keyer, cw, [] { return QStringLiteral("K1ABC"); }, dir.filePath("WK.txt")};

    Bench()
    {
        SerialPorts::mapPort(KeyerPort, sim.device());
        showActive(window);
    }
    QLineEdit *field(const char *name) { return fieldOf(window, name); }
    QLabel *label(const char *name) { return control<QLabel>(window, name); }
    void click(const char *name) { QTest::mouseClick(buttonOf(window, name), Qt::LeftButton); }
    bool open()
    {
        typeAndLeave(field("txtWKComPort"), QString::number(KeyerPort));
        click("cmdOpenWinkey");
        return keyer.isOpen();
    }
    // Stop sends the clear command: once the keyer has it, everything sent
    // before has arrived too.
    QList<QByteArray> commandsUpToStop()
    {
        click("cmdStop");
        if (!QTest::qWaitFor([&] { return !sim.commands.isEmpty() && sim.commands.last() == hex("0a"); }, 5000))
            ADD_FAILURE() << "the keyer never got the clear command";
        QList<QByteArray> c = sim.commands;
        sim.commands.clear();
        if (!c.isEmpty())
            c.removeLast();
        return c;
    }
};
} // namespace

TEST(WinKeyProtocol, CommandBytesStatusLevelsAndText)
{
    // The other commands are checked on the wire by the keyer window's tests.
    EXPECT_EQ(WinKey::backspace(), hex("08"));
    EXPECT_EQ(WinKey::requestStatus(), hex("15"));

    // XOFF holds the feed whatever else is set; a speed-pot byte is no status.
    const std::pair<int, int> levels[] = {{0xC0, 0}, {0xC4, 4}, {0xC5, 8}, {0xC1, 8}, {0xC2, 2},
                                          {0xC6, 4}, {0x85, 0}, {0xBF, 0}, {0x1F, 0}};
    for (const auto &[byte, level] : levels)
        EXPECT_EQ(WinKey::statusLevel(quint8(byte)), level) << byte;
    EXPECT_FALSE(WinKey::isStatus(0x85));
    EXPECT_TRUE(WinKey::isStatus(0xC0));

    const std::pair<QChar, QByteArray> characters[] = {
        {u'A', "A"}, {u' ', " "}, {u'/', "/"}, {u'~', "~"}, {u'!', ""}, {u'\r', ""}, {QChar(0x0A), ""},
        {QChar(0x7F), ""}, {QChar(0xE9), ""}};
    for (const auto &[ch, bytes] : characters)
        EXPECT_EQ(WinKey::character(ch), bytes) << int(ch.unicode());

    EXPECT_EQ(WinKey::resultText(0), "WK Success!");
    EXPECT_EQ(WinKey::resultText(-3), "No Open Response");
    EXPECT_EQ(WinKey::resultText(-8), "WK Already Open");
    EXPECT_EQ(WinKey::resultText(-9), "WK Not Open");
    EXPECT_EQ(WinKey::resultText(-7), "");
}

TEST(WinKeySettings, FileRoundTripAndDamagedFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("WK.txt");
    WinKeySettings s;
    s.port = 3;
    s.wpm = "28";
    s.ratio = "45";
    s.pinConfig = WinKeySettings::Ptt;
    s.keyerMode = WinKeySettings::Bug;
    ASSERT_TRUE(s.save(path));
    const QByteArray written = "3\r\n\"28\"\r\n\"50\"\r\n\"0\"\r\n\"0\"\r\n\"45\"\r\n5\r\n48\r\n";
    EXPECT_EQ(readAll(path), written);
    WinKeySettings back;
    EXPECT_TRUE(back.load(path));
    EXPECT_EQ(back.fileData(), written);

    const QByteArray sixLines = "4\r\n\"20\"\r\n\"60\"\r\n\"1\"\r\n\"2\"\r\n\"40\"\r\n";
    struct Case {
        QByteArray data;
        int port;
        const char *wpm;
        int pins, mode;
    };
    const Case cases[] = {
        {sixLines, 4, "20", 6, 0},                                // an older file keeps pins and mode
        {sixLines + "7\r\n0\r\n", 4, "20", 6, 0},                 // no such pin configuration
        {sixLines + "8\r\n64\r\n", 4, "20", 8, 0},                // no such keyer mode
        {"x\r\n\"20\"\r\n", 0, "18", 6, 0},                       // a port that is no number
        {"300\r\n\"20\"\r\n", 0, "18", 6, 0},                     // a port beyond a byte
        {"", 0, "18", 6, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.data.constData());
        ASSERT_TRUE(writeBytes(path, c.data));
        WinKeySettings r;
        EXPECT_FALSE(r.load(path));
        EXPECT_EQ(r.port, c.port);
        EXPECT_EQ(r.wpm, QLatin1String(c.wpm));
        EXPECT_EQ(r.pinConfig, c.pins);
        EXPECT_EQ(r.keyerMode, c.mode);
    }
    WinKeySettings missing;
    EXPECT_FALSE(missing.load(dir.filePath("none.txt")));
    EXPECT_EQ(missing.fileData(), WinKeySettings().fileData());
}

TEST(WinKeyWindow, OpenSendsEverySettingAndEachFieldIsCheckedWhenLeft)
{
    Bench b;
    ASSERT_TRUE(b.sim.ready());
    const std::pair<const char *, const char *> typed[] = {
        {"txtWKWPM", "25"}, {"txtWeight", "55"}, {"txtLeadIn", "3"}, {"txtTail", "250"}, {"txtRatio", "60"}};
    for (const auto &[name, text] : typed)
        typeAndLeave(b.field(name), text);
    choose(control<QRadioButton>(b.window, "optPTT"));
    choose(control<QRadioButton>(b.window, "optIambicA"));
    ASSERT_TRUE(b.open());
    EXPECT_EQ(b.label("lblOpenStatus")->text(), "WK Success!");
    EXPECT_EQ(b.label("lblVersion")->text(), "Version # 31");
    EXPECT_EQ(b.commandsUpToStop(),
              hexList({"000455", "0002", "0219", "0337", "0403fa", "173c", "0905", "0e10"}));
    EXPECT_TRUE(b.dialogs.shown.isEmpty());

    struct Case {
        const char *field, *text;
        QList<QByteArray> sent;
        const char *after;
    };
    const Case cases[] = {
        {"txtWKWPM", "30", hexList({"021e"}), "30"},  {"txtWKWPM", "100", {}, "18"},
        {"txtWeight", "99", hexList({"0363"}), "99"}, {"txtRatio", "31", {}, "50"},
        {"txtRatio", "32", hexList({"1720"}), "32"},  {"txtRatio", "67", hexList({"1743"}), "67"},
        {"txtRatio", "68", {}, "50"},                 {"txtLeadIn", "251", {}, "0"},
        {"txtTail", "7", hexList({"040007"}), "7"},
    };
    for (const Case &c : cases) {
        typeAndLeave(b.field(c.field), c.text);
        EXPECT_EQ(b.commandsUpToStop(), c.sent) << c.field << " " << c.text;
        EXPECT_EQ(b.field(c.field)->text(), c.after) << c.field << " " << c.text;
    }
    // A keyer mode chosen while open sends the settings again.
    choose(control<QRadioButton>(b.window, "optBug"));
    EXPECT_EQ(b.commandsUpToStop(), hexList({"0212", "0363", "040007", "1732", "0905", "0e30"}));

    b.click("cmdCloseWinkey");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !b.sim.hostOpen; }, 5000));
    EXPECT_EQ(b.sim.commands, hexList({"0a", "0003"}));
    EXPECT_EQ(b.label("lblOpenStatus")->text(), "Closed");
    EXPECT_EQ(b.label("lblVersion")->text(), "Version #");

    b.click("cmdDone");
    EXPECT_FALSE(b.window.isVisible());
    WinKeySettings kept;
    EXPECT_TRUE(kept.load(b.dir.filePath("WK.txt")));
    EXPECT_EQ(kept.port, KeyerPort);
    EXPECT_EQ(kept.tail, "7");
    EXPECT_EQ(kept.keyerMode, WinKeySettings::Bug);
    EXPECT_EQ(kept.pinConfig, WinKeySettings::Ptt);
}

TEST(WinKeyWindow, BufferTestUnderXoffArrivesWholeAndInOrderAndTypingIsSent)
{
    Bench b;
    ASSERT_TRUE(b.sim.ready());
    b.sim.capacity = 14;
    b.sim.xoffAt = 10;
    b.sim.xonAt = 3;
    b.sim.timeScale = 0.02;
    ASSERT_TRUE(b.open());
    b.click("cmdBufferTest");
    const QByteArray alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ ";
    const QByteArray expected = alphabet + alphabet + alphabet;
    ASSERT_EQ(expected.size(), 81);
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.sim.sent.size() >= 81; }, 20000)) << b.sim.sent.constData();
    EXPECT_EQ(b.sim.text, expected);
    EXPECT_EQ(b.sim.sent, expected);
    EXPECT_EQ(b.sim.lost, 0);
    EXPECT_GT(b.sim.xoffReports, 0);

    b.sim.text.clear();
    QLineEdit *typing = b.field("Text1");
    typing->setFocus();
    QTest::keyClicks(typing, "cq de");
    EXPECT_EQ(typing->text(), "CQ DE");
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.sim.text == "CQ DE"; }, 5000)) << b.sim.text.constData();

    // A program dying of a signal stops the keyer and hands it back.
    KeyLineSafety::releaseAll();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !b.sim.hostOpen; }, 5000));
    EXPECT_EQ(b.sim.commands.mid(b.sim.commands.size() - 2), hexList({"0a", "0003"}));
}

TEST(WinKeyWindow, FailedOpensAreReported)
{
    Bench b;
    ASSERT_TRUE(b.sim.ready());
    struct Case {
        int port;
        bool silent;
        const char *state;
    };
    const Case cases[] = {{0, false, "Com Open Failed"}, {KeyerPort, true, "No Echo Response"}};
    for (const Case &c : cases) {
        b.dialogs.clear();
        b.sim.silent = c.silent;
        typeAndLeave(b.field("txtWKComPort"), QString::number(c.port));
        b.click("cmdOpenWinkey");
        EXPECT_FALSE(b.keyer.isOpen());
        EXPECT_EQ(b.label("lblOpenStatus")->text(), c.state);
        EXPECT_EQ(b.dialogs.last("message").title, "Unable to establish connection with Winkey.");
        EXPECT_EQ(b.dialogs.last("message").text,
                  QStringLiteral("Unable to establish connection with WinKey on com port %1.  Please check to make "
                                 "sure that you have specified the correct port and that the Winkey device is "
                                 "properly connected.")
                      .arg(c.port));
    }
    // Opening an open keyer changes nothing and asks nothing.
    b.sim.silent = false;
    ASSERT_TRUE(b.open());
    b.commandsUpToStop();
    b.dialogs.clear();
    b.click("cmdOpenWinkey");
    EXPECT_TRUE(b.keyer.isOpen());
    EXPECT_EQ(b.label("lblOpenStatus")->text(), "WK Already Open");
    EXPECT_TRUE(b.dialogs.shown.isEmpty());
    EXPECT_EQ(b.commandsUpToStop(), QList<QByteArray>());
    // Closing the window closes the keyer.
    b.window.close();
    EXPECT_FALSE(b.keyer.isOpen());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !b.sim.hostOpen; }, 5000));
}

TEST(WinKeyInMainWindow, MessagesEscAndSpeedGoThroughTheKeyerAndASilentKeyerEndsTheSend)
{
    WinKeySimulator sim;
    ASSERT_TRUE(sim.ready());
    AppFixture app;
    SerialPorts::mapPort(KeyerPort, sim.device());
    CwSettings cw;
    cw.output = KeyingOutput::WinKey;
    cw.wpm = "25";
    cw.messages[0] = "CQ $";
    cw.messages[1] = "TEST DE K1ABC K1ABC K1ABC";
    ASSERT_TRUE(cw.save(app.work.filePath("CW.txt")));
    WinKeySettings wk;
    wk.port = KeyerPort;
    ASSERT_TRUE(wk.save(QDir(Folders::dataFolders().product).filePath("WK.txt")));
    ASSERT_TRUE(app.start());
    MainView f(*app.form);
    auto *keyer = control<WinKeyer>(*app.form, "winKeyer");
    ASSERT_TRUE(keyer);

    // The first message opens the keyer with the CW speed and sends the
    // message with the call in place.
    f.call->setFocus();
    typeKeys(f.call, "w1aw");
    QTest::keyClick(f.call, Qt::Key_F1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.text.size() >= 7; }, 5000));
    EXPECT_EQ(sim.text, "CQ W1AW");
    EXPECT_EQ(sim.commands.mid(0, 3), hexList({"000455", "0002", "0219"}));

    // Esc while the keyer sends clears its buffer and keeps the entry.
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyer->status() > 0; }, 5000));
    QTest::keyClick(f.call, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.sawCommand(hex("0a")); }, 5000));
    EXPECT_EQ(f.call->text(), "W1AW");

    QTest::keyClick(f.call, Qt::Key_Up);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.sawCommand(hex("021a")); }, 5000));
    EXPECT_EQ(f.message->text(), "26 WPM");

    // Keyboard CW goes to the keyer and leaves the call alone.
    QTest::keyClick(f.call, Qt::Key_F12);
    sim.text.clear();
    typeKeys(f.call, "cq");
    QTest::keyClick(f.call, Qt::Key_F12);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.text == "CQ"; }, 5000)) << sim.text.constData();
    EXPECT_EQ(f.call->text(), "W1AW");

    // The keyer stops answering with its buffer nearly full.
    sim.xoffAt = 4;
    sim.xonAt = 1;
    sim.silentAfterXoff = sim.xoffReports + 1;
    QElapsedTimer took;
    took.start();
    QTest::keyClick(f.call, Qt::Key_F2);
    EXPECT_LT(took.elapsed(), 6000);
    EXPECT_TRUE(sim.silent);
    EXPECT_FALSE(keyer->isOpen());
    EXPECT_EQ(f.message->text(), "WK Not Open");
    // The logging window goes on as before.
    QTest::mouseClick(f.clear, Qt::LeftButton);
    f.call->setFocus();
    typeKeys(f.call, "k2xyz");
    EXPECT_EQ(f.call->text(), "K2XYZ");

    // The keyer answers again: the CW window's "Configure Winkey" opens it
    // anew, at the CW speed.
    sim.silent = false;
    QTest::keyClick(f.call, Qt::Key_C, Qt::ControlModifier);
    auto *cwWindow = control<QWidget>(*app.form, "CWFrm");
    ASSERT_TRUE(cwWindow);
    QTest::mouseClick(buttonOf(*cwWindow, "cmdWinkey"), Qt::LeftButton);
    auto *keyerWindow = control<QWidget>(*app.form, "frmWinKey");
    ASSERT_TRUE(keyerWindow);
    EXPECT_TRUE(keyerWindow->isVisible());
    EXPECT_EQ(control<QLabel>(*keyerWindow, "lblOpenStatus")->text(), "Closed");
    EXPECT_EQ(fieldOf(*keyerWindow, "txtWKWPM")->text(), "26");
    QTest::mouseClick(buttonOf(*keyerWindow, "cmdOpenWinkey"), Qt::LeftButton);
    EXPECT_EQ(control<QLabel>(*keyerWindow, "lblOpenStatus")->text(), "WK Success!");
    EXPECT_EQ(control<QLabel>(*keyerWindow, "lblVersion")->text(), "Version # 31");
}
