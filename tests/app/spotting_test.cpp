// DX spotting from the main window: a Telnet cluster played by a server in
// the test, logged into from the spotting window; spots in the list and on
// the band map of the current band, clicks on both, the own-call warning,
// and the socket errors as the operator reads them.
#include "app/SpotAreaPanel.h"
#include "app/SpottingWindow.h"
#include "app/StationSpots.h"
#include "spots/SpotStore.h"
#include "support/AppFixture.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
QByteArray spot(const char *spotter, const char *khz, const char *call)
{
    return QStringLiteral("DX de %1:").arg(QLatin1String(spotter)).leftJustified(15).toLatin1() +
           QByteArray(khz).rightJustified(9) + "  " + QByteArray(call).leftJustified(13) +
           QByteArray("CW 599").leftJustified(31) + "1801Z FN20\r\n";
}

bool eventually(const std::function<bool()> &condition) { return QTest::qWaitFor(condition, 10000); }

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
