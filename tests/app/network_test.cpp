// The network window of a running main window, with other PCs of the station
// played on the loopback interface: the grid, the also-operating warning on
// the main window, the station name, messages with the broadcast question and
// the pop-up, and switching the functions off.
#include "app/NetworkStatusWindow.h"
#include "app/StationNetworking.h"
#include "support/AppFixture.h"
#include "support/NetPeer.h"

#include <QCheckBox>
#include <QPlainTextEdit>

namespace {

struct NetworkApp {
    NetworkApp() : host(QStringLiteral("ham1")) { StationNetworking::usePlatform(&host, &clock, &noBus()); }
    // Back to what every other window of the tests gets.
    ~NetworkApp()
    {
        static FakeClock refusing;
        refusing.refusal = QStringLiteral("not in tests");
        StationNetworking::usePlatform(nullptr, &refusing, &noBus());
    }
    static const QDBusConnection &noBus()
    {
        static const QDBusConnection none(QStringLiteral("no bus"));
        return none;
    }
    LoopbackNetHost host;
    FakeClock clock;
    AppFixture app;
};

QLabel *cellOf(QWidget &w, const char *row, int column)
{
    return control<QLabel>(w, QStringLiteral("%1_%2").arg(QLatin1String(row)).arg(column));
}

} // namespace

TEST(NetworkWindow, StationsMessagesAndTheSwitch)
{
    NetworkApp n;
    ASSERT_TRUE(n.app.start());
    MainView f(*n.app.form);
    QAction *menu = f.menu("mnuNetwork");
    ASSERT_TRUE(menu->isEnabled());
    f.chooseBand("50 M");
    f.chooseCw();
    emit f.window.networkStart();
    auto *window = f.window.findChild<NetworkStatusWindow *>("frmNetwork");
    ASSERT_TRUE(window);
    EXPECT_FALSE(window->isVisible());
    menu->trigger();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Network Status Display");
    EXPECT_TRUE(control<QCheckBox>(*window, "Check1")->isChecked());
    EXPECT_EQ(control<QLabel>(*window, "lblServer")->text(), "ham1");
    EXPECT_EQ(control<QLabel>(*window, "lblStatus")->text(), "Listening");
    auto *log = control<QPlainTextEdit>(*window, "txtOutput");
    EXPECT_TRUE(log->toPlainText().contains("the PC server name is ham1.  It is not necessary"));
    EXPECT_TRUE(log->toPlainText().contains("begin their log file path with \\\\ham1.  The server path"));
    EXPECT_EQ(control<QLabel>(*window, "lblBndHdr_13")->text(), "120 G");
    EXPECT_EQ(cellOf(*window, "lblBandCW", 0)->text(), "ham1");

    const quint16 port = f.window.findChild<StationNetworking *>("stationNetworking")->network().listeningPort();
    NetPeer ham2("ham2", port, "144 M", "PH");
    QLabel *cell144Phone = cellOf(*window, "lblBandSSB", 1);
    ASSERT_TRUE(eventually([&] { return cell144Phone->text() == "ham2"; }));
    EXPECT_EQ(backgroundOf(cell144Phone), bgrColor(NetworkStatusWindow::OccupiedCell));
    EXPECT_EQ(backgroundOf(cellOf(*window, "lblBandCW", 1)), bgrColor(NetworkStatusWindow::FreeCell));
    EXPECT_TRUE(eventually([&] { return ham2.cell("50 M", StatusGrid::Cw) == "ham1"; }));

    // The operator picks the band and mode ham2 is on.
    f.chooseBand("144 M");
    EXPECT_EQ(f.message->text(), "Be careful, ham2 is also operating on 144 M SSB!");
    f.choosePhone();
    // The server's entry comes first, ham2's own after it: the cell shows
    // the station placed last.
    EXPECT_TRUE(eventually([&] { return ham2.net.entry(0) == NetRecords::StationEntry{"ham1", "144 M", "PH", ""}; }));
    EXPECT_EQ(cell144Phone->text(), "ham1");
    EXPECT_EQ(ham2.cell("144 M", StatusGrid::Phone), "ham2");

    // The station's name, as typed.
    QLineEdit *name = fieldOf(*window, "Text1");
    name->selectAll();
    QTest::keyClicks(name, "Tent's PC 42");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(name->text(), "Tent");
    EXPECT_TRUE(eventually([&] { return ham2.net.entry(0).name == "Tent"; }));

    // A broadcast asks first: No sends nothing, Yes sends.
    QLineEdit *text = fieldOf(*window, "txtSendData");
    n.app.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
    QTest::keyClicks(text, "not this");
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(text->text(), "Not this");
    text->clear();
    QTest::keyClicks(text, "second");
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(text->text(), "");
    ASSERT_TRUE(eventually([&] { return !ham2.messages.empty(); }));
    ASSERT_EQ(ham2.messages.size(), 1u);
    EXPECT_EQ(ham2.messages.front(), std::make_pair(QStringLiteral("Second"), true));
    EXPECT_EQ(n.app.dialogs.last("message").title, "Are you sure that you want to send a broadcast message?");
    EXPECT_TRUE(n.app.dialogs.last("message").text.endsWith(
        "\n\nIf you only want to send a message to one other station, please select that station's name from the list."));
    EXPECT_TRUE(log->toPlainText().endsWith("To: \nFrom: Tent\n18:30:00\nSecond\n\n"));

    // Hidden: a message for someone else does not bring it up, one for this
    // station does, with a beep; both show on the main window.
    buttonOf(*window, "Command2")->click();
    EXPECT_FALSE(window->isVisible());
    const int beeps = n.app.dialogs.beeps;
    ham2.net.sendMessage("ham3", "for ham3");
    ASSERT_TRUE(eventually([&] { return f.hint->text() == "To: ham3 From: ham2\nfor ham3"; }));
    EXPECT_FALSE(window->isVisible());
    ham2.net.sendMessage("tent", "for us");
    ASSERT_TRUE(eventually([&] { return window->isVisible(); }));
    EXPECT_EQ(f.hint->text(), "To: tent From: ham2\nfor us");
    EXPECT_EQ(n.app.dialogs.beeps, beeps + 1);
    EXPECT_TRUE(log->toPlainText().endsWith("for us\n\n"));

    // Without Avahi the list of PCs stays empty.
    QTest::mouseClick(buttonOf(*window, "Command4"), Qt::LeftButton);
    EXPECT_EQ(control<QListWidget>(*window, "List2")->count(), 0);

    // Switched off: closed, the grid free, the client loses the server.
    QTest::mouseClick(control<QCheckBox>(*window, "Check1"), Qt::LeftButton);
    EXPECT_EQ(control<QLabel>(*window, "lblStatus")->text(), "Closed");
    EXPECT_EQ(cell144Phone->text(), "");
    EXPECT_TRUE(eventually([&] { return !ham2.net.isConnectedToServer() && !ham2.shows("Tent"); }));
    EXPECT_TRUE(ham2.net.reconnectTimer()->isActive());
}
