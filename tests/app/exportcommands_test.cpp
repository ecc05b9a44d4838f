// The export commands without the main window: the questions, file dialogs
// and messages around the ADIF export and the archive copy; and the drawing
// of the activity graph, whose labels the window sets beside the plot.
#include "app/ActivityGraphView.h"
#include "app/ExportCommands.h"
#include "export/FileJobs.h"
#include "log/LogStore.h"
#include "log/Station.h"
#include "platform/Clock.h"
#include "support/ScriptedDialogs.h"
#include "support/TestLog.h"

#include <QImage>
#include <QTest>
#include <QTimer>

namespace {

// Contacts a minute apart from 18:00 UTC on 9 June 2012 on one band.
std::vector<QsoRecord> contactsEveryMinute(int n, const QString &band)
{
    std::vector<QsoRecord> records;
    const QDateTime start(QDate(2012, 6, 9), QTime(18, 0));
    for (int i = 0; i < n; ++i) {
        const QDateTime t = start.addSecs(60 * i);
        records.push_back(qso(QStringLiteral("W%1AW").arg(i + 1), band, "FN31", "FN20", "CW",
                              t.toString("yyyy/MM/dd"), t.toString("HH:mm:ss")));
    }
    return records;
}

// Runs an export command and waits for the file to be written: the path
// written, empty when the command was cancelled or wrote nothing.
QString exported(const std::function<bool(ExportCommands::ExportDone)> &command)
{
    std::optional<QString> written;
    if (!command([&](const QString &w) { written = w; }))
        return QString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return written.has_value(); }, 10000));
    return written.value_or(QString());
}

// Whether the left seven tenths of the image (the plot, left of the legend)
// hold the colour.
bool plotHolds(const QImage &image, const QColor &c)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width() * 7 / 10; ++x)
            if (image.pixelColor(x, y).rgb() == c.rgb())
                return true;
    return false;
}

TEST(ExportCommands, AdifAsksThreeQuestionsAndTheFile)
{
    // The comment proposed is the contest's name, none for the CQ contest; a
    // cancelled save dialog writes nothing.
    TempFolders folders;
    TempLog log;
    log.add({qso("K1ABC", "432 M", "FN42", "FN31", "PH", "2012/06/09", "18:05:00")});
    FileJobs jobs;
    for (const auto &[contest, comment, saved] : {std::tuple{2, "ARRL June VHF QSO Party", true},
                                                  std::tuple{5, "", true},
                                                  std::tuple{1, "ARRL January VHF Sweepstakes", false}}) {
        SCOPED_TRACE(contest);
        ScriptedDialogs d;
        d.inputs = {"100", comment, "usb"};
        QTemporaryDir out;
        const QString path = out.filePath("contest.adi");
        if (saved)
            d.files.push_back(path);
        Station station;
        station.contestType = contest;
        const QString written = exported([&](ExportCommands::ExportDone done) {
            return ExportCommands::exportAdif(nullptr, jobs, log.path, station, {}, done);
        });
        QStringList asked;
        for (const auto &s : d.shown)
            asked.append(s.kind + ": " + s.title + " = " + s.defaultText);
        EXPECT_EQ(asked.mid(0, 4), (QStringList{"input: Please enter your transmitter output power. = ",
                                               QString("input: Please enter a comment. = ") + comment,
                                               "input: Phone Mode? = SSB",
                                               "save: Export ADIF Format = " + Folders::dataFolders().product +
                                                   "/Halvern.adi"}));
        EXPECT_EQ(d.shown.at(3).text, "ADIF Files (*.adi) | *.adi");
        EXPECT_EQ(written, saved ? path : "");
        EXPECT_EQ(readAll(path).contains("<Mode:3>SSB\r\n<Submode:3>USB\r\n<Tx_Pwr:3>100 "), saved);
        EXPECT_EQ(d.last().title, saved ? "File Written Successfully." : "Export ADIF Format");
        if (saved) {
            EXPECT_EQ(d.last().text, "The file was successfully written to the directory:\r\n\r\n" + path + ".");
        }
    }
}

TEST(ExportCommands, AdifCancelEndsAndAPhoneModeOfNoAdifModeIsAskedAgain)
{
    TempFolders folders;
    TempLog log;
    log.add({qso("SM5ÅÄ", "902 M", "JO89", "JO99", "PH", "2012/06/09", "18:05:00")});
    FileJobs jobs;
    Station station;
    station.ownCall = "W1AW";
    station.contestType = 2;
    QTemporaryDir out;
    const QString path = out.filePath("contest.adi");
    const QString cancel = ScriptedDialogs::CancelInput;
    struct Case {
        const char *what;
        std::deque<QString> inputs;
        int questions;     // input boxes shown
        bool written;
        const char *mode;  // in the file
    };
    const Case cases[] = {
        {"cancel on the power", {cancel}, 1, false, ""},
        {"cancel on the comment", {"", cancel}, 2, false, ""},
        {"cancel on the phone mode", {"", "", cancel}, 3, false, ""},
        {"no ADIF mode, then cancel", {"", "", "voice", cancel}, 4, false, ""},
        {"no ADIF mode, then lsb", {"", "", "voice", "PH", "lsb"}, 5, true, "<Mode:3>SSB\r\n<Submode:3>LSB\r\n"},
        {"empty power and comment are answers", {"", "", "fm"}, 3, true, "<Mode:2>FM\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path);
        ScriptedDialogs d;
        d.inputs = c.inputs;
        d.files.push_back(path);
        const QString written = exported([&](ExportCommands::ExportDone done) {
            return ExportCommands::exportAdif(nullptr, jobs, log.path, station, {}, done);
        });
        int questions = 0;
        for (const auto &s : d.shown)
            questions += s.kind == "input";
        EXPECT_EQ(questions, c.questions);
        EXPECT_EQ(written.isEmpty(), !c.written);
        EXPECT_EQ(QFile::exists(path), c.written);
        if (!c.written)
            continue;
        if (c.questions == 5) {
            EXPECT_TRUE(d.shown.at(3).text.startsWith("\"voice\" is not a mode")) << d.shown.at(3).text.toStdString();
            EXPECT_TRUE(d.shown.at(4).text.startsWith("\"PH\" is not a mode"));
        }
        const QByteArray text = readAll(path);
        EXPECT_TRUE(text.contains(c.mode)) << text.constData();
        EXPECT_TRUE(text.contains("<Call:5>SM5AA <Qso_Date:8:d>20120609 <Band:4>33CM")) << text.constData();
        EXPECT_TRUE(d.last().text.endsWith("1 record held characters that an ADIF file cannot carry; they were written "
                                           "as plain letters or \"_\".")) << d.last().text.toStdString();
    }
}

TEST(ExportCommands, ArchiveEndsWithTheLogOpenAndTheTimerRunningEveryWay)
{
    TempFolders folders;
    const QDate day(2012, 6, 10);
    Clock::setFixed(QDateTime(day, QTime(14, 0)), QDateTime(day, QTime(18, 0)));
    QTemporaryDir out;
    TempLog log;
    log.add({qso("K1ABC", "144 M", "FN42"), qso("W2XYZ", "432 M", "FN30"), qso("N3AAA", "50 M", "FM19")});
    LogStore store;
    ASSERT_TRUE(store.open(log.path));
    QTimer timer;
    timer.start(60000);
    ScriptedDialogs dialogs;
    FileJobs jobs;

    using Status = ExportCommands::ArchiveOutcome::Status;
    struct Case {
        const char *what;
        QString chosen; // the file the operator picks; empty cancels
        bool closeFirst;
        Status status;
        const char *copy; // the file expected to hold the copy
    };
    ASSERT_TRUE(writeBytes(out.filePath("c.MDB"), "an older archive"));
    const Case cases[] = {
        {"cancelled", "", false, Status::Cancelled, nullptr},
        {"copied", out.filePath("a.mdb"), false, Status::Copied, "a.mdb"},
        {"name without extension", out.filePath("b"), false, Status::Copied, "b.mdb"},
        {"replacing an earlier file", out.filePath("c.MDB"), false, Status::Copied, "c.MDB"},
        {"folder missing", out.filePath("gone/d.mdb"), false, Status::Failed, nullptr},
        {"the log itself", log.path, false, Status::Failed, nullptr},
        {"log closed before", out.filePath("e.mdb"), true, Status::Copied, "e.mdb"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.clear();
        if (c.closeFirst)
            store.close();
        if (!c.chosen.isEmpty())
            dialogs.files.push_back(c.chosen);
        std::optional<ExportCommands::ArchiveOutcome> outcome;
        ExportCommands::archiveLog(nullptr, jobs, store, log.path, "K1ABC/R", &timer,
                                   [&](const ExportCommands::ArchiveOutcome &o) { outcome = o; });
        // The timer rests while the copy is taken.
        EXPECT_EQ(timer.isActive(), outcome.has_value());
        ASSERT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 10000));
        const auto &o = *outcome;
        EXPECT_EQ(o.status, c.status) << o.error.toStdString();
        EXPECT_TRUE(store.isOpen());
        EXPECT_TRUE(timer.isActive());
        EXPECT_EQ(dialogs.shown.at(0).title, "Archive Information");
        EXPECT_EQ(dialogs.last("save").text, "Log Files (*.mdb) | *.mdb");
        EXPECT_EQ(dialogs.last("save").defaultText, Folders::dataFolders().backup + "/K1ABC2012-06-10.mdb");
        EXPECT_EQ(dialogs.sawTitle("Archive Failed"), c.status == Status::Failed);
        if (c.copy) {
            EXPECT_EQ(o.path, out.filePath(c.copy));
            EXPECT_EQ(rowsOf(o.path), rowsOf(log.path));
        }
        EXPECT_EQ(log.count(), 3);
    }
    Clock::useSystem();
}

TEST(ActivityGraphView, DrawsEachGroupInItsColour)
{
    // Contacts on 10 GHz only: the plot shows the "Other" colour and no
    // colour of the other groups.
    ActivityGraphView view;
    view.resize(640, 400);
    view.setData(ActivityGraph::compute(loadedMirror(contactsEveryMinute(7, "10 G"))));
    const QImage image = view.grab().toImage();
    EXPECT_TRUE(plotHolds(image, ActivityGraphView::groupColor(6)));
    for (int g = 0; g < 6; ++g)
        EXPECT_FALSE(plotHolds(image, ActivityGraphView::groupColor(g))) << "group " << g;
}

TEST(ActivityGraphView, LeavesTheAxisMarginsToTheLabels)
{
    ActivityGraphView view;
    view.resize(640, 400);
    EXPECT_TRUE(view.plotRect().isEmpty()); // nothing to draw yet
    view.setData(ActivityGraph::compute(loadedMirror(contactsEveryMinute(7, "144 M"))));
    view.setBlackBackground(true);
    const QRect plot = view.plotRect();
    ASSERT_FALSE(plot.isEmpty());
    EXPECT_EQ(view.timeAxisX(0), plot.left());
    EXPECT_EQ(view.timeAxisX(ActivityGraph::LabelCount - 1), plot.left() + plot.width());
    EXPECT_EQ(view.rateAxisY(0), plot.top() + plot.height());
    EXPECT_EQ(view.rateAxisY(view.scale().top), plot.top());

    // Left of the rate axis and under the time axis only the background
    // shows: the times, dates and rates are the window's labels, not painted.
    const QImage image = view.grab().toImage();
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += (x < plot.left() - 1 || y > plot.bottom() + 1) &&
                     image.pixelColor(x, y).rgb() != QColor(Qt::black).rgb();
    EXPECT_EQ(inked, 0);

    // A new size moves the plot and says so.
    view.show();
    int told = 0;
    QObject::connect(&view, &ActivityGraphView::axesChanged, [&told] { ++told; });
    view.resize(800, 500);
    EXPECT_TRUE(QTest::qWaitFor([&told] { return told > 0; }));
    EXPECT_GT(view.timeAxisX(ActivityGraph::LabelCount - 1), plot.right() + 1);
}
} // namespace
