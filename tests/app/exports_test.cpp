// The log leaving the program and other logs coming in, through the windows
// and menus the operator uses after the contest: the summary sheet and the
// Cabrillo entry, the ADIF and general-logger exports, append and restore,
// the archive copy and the activity graph.
#include "app/ActivityGraphView.h"
#include "support/AppFixture.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

// n contacts, one a minute from 18:00, each from its own grid.
std::vector<QsoRecord> contacts(int n)
{
    std::vector<QsoRecord> v;
    for (int i = 0; i < n; ++i)
        v.push_back(qso(QStringLiteral("W%1XYZ").arg(i), "144 M", QStringLiteral("FN%1").arg(30 + i), "FN20", "CW",
                        "2026/06/13", QTime(18, i).toString("HH:mm:ss")));
    return v;
}

// Clicks a radio button or check box on its indicator, where a click always
// reaches it however wide the layout made the button.
void clickIndicator(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); }

// The main window of a June station on a log of n contacts.
struct Exports : AppFixture {
    std::unique_ptr<MainView> f;
    explicit Exports(int n = 3, const QString &call = QStringLiteral("K1ABC"))
    {
        log->add(contacts(n));
        EXPECT_TRUE(start(Dialogs::Answer::Yes, [call](QWidget &s) {
            fieldOf(s, "Text1")->setText(call);
            control<QRadioButton>(s, "Option2")->setChecked(true);
            return true;
        }));
        f = std::make_unique<MainView>(*form);
    }
    QString product() const { return Folders::dataFolders().product; }
    // Another PC logs a contact that this one has not loaded yet.
    void otherPcLogs(const char *call, const char *band, const char *time)
    {
        log->add({qso(call, band, "FM19", "FN20", "CW", "2026/06/13", time)});
    }

    // Waits for the message of that title, told when a file is written or
    // not: the files are written away from the window.
    bool told(const QString &title)
    {
        return QTest::qWaitFor([&] { return dialogs.sawTitle(title); }, 10000);
    }

    // Opens the modal window of that object name from the menu and runs act
    // inside it; the window is closed afterwards if act left it open.
    void inWindow(QAction *menu, const QString &window, const std::function<void(QWidget &)> &act)
    {
        whenModal(window, [act](QWidget *w) {
            act(*w);
            if (w->isVisible())
                w->close();
        });
        menu->trigger();
    }
};

} // namespace

TEST(SummarySheet, WritesTheEntryNamedAfterTheOwnCall)
{
    Exports e(3, "W1AW/R");
    e.otherPcLogs("N3LATE", "144 M", "23:00:00"); // just before the entry is written
    const QString path = e.product() + "/W1AW.log";
    e.inWindow(e.f->menu("mnuWriteSumm"), "Form2", [&](QWidget &w) {
        EXPECT_EQ(w.windowTitle(), "Summary Sheet Information");
        EXPECT_TRUE(control<QRadioButton>(w, "Option1")->isChecked());
        QLineEdit *section = fieldOf(w, "Text1");
        section->clear();
        QTest::keyClicks(section, "ct");
        clickIndicator(control<QRadioButton>(w, "Option5"));
        clickIndicator(control<QRadioButton>(w, "Option19"));
        EXPECT_TRUE(control<QRadioButton>(w, "optCabrillo3")->isChecked());
        clickIndicator(control<QRadioButton>(w, "optCabrillo2"));
        // A cancelled file dialog writes nothing and leaves the window open.
        QTest::mouseClick(buttonOf(w, "Command4"), Qt::LeftButton);
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(QFile::exists(path));
        e.dialogs.files.push_back(path);
        QTest::mouseClick(buttonOf(w, "Command4"), Qt::LeftButton);
        EXPECT_TRUE(e.told("  Thanks!"));
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(e.dialogs.last("save").defaultText, path);

    const QStringList lines = fileLines(path);
    ASSERT_GT(lines.size(), 9);
    EXPECT_EQ(lines.mid(0, 8), (QStringList{"START-OF-LOG: 2.0", "CREATED-BY: " + MainWindow::programName(),
                                            "ARRL-SECTION: CT", "CONTEST: ARRL-VHF-JUN", "CALLSIGN: W1AW/R",
                                            "CATEGORY: SINGLE-OP LIMITED LOW ",
                                            "CLAIMED-SCORE: " + e.f->score->text(), "OPERATORS: W1AW/R"}));
    const QStringList qsos = lines.filter(QRegularExpression("^QSO:"));
    ASSERT_EQ(qsos.size(), 4);
    EXPECT_TRUE(qsos.at(0).startsWith("QSO:   144 CW 2026-06-13 1800 W1AW/R")) << qsos.at(0).toStdString();
    EXPECT_TRUE(qsos.at(3).contains("N3LATE"));
    EXPECT_EQ(lines.last(), "END-OF-LOG:");
    const auto &written = e.dialogs.shown.at(e.dialogs.shown.size() - 2);
    EXPECT_EQ(written.title, "File Written Successfully.");
    EXPECT_TRUE(written.text.startsWith("The file W1AW.log was successfully written")) << written.text.toStdString();
    EXPECT_EQ(e.dialogs.last().title, "  Thanks!");

    // The next time the window offers the kept section, band category and
    // power, and writes them again.
    e.dialogs.clear();
    e.dialogs.files.push_back(path);
    e.inWindow(e.f->menu("mnuWriteSumm"), "Form2", [&e](QWidget &w) {
        EXPECT_EQ(fieldOf(w, "Text1")->text(), "CT");
        EXPECT_TRUE(control<QRadioButton>(w, "Option5")->isChecked());
        EXPECT_TRUE(control<QRadioButton>(w, "Option19")->isChecked());
        EXPECT_TRUE(control<QRadioButton>(w, "optCabrillo2")->isChecked());
        QTest::mouseClick(buttonOf(w, "Command4"), Qt::LeftButton);
        EXPECT_TRUE(e.told("  Thanks!"));
    });
    EXPECT_EQ(fileLines(path).at(5), "CATEGORY: SINGLE-OP LIMITED LOW ");
}

TEST(SummarySheet, ShowsWhatALogCheckerWouldObjectToBeforeWriting)
{
    Exports e(2);
    e.log->add({qso("K2AAA", "144 M", "", "FN20"), qso("K2BBB", "144 M", "FN4", "FN20"),
                qso("K2CCC", "40 M", "FN42", "FN20"), qso("12345", "144 M", "FN42", "FN20")});
    e.inWindow(e.f->menu("mnuWriteSumm"), "Form2", [](QWidget &w) {
        QLabel *check = control<QLabel>(w, "lblLogCheck");
        ASSERT_TRUE(QTest::qWaitFor([check] { return check->text().startsWith("Checked"); }, 10000));
        const QStringList lines = check->text().split('\n');
        EXPECT_EQ(lines.mid(0, 5),
                  (QStringList{"Checked 6 contacts. A log checker would object to:",
                               "Empty grid received: 1 (K2AAA 144 M 2026/06/13 18:00:00)",
                               "Grid received that is no grid square: 1 (K2BBB 144 M 2026/06/13 18:00:00)",
                               "Band the entry cannot name: 1 (K2CCC 40 M 2026/06/13 18:00:00)",
                               "Call that is not a call sign: 1 (12345 144 M 2026/06/13 18:00:00)"}));
    });
    EXPECT_EQ(e.f->contest.store().recordCount(), 6); // the log is only read
}

TEST(Exports, AFileNotWrittenIsToldWithItsReason)
{
    // A folder that does not exist, and LogExp.txt taken by a folder: each
    // command says what was not written, where and why.
    Exports e(2);
    const QString nowhere = e.work.filePath("no such folder");
    ASSERT_TRUE(QDir(e.work.path()).mkpath("LogExp.txt"));
    struct Case {
        const char *what;
        std::function<void()> run;
        QString path;
    };
    const Case cases[] = {
        {"Cabrillo file",
         [&] {
             e.dialogs.files.push_back(nowhere + "/K1ABC.log");
             e.inWindow(e.f->menu("mnuWriteSumm"), "Form2", [&e](QWidget &w) {
                 QTest::mouseClick(buttonOf(w, "Command4"), Qt::LeftButton);
                 EXPECT_TRUE(e.told("File Not Written"));
                 EXPECT_TRUE(w.isVisible()); // the window stays for another try
             });
         },
         nowhere + "/K1ABC.log"},
        {"ADIF file",
         [&] {
             e.dialogs.inputs = {"", "", "SSB"};
             e.dialogs.files.push_back(nowhere + "/contest.adi");
             e.f->menu("mnuExportADIF")->trigger();
         },
         nowhere + "/contest.adi"},
        {"LogExp.txt", [&] { e.f->menu("mnuOrreryExport")->trigger(); }, e.work.filePath("LogExp.txt")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        e.dialogs.clear();
        c.run();
        ASSERT_TRUE(e.told("File Not Written"));
        const auto told = e.dialogs.last("message");
        EXPECT_EQ(told.title, "File Not Written");
        EXPECT_TRUE(told.text.startsWith(QStringLiteral("The %1 could not be written to %2 (")
                                             .arg(c.what, QDir::toNativeSeparators(c.path))))
            << told.text.toStdString();
        EXPECT_FALSE(told.text.contains("()"));
        EXPECT_FALSE(QFileInfo(c.path).isFile());
    }
}

TEST(Exports, AdifAndLogExpHoldTheLogAsItIsNowWhileTheOperatorLogsOn)
{
    // The files are made away from the window, so the operator logs on while
    // both exports are under way. Each file holds the log as it was read: the
    // other PC's latest contact included, every contact from the first on in
    // the log's order, each one whole; nothing typed is lost.
    Exports e(0);
    std::vector<QsoRecord> earlier;
    for (int i = 0; i < 3000; ++i)
        earlier.push_back(qso(QStringLiteral("K%1AA").arg(i), "144 M", "FN31", "FN20", "CW", "2026/06/13",
                              QTime(12, 0).addSecs(i).toString("HH:mm:ss")));
    e.log->add(earlier);
    e.f->menu("mnuOpen")->trigger();
    e.otherPcLogs("N3LATE", "1.3 G", "18:10:00");
    ASSERT_EQ(e.f->contest.store().recordCount(), 3000);

    const QString adi = e.work.filePath("contest.adi");
    e.dialogs.inputs = {"100", "", "usb"};
    e.dialogs.files.push_back(adi);
    e.f->menu("mnuExportADIF")->trigger();
    e.f->menu("mnuOrreryExport")->trigger();
    const QStringList typed{"W9AB", "W9AC", "W9AD", "W9AE", "W9AF"};
    for (const QString &call : typed)
        typeKeys(e.f->call, call + " FN42\n");
    ASSERT_TRUE(e.told("File Written Successfully."));
    ASSERT_TRUE(e.told("Export Successful!"));

    const std::vector<QsoRecord> rows = rowsOf(e.log->path);
    ASSERT_EQ(rows.size(), 3001u + typed.size());
    for (const QString &call : typed)
        EXPECT_EQ(rows.at(3001 + typed.indexOf(call)).calls, call);

    const QByteArray text = readAll(adi);
    const int records = static_cast<int>(text.count("<eor>"));
    ASSERT_GE(records, 3001);
    ASSERT_LE(records, static_cast<int>(rows.size()));
    EXPECT_TRUE(text.contains("<Call:6>N3LATE <Qso_Date:8:d>20260613 <Band:4>23CM")) << text.right(400).toStdString();
    const QByteArray lastCall = rows.at(records - 1).calls.toLatin1();
    EXPECT_TRUE(text.contains("<Call:" + QByteArray::number(lastCall.size()) + ">" + lastCall + " "));
    EXPECT_TRUE(text.trimmed().endsWith("<eor>"));

    // LogExp.txt goes to the working folder, with a beep and the message.
    const QStringList lines = fileLines(e.work.filePath("LogExp.txt"));
    ASSERT_GE(lines.size(), 3001);
    ASSERT_LE(lines.size(), static_cast<int>(rows.size()));
    for (int i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(lines.at(i).count(','), 15);
        ASSERT_TRUE(lines.at(i).startsWith('"' + rows.at(static_cast<size_t>(i)).calls + "\",\"2026/06/13\""));
    }
    EXPECT_EQ(e.dialogs.beeps, 1);
    const auto done = std::find_if(e.dialogs.shown.begin(), e.dialogs.shown.end(),
                                   [](const auto &s) { return s.title == "Export Successful!"; });
    EXPECT_TRUE(done->text.startsWith("LogExp.txt has been written to this program's working directory " +
                                      QDir::toNativeSeparators(e.work.path())));
}

TEST(Combine, RefusalsThenTheBackupAppendedWithTheDuplicateFilter)
{
    const auto records = contacts(3);
    Exports e(3);
    const QString foreign = e.work.filePath("spreadsheet.mdb");
    ASSERT_TRUE(writeBytes(foreign, "PK\x03\x04 not a log at all"));
    QString shouted = e.log->path;
    shouted.replace("Halvern.MDB", "HALVERN.mdb");
    // The backup of the same log, plus the first station worked again from
    // another own grid, which is a contact of its own.
    LogMirror backup;
    for (const QsoRecord &r : records)
        backup.append(r);
    QsoRecord moved = records[0];
    moved.grids = "FN21";
    moved.fldtime = "19:00:00";
    backup.append(moved);
    const QString file = e.work.filePath("BckUpLog.dat");
    ASSERT_TRUE(writeBytes(file, LogStore::backupText(backup)));

    e.inWindow(e.f->menu("mnuCombine"), "frmImport", [&](QWidget &w) {
        QLineEdit *path = fieldOf(w, "Text1");
        QPushButton *browse = buttonOf(w, "Command3"), *append = buttonOf(w, "Command2");
        auto *eliminate = control<QCheckBox>(w, "Check1");
        EXPECT_EQ(w.windowTitle(), "Append Data or Restore From Backup");
        const std::tuple<QString, QString, QString, int> refusals[] = {
            {shouted, "Invalid Request!", "You can not append the same file onto itself.", 1},
            {foreign, "Nothing Appended", foreign, 0}};
        for (const auto &[file, title, text, beeps] : refusals) {
            e.dialogs.clear();
            path->clear();
            path->setFocus();
            QTest::keyClicks(path, file);
            QTest::mouseClick(append, Qt::LeftButton);
            EXPECT_EQ(e.dialogs.last().title, title);
            EXPECT_TRUE(e.dialogs.last().text.contains(text)) << e.dialogs.last().text.toStdString();
            EXPECT_EQ(e.dialogs.beeps, beeps);
            EXPECT_EQ(e.log->count(), 3);
        }

        EXPECT_TRUE(eliminate->isChecked());
        e.dialogs.files.push_back(file);
        QTest::mouseClick(browse, Qt::LeftButton);
        EXPECT_EQ(path->text(), file);
        EXPECT_EQ(w.focusWidget(), append);
        // Turning the filter off is asked; No keeps it.
        e.dialogs.answers.push_back(Dialogs::Answer::No);
        clickIndicator(eliminate);
        EXPECT_EQ(e.dialogs.last().title, "Are you sure");
        EXPECT_EQ(e.dialogs.last().text, "Are you sure?  Once imported, duplicates can only be removed manually "
                                         "and will not be identified by the program.");
        EXPECT_TRUE(eliminate->isChecked());
        QTest::mouseClick(append, Qt::LeftButton);
        EXPECT_EQ(e.dialogs.last().text, "1 contact was appended; 3 duplicates were left out.");
        // The main window shows the appended contact while the window is open.
        EXPECT_EQ(e.f->contacts->text(), "4");
        QTest::mouseClick(buttonOf(w, "Command1"), Qt::LeftButton);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(e.log->count(), 4);
}

TEST(Archive, DatedCopyInTheBackupFolderWithTheLogKeptOpen)
{
    Exports e(3, "K1ABC/R");
    const int interval = e.f->refreshTimer->interval();
    const QString copy = Folders::dataFolders().backup + "/K1ABC2026-06-13.mdb";
    e.dialogs.clear();
    e.dialogs.files.push_back(copy);
    e.f->menu("mnuArchive")->trigger();
    EXPECT_EQ(e.dialogs.shown.at(0).title, "Archive Information");
    EXPECT_EQ(e.dialogs.last("save").defaultText, copy);
    // The timer runs again once the copy is taken.
    ASSERT_TRUE(QTest::qWaitFor([&] { return e.f->refreshTimer->isActive(); }, 10000));
    EXPECT_EQ(rowsOf(copy), rowsOf(e.log->path));
    EXPECT_EQ(e.f->refreshTimer->interval(), interval);

    // The window goes on working with the log.
    e.otherPcLogs("K4LAST", "432 M", "19:00:00");
    e.f->menu("mnuOpen")->trigger();
    EXPECT_EQ(e.f->contest.store().recordCount(), 4);
}

TEST(Graph, OpensFromSevenContactsWithItsAxisLabelsAndBackground)
{
    Exports e(6);
    e.f->menu("mnuGraph")->trigger();
    EXPECT_EQ(e.dialogs.last().title, "Not Enough Contacts to Graph.");
    EXPECT_EQ(e.dialogs.last().text, "The graph will not display with less than 7 contacts.  The graph becomes more "
                                     "meaningful as several hours of contest logging are accumulated.");
    auto *graph = e.f->window.findChild<QDialog *>("GraphQSO");
    EXPECT_TRUE(graph == nullptr || !graph->isVisible());

    e.otherPcLogs("W6XYZ", "144 M", "18:06:00");
    e.f->menu("mnuOpen")->trigger();
    e.f->menu("mnuGraph")->trigger();
    graph = e.f->window.findChild<QDialog *>("GraphQSO");
    ASSERT_NE(graph, nullptr);
    EXPECT_TRUE(graph->isVisible());
    EXPECT_EQ(graph->windowTitle(), " Activity Graph - QSOs per Hour Rate   (# QSOs over 10 minutes X 6)");
    auto *view = control<ActivityGraphView>(*graph, "view");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->data().points.size(), 7u);
    auto label = [graph](const char *name, int n) {
        return control<QLabel>(*graph, QStringLiteral("%1_%2").arg(name).arg(n).toLatin1().constData());
    };

    // Seven contacts a minute apart span six minutes; the busiest rate, 42,
    // tops the rate axis at 50 in steps of 10.
    const std::pair<QLabel *, const char *> texts[] = {
        {label("lblTime", 0), "18:00"},  {label("lblTime", 7), "18:03"}, {label("lblTime", 14), "18:06"},
        {label("lblDate", 14), "06/13"}, {label("lblY", 0), "0.0"},      {label("lblY", 5), "50.0"}};
    for (const auto &[l, text] : texts)
        EXPECT_EQ(l->text(), text) << l->objectName().toStdString();
    EXPECT_FALSE(label("lblY", 6)->isVisible());

    // Along the axes of the plot: times left to right under it, each date
    // under its time, rates right to left of it and rising.
    auto expectAlongTheAxes = [view, &label] {
        const QRect plot = view->plotRect();
        ASSERT_FALSE(plot.isEmpty());
        for (int j = 0; j < ActivityGraph::LabelCount; ++j) {
            const QRect time = label("lblTime", j)->geometry();
            EXPECT_NEAR(time.center().x(), view->timeAxisX(j), 1) << j;
            EXPECT_GT(time.top(), plot.bottom()) << j;
            EXPECT_GT(label("lblDate", j)->geometry().top(), time.bottom()) << j;
            EXPECT_TRUE(view->rect().contains(label("lblDate", j)->geometry())) << j;
        }
        for (int i = 0; i <= 5; ++i) {
            const QRect rate = label("lblY", i)->geometry();
            EXPECT_LT(rate.right(), plot.left()) << i;
            EXPECT_NEAR(rate.center().y(), view->rateAxisY(i * 10), 1) << i;
        }
    };
    expectAlongTheAxes();
    // A larger window moves the labels with the plot.
    QLabel *lastTime = label("lblTime", 14);
    const int lastX = lastTime->geometry().center().x();
    graph->resize(graph->width() + 200, graph->height() + 100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lastTime->geometry().center().x() > lastX; }));
    expectAlongTheAxes();

    QPushButton *background = buttonOf(*graph, "Command1");
    for (const auto &[caption, black, colour] : {std::tuple{"White Background", true, QColor(Qt::white)},
                                                 std::tuple{"Black Background", false, QColor(Qt::black)}}) {
        QTest::mouseClick(background, Qt::LeftButton);
        EXPECT_EQ(background->text(), caption);
        EXPECT_EQ(view->blackBackground(), black);
        for (QLabel *l : {control<QLabel>(*graph, "Label1"), label("lblTime", 0), label("lblDate", 7), label("lblY", 5)})
            EXPECT_EQ(ink(l), colour) << l->objectName().toStdString();
    }

    // Opened again, it draws the log as it is then: a 10 GHz contact at
    // 20:00 goes to "Other" and the labels go by the hour.
    e.otherPcLogs("K4LAST", "10 G", "20:00:00");
    e.f->menu("mnuOpen")->trigger();
    e.f->menu("mnuGraph")->trigger();
    EXPECT_EQ(e.f->window.findChildren<QDialog *>("GraphQSO").size(), 1);
    EXPECT_EQ(view->data().points.size(), 8u);
    EXPECT_EQ(view->data().points.back().group, 6);
    EXPECT_EQ(label("lblTime", 7)->text(), "19:00");
    EXPECT_EQ(label("lblTime", 14)->text(), "20:00");
}
