// The windows that talk to other machines, with the peers played on the
// loopback interface. The network window of a running main window with
// other PCs of the station: the grid, the also-operating warning on the main
// window, the station name, messages with the broadcast question and the
// pop-up, and switching the functions off. DX spotting from a Telnet
// cluster played by a server in the test, logged into from the spotting
// window: spots in the list and on the band map of the current band, clicks
// on both, the own-call warning, and the socket errors as the operator reads
// them.
#include "app/NetworkStatusWindow.h"
#include "app/SpotAreaPanel.h"
#include "app/SpottingWindow.h"
#include "app/StationNetworking.h"
#include "app/StationSpots.h"
#include "spots/SpotStore.h"
#include "support/AppFixture.h"
#include "support/NetPeer.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTreeWidget>

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

QByteArray spot(const char *spotter, const char *khz, const char *call)
{
    return QStringLiteral("DX de %1:").arg(QLatin1String(spotter)).leftJustified(15).toLatin1() +
           QByteArray(khz).rightJustified(9) + "  " + QByteArray(call).leftJustified(13) +
           QByteArray("CW 599").leftJustified(31) + "1801Z FN20\r\n";
}

struct SpottingView {
    explicit SpottingView(AppFixture &app) : view(*app.form) {}
    SpottingWindow *window() const { return view.window.findChild<SpottingWindow *>("PacketSpotfrm"); }
    QPlainTextEdit *received() const { return control<QPlainTextEdit>(*window(), "txtUnProcessed"); }
    bool shows(const QString &text) const { return received()->toPlainText().contains(text); }
    void chooseSource(const QString &name) const
    {
        auto *list = control<QListWidget>(*window(), "List1");
        QListWidgetItem *item = list->findItems(name, Qt::MatchExactly).value(0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }
    void type(const char *field, const QString &text) const
    {
        QLineEdit *f = fieldOf(*window(), field);
        f->selectAll();
        QTest::keyClicks(f, text);
    }
    void click(const char *button) const { QTest::mouseClick(buttonOf(*window(), button), Qt::LeftButton); }
    MainView view;
};
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

TEST(Spotting, TelnetClusterToListAndBandMap)
{
    QTcpServer cluster;
    ASSERT_TRUE(cluster.listen(QHostAddress::LocalHost, 0));
    QTcpSocket *node = nullptr;
    QByteArray heard;
    QObject::connect(&cluster, &QTcpServer::newConnection, [&] {
        node = cluster.nextPendingConnection();
        QObject::connect(node, &QTcpSocket::readyRead, [&] { heard += node->readAll(); });
        node->write("\xff\xfb\x01Welcome\r\nlogin: ");
    });
    AppFixture app;
    ASSERT_TRUE(app.start());
    SpottingView s(app);
    auto *area = control<SpotAreaPanel>(s.view.window, "spotArea");
    auto *rows = control<QTreeWidget>(s.view.window, "txtDX");
    EXPECT_FALSE(s.window());
    s.view.menu("mnuDXConfigure")->trigger();
    ASSERT_TRUE(s.window() && s.window()->isVisible());
    EXPECT_EQ(s.window()->windowTitle(), " DX Spotting Setup");
    s.chooseSource("Telnet");
    EXPECT_EQ(control<QLabel>(*s.window(), "Label6")->text(), "Type text to send and press enter:");
    s.type("txtTelnetHost", "127.0.0.1");
    s.type("txtTelnetPort", QString::number(cluster.serverPort()));
    s.click("Command1");
    EXPECT_TRUE(control<QLabel>(*s.window(), "Label4")->isVisible());
    // The prompt shows before its line ends.
    ASSERT_TRUE(eventually([&] { return s.shows("login: "); })) << s.received()->toPlainText().toStdString();
    EXPECT_TRUE(s.shows(QStringLiteral("Attempting connection to: 127.0.0.1:%1").arg(cluster.serverPort())));
    auto *send = fieldOf(*s.window(), "txtSent");
    QTest::keyClicks(send, "K1ABC");
    QTest::keyClick(send, Qt::Key_Return);
    EXPECT_TRUE(send->text().isEmpty());
    ASSERT_TRUE(eventually([&] { return heard == "K1ABC\r\n"; }));

    // Three spots in one chunk, one split in two, one right after a prompt.
    node->write(spot("W1AW", "144200.0", "K2XYZ") + spot("N2ABC", "50125.0", "CT1XYZ") +
                spot("VE3XX", "144300.0", "VE3/W9ABC"));
    ASSERT_TRUE(eventually([&] { return rows->topLevelItemCount() == 3; }));
    const QByteArray split = spot("K1TTT", "144250.0", "JA1XYZ");
    node->write("Hello K1ABC\r\n" + split.left(20));
    ASSERT_TRUE(eventually([&] { return s.shows("Hello K1ABC"); }));
    node->write(split.mid(20));
    ASSERT_TRUE(eventually([&] { return rows->topLevelItemCount() == 4; }));
    node->write("K1ABC de W3LPL-2 >");
    ASSERT_TRUE(eventually([&] { return s.shows("K1ABC de W3LPL-2 >"); }));
    node->write(spot("W3LPL", "144150.0", "W4ABC"));
    ASSERT_TRUE(eventually([&] { return rows->topLevelItemCount() == 5; }));
    const QStringList firstRow{rows->topLevelItem(0)->text(0), rows->topLevelItem(0)->text(1),
                               rows->topLevelItem(0)->text(6), rows->topLevelItem(0)->text(7)};
    EXPECT_EQ(firstRow, (QStringList{"W4ABC", "144.15", "1801", "FN20"}));
    EXPECT_EQ(rows->topLevelItem(4)->text(0), "K2XYZ");

    // Choosing a row of the list.
    QSignalSpy chosen(&s.view.window.spots(), &StationSpots::spotChosen);
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, rows->visualItemRect(rows->topLevelItem(4)).center());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), "K2XYZ");
    EXPECT_NEAR(chosen.at(0).at(1).toDouble(), 144200.0, 0.01);

    // Done with the band map: the spots of the current band, newest first.
    auto *bandMap = control<QRadioButton>(*s.window(), "OptBand");
    QTest::mouseClick(bandMap, Qt::LeftButton, {}, QPoint(8, bandMap->height() / 2));
    s.click("cmdDone");
    EXPECT_FALSE(s.window()->isVisible());
    EXPECT_FALSE(rows->isVisible());
    SpotSettings kept;
    ASSERT_TRUE(kept.load(QDir(Folders::workDir()).filePath("PackSpot.txt")));
    EXPECT_EQ(kept.source, SpotSettings::Source::Telnet);
    EXPECT_EQ(kept.telnetHost, "127.0.0.1");
    EXPECT_EQ(kept.telnetPort, cluster.serverPort());
    EXPECT_FALSE(kept.listDisplay);
    s.view.chooseBand("144 M");
    auto shownLabels = [&] {
        QStringList out;
        for (int i = SpotStore::Size - 1; i >= 0; --i) {
            auto *l = control<QLabel>(*area, QStringLiteral("lblDXSpot_%1").arg(i));
            if (l->isVisible())
                out << l->text();
        }
        return out;
    };
    EXPECT_EQ(shownLabels(), (QStringList{"W4", "JA1", "VE3", "K2"}));
    EXPECT_EQ(control<QLabel>(*area, "lblFreqSpot_0")->text(), "144.149");
    EXPECT_EQ(control<QLabel>(*area, "lblFreqSpot_4")->text(), "144.301");
    auto *newest = control<QLabel>(*area, "lblDXSpot_49");
    EXPECT_EQ(ink(newest), QColor(0xFF, 0xFF, 0x80));
    QTest::mouseMove(newest);
    EXPECT_EQ(s.view.hint->text(), newest->toolTip());
    EXPECT_TRUE(newest->toolTip().startsWith("W4ABC  144.150  "));
    QTest::mouseClick(control<QLabel>(*area, "lblDXSpot_47"), Qt::RightButton);
    ASSERT_EQ(chosen.count(), 2);
    EXPECT_EQ(chosen.at(1).at(0).toString(), "VE3/W9ABC");
    QTest::mouseClick(newest, Qt::LeftButton);
    EXPECT_EQ(shownLabels(), (QStringList{"JA1", "VE3", "K2"}));
    s.view.chooseBand("50 M");
    EXPECT_EQ(shownLabels(), (QStringList{"CT1"}));

    // The own call spotted, with a frequency that is no number.
    const int beeps = app.dialogs.beeps;
    node->write(spot("W1AW", "5O125.0", "K1ABC"));
    ASSERT_TRUE(eventually([&] { return s.view.message->text() == "You've been spotted! "; }));
    EXPECT_TRUE(s.view.hint->text().startsWith("You've been spotted!  de W1AW:"));
    EXPECT_EQ(s.view.hint->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(app.dialogs.beeps, beeps + 1);
    EXPECT_EQ(rows->topLevelItemCount(), 5);
}

TEST(Spotting, SocketErrorsAsTheOperatorReadsThem)
{
    quint16 closedPort = 0;
    {
        QTcpServer gone;
        gone.listen(QHostAddress::LocalHost, 0);
        closedPort = gone.serverPort();
    }
    struct Case {
        QString host, port, message;
    };
    const Case cases[] = {
        {"127.0.0.1", QString::number(closedPort), "ERROR: Connection is forcefully rejected."},
        {"no-such-host.invalid", "23", "ERROR: Authoritative answer: Host not found."},
        {"127.0.0.1", "0", "ERROR: The specified port is not supported."},
    };
    AppFixture app;
    ASSERT_TRUE(app.start());
    SpottingView s(app);
    // Ctrl+D in the logging window opens the spotting window.
    QTest::keyClick(s.view.call, Qt::Key_D, Qt::ControlModifier);
    ASSERT_TRUE(s.window() && s.window()->isVisible());
    s.chooseSource("Telnet");
    for (const Case &c : cases) {
        s.type("txtTelnetHost", c.host);
        s.type("txtTelnetPort", c.port);
        s.click("Command1");
        EXPECT_TRUE(eventually([&] { return s.shows(c.message); }))
            << c.message.toStdString() << ": " << s.received()->toPlainText().toStdString();
    }
    // Typed text while there is no connection.
    QTest::keyClicks(fieldOf(*s.window(), "txtSent"), "SH/DX");
    QTest::keyClick(fieldOf(*s.window(), "txtSent"), Qt::Key_Return);
    EXPECT_TRUE(s.shows("**  Connection not yet established.  Please wait a moment and try again."));
}
