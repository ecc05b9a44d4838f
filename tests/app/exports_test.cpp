// The log leaving the program and other logs coming in, through the windows
// and menus the operator uses after the contest: the summary sheet and the
// Cabrillo entry, the ADIF and general-logger exports, append and restore,
// the archive copy and the activity graph.
#include "app/Colors.h"
#include "app/Form1.h"
#include "app/Form2.h"
#include "app/GraphQSO.h"
#include "app/frmImport.h"
#include "app/frmStationID.h"
#include "log/Folders.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

// Failures show texts as texts.
void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// n contacts, one a minute from 18:00, each from its own grid.
std::vector<QsoRecord> contacts(int n, const QString &band = QStringLiteral("144 M"))
{
    std::vector<QsoRecord> v;
    for (int i = 0; i < n; ++i)
        v.push_back(qso(QStringLiteral("W%1XYZ").arg(i), band,
                        QStringLiteral("FN%1").arg(30 + i), QStringLiteral("FN20"),
                        QStringLiteral("CW"), QStringLiteral("2026/06/13"),
                        QStringLiteral("18:%1:00").arg(i, 2, 10, QChar(u'0'))));
    return v;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList linesOf(const QString &path)
{
    QStringList lines = QString::fromUtf8(readFile(path)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Clicks a radio button or check box on its indicator, where a click always
// reaches it however wide the layout made the button.
void clickIndicator(QAbstractButton *b)
{
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

// How the station window is filled before Done.
struct StationSetup {
    QString call = QStringLiteral("K1ABC");
    int contest = 2; // 1..5 as the station window lists them
    bool rover = false;
};

struct Exports : AppFixture {
    Form1 *f = nullptr;
    explicit Exports(const std::vector<QsoRecord> &records = contacts(3), const StationSetup &setup = {})
    {
        log->add(records);
        EXPECT_TRUE(start(Dialogs::Answer::Yes, [setup](frmStationID &s) {
            s.Text1->setText(setup.call);
            QRadioButton *contest[] = {s.Option1, s.Option2, s.Option3, s.Option4, s.Option7};
            contest[setup.contest - 1]->setChecked(true);
            (setup.rover ? s.Option6 : s.Option5)->setChecked(true);
            return true;
        }));
        f = form.get();
    }
    QString product() const { return Folders::dataFolders().product; }

    // Opens the summary sheet from the menu and runs act inside it; the
    // window is closed afterwards if act left it open.
    void summarySheet(const std::function<void(Form2 &)> &act)
    {
        whenModal(QStringLiteral("Form2"), [act](QWidget *w) {
            act(*static_cast<Form2 *>(w));
            if (w->isVisible())
                w->close();
        });
        f->mnuWriteSumm->trigger();
    }
    void importWindow(const std::function<void(frmImport &)> &act)
    {
        whenModal(QStringLiteral("frmImport"), [act](QWidget *w) {
            act(*static_cast<frmImport *>(w));
            if (w->isVisible())
                w->close();
        });
        f->mnuCombine->trigger();
    }
};

} // namespace

TEST(SummarySheet, WindowFollowsTheContestAndTheRoverFlag)
{
    struct Case {
        const char *what;
        StationSetup setup;
        const char *checked;  // the operator button checked on opening
        const char *caption;  // and its caption
        bool sectionShown;
        const char *powerFrame;
        const char *option18;
        bool option18Checked;
        bool bandFrameEnabled;
    };
    const Case cases[] = {
        {"June, fixed", {QStringLiteral("K1ABC"), 2, false}, "Option1", "Single", true,
         "Power Category (Single Op Only):", "High", false, true},
        {"June, rover", {QStringLiteral("K1ABC"), 2, true}, "Option3", "Rover", true,
         "Power Category (Single Op Only):", "High", false, true},
        {"CQ, fixed", {QStringLiteral("K1ABC"), 5, false}, "Option1", "Single Op", false,
         "Category Assisted:", "NON-ASSISTED", true, false},
        {"CQ, rover", {QStringLiteral("K1ABC"), 5, true}, "Option4", "Rover", false,
         "Category Assisted:", "NON-ASSISTED", true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Exports e(contacts(3), c.setup);
        bool seen = false;
        e.summarySheet([&](Form2 &w) {
            seen = true;
            EXPECT_EQ(w.windowTitle(), QStringLiteral("Summary Sheet Information"));
            auto *op = w.findChild<QRadioButton *>(QLatin1String(c.checked));
            ASSERT_NE(op, nullptr);
            EXPECT_TRUE(op->isChecked());
            EXPECT_EQ(op->text(), QLatin1String(c.caption));
            EXPECT_EQ(w.Label1->isVisible(), c.sectionShown);
            EXPECT_EQ(w.Text1->isVisible(), c.sectionShown);
            EXPECT_EQ(w.Frame6->title(), QLatin1String(c.powerFrame));
            EXPECT_EQ(w.Option18->text(), QLatin1String(c.option18));
            EXPECT_EQ(w.Option18->isChecked(), c.option18Checked);
            EXPECT_EQ(w.Frame1->isEnabled(), c.bandFrameEnabled);
            // Done closes the window without writing anything.
            QTest::mouseClick(w.Command3, Qt::LeftButton);
            EXPECT_FALSE(w.isVisible());
        });
        EXPECT_TRUE(seen);
        EXPECT_TRUE(e.dialogs.last(QStringLiteral("save")).kind.isEmpty());
        EXPECT_FALSE(QFile::exists(e.product() + QStringLiteral("/K1ABC.log")));
    }
}

TEST(SummarySheet, WritesTheEntryNamedAfterTheOwnCall)
{
    struct Case {
        const char *what;
        StationSetup setup;
        const char *band; // of the contacts, one that scores in the contest
        std::function<void(Form2 &)> choose; // the operator's choices in the window
        const char *file;
        QStringList header; // the lines from START-OF-LOG up to CATEGORY-ASSISTED
    };
    const QString created = QStringLiteral("CREATED-BY: ") + Form1::programName();
    const Case cases[] = {
        {"June, single operator, limited, low power",
         {QStringLiteral("W1AW/R"), 2, false},
         "432 M",
         [](Form2 &w) {
             w.Text1->clear();
             QTest::keyClicks(w.Text1, QStringLiteral("ct"));
             clickIndicator(w.Option5);
             clickIndicator(w.Option19);
         },
         "W1AW.log",
         {QStringLiteral("START-OF-LOG: 2.0"), created, QStringLiteral("ARRL-SECTION: CT"),
          QStringLiteral("CONTEST: ARRL-VHF-JUN"), QStringLiteral("CALLSIGN: W1AW/R"),
          QStringLiteral("CATEGORY: SINGLE-OP LIMITED LOW ")}},
        {"UHF, multi-limited",
         {QStringLiteral("K1ABC"), 3, false},
         "432 M",
         [](Form2 &w) {
             // The section kept from the entry before is offered again.
             EXPECT_EQ(w.Text1->text(), QStringLiteral("CT"));
             w.Text1->clear();
             QTest::keyClicks(w.Text1, QStringLiteral("enY"));
             clickIndicator(w.Option6);
             clickIndicator(w.Option18);
         },
         "K1ABC.log",
         {QStringLiteral("START-OF-LOG: 2.0"), created, QStringLiteral("ARRL-SECTION: ENY"),
          QStringLiteral("CONTEST: ARRL-UHF-AUG"), QStringLiteral("CALLSIGN: K1ABC"),
          QStringLiteral("CATEGORY: MULTI-LIMITED")}},
        {"CQ, rover, assisted",
         {QStringLiteral("K1ABC"), 5, true},
         "144 M",
         [](Form2 &w) { clickIndicator(w.Option19); },
         "K1ABC.log",
         {QStringLiteral("START-OF-LOG: 2.0"), created, QStringLiteral("CONTEST: CQ-VHF"),
          QStringLiteral("CALLSIGN: K1ABC"), QStringLiteral("CATEGORY: ROVER ALL HIGH"),
          QStringLiteral("CATEGORY-ASSISTED: ASSISTED")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString band = QLatin1String(c.band);
        Exports e(contacts(3, band), c.setup);
        // Another PC logs a contact just before the entry is written.
        e.log->add({qso(QStringLiteral("N3LATE"), band, QStringLiteral("FM19"), QStringLiteral("FN20"),
                        QStringLiteral("CW"), QStringLiteral("2026/06/13"), QStringLiteral("23:00:00"))});
        QString score;
        const QString proposed = e.product() + u'/' + QLatin1String(c.file);
        e.summarySheet([&](Form2 &w) {
            score = e.f->lblTotScore->text();
            c.choose(w);
            // A cancelled file dialog writes nothing and leaves the window open.
            QTest::mouseClick(w.Command4, Qt::LeftButton);
            EXPECT_TRUE(w.isVisible());
            EXPECT_FALSE(QFile::exists(proposed));
            e.dialogs.files.push_back(proposed);
            QTest::mouseClick(w.Command4, Qt::LeftButton);
            EXPECT_FALSE(w.isVisible());
        });
        EXPECT_EQ(e.dialogs.last(QStringLiteral("save")).defaultText, proposed);

        const QStringList lines = linesOf(proposed);
        ASSERT_GT(lines.size(), c.header.size() + 3);
        EXPECT_EQ(lines.mid(0, c.header.size()), c.header);
        const QString call = c.setup.call;
        EXPECT_EQ(lines.at(c.header.size()), QStringLiteral("CLAIMED-SCORE: ") + score);
        EXPECT_EQ(lines.at(c.header.size() + 1), QStringLiteral("OPERATORS: ") + call);
        ASSERT_NE(score, QStringLiteral("0"));
        const QStringList qsos = lines.filter(QRegularExpression(QStringLiteral("^QSO:")));
        ASSERT_EQ(qsos.size(), 4);
        EXPECT_TRUE(qsos.at(3).contains(QStringLiteral("N3LATE")));
        EXPECT_TRUE(qsos.at(0).startsWith(QStringLiteral("QSO:   ") + band.left(3) +
                                          QStringLiteral(" CW 2026-06-13 1800 ") + call))
            << qsos.at(0).toStdString();
        EXPECT_EQ(qsos.at(2).mid(55, 6), QStringLiteral("W2XYZ "));
        EXPECT_EQ(lines.last(), QStringLiteral("END-OF-LOG:"));

        ASSERT_GE(e.dialogs.shown.size(), 2);
        const auto &written = e.dialogs.shown.at(e.dialogs.shown.size() - 2);
        EXPECT_EQ(written.title, QStringLiteral("File Written Successfully."));
        EXPECT_TRUE(written.text.startsWith(QStringLiteral("The file ") + QLatin1String(c.file) +
                                            QStringLiteral(" was successfully written")));
        EXPECT_TRUE(written.text.contains(proposed + u'.'));
        EXPECT_EQ(e.dialogs.last().title, QStringLiteral("  Thanks!"));
    }
}

TEST(SummarySheet, AnswersAreKeptAndOfferedNextTime)
{
    Exports e;
    const QString path = e.product() + QStringLiteral("/K1ABC.log");
    e.summarySheet([&](Form2 &w) {
        for (QLineEdit *field : {w.Text1, w.Text2, w.Text5, w.Text6, w.Text7, w.Text8, w.Text10})
            field->clear();
        QTest::keyClicks(w.Text1, QStringLiteral("wma"));
        QTest::keyClicks(w.Text2, QStringLiteral("K1ABC W1AW"));
        QTest::keyClicks(w.Text5, QStringLiteral("Ada Byron"));
        QTest::keyClicks(w.Text6, QStringLiteral("12 Hill Road"));
        QTest::keyClicks(w.Text7, QStringLiteral("Hilltown MA 01000"));
        QTest::keyClicks(w.Text8, QStringLiteral("ada@example.org"));
        QTest::keyClicks(w.Text10, QStringLiteral("Hill Radio Club"));
        QTest::keyClicks(w.Text11, QStringLiteral("Fine conditions"));
        e.dialogs.files.push_back(path);
        QTest::mouseClick(w.Command4, Qt::LeftButton);
    });
    const QStringList lines = linesOf(path);
    for (const char *line :
         {"ARRL-SECTION: WMA", "OPERATORS: K1ABC W1AW", "CLUB: Hill Radio Club", "NAME: Ada Byron",
          "ADDRESS: 12 Hill Road", "ADDRESS: Hilltown MA 01000", "ADDRESS: (e-mail) ada@example.org",
          "SOAPBOX: Fine conditions"})
        EXPECT_TRUE(lines.contains(QLatin1String(line))) << line;

    const QString xml = QString::fromUtf8(
        readFile(QDir(Folders::dataFolders().shared).filePath(QStringLiteral("SharedUserPreferences.xml"))));
    for (const char *element :
         {"<OWN_ADDRESS_NAME>Ada Byron</OWN_ADDRESS_NAME>", "<OWN_ADDRESS_LINE1>12 Hill Road</OWN_ADDRESS_LINE1>",
          "<OWN_ADDRESS_LINE2>Hilltown MA 01000</OWN_ADDRESS_LINE2>", "<OWN_EMAIL>ada@example.org</OWN_EMAIL>",
          "<OWN_ARRL_SECTION>WMA</OWN_ARRL_SECTION>", "<OWN_CLUB_NAME>Hill Radio Club</OWN_CLUB_NAME>"})
        EXPECT_TRUE(xml.contains(QLatin1String(element))) << element;

    // The next time the window opens with the kept answers; the operators and
    // the soapbox belong to one contest and start empty.
    e.summarySheet([](Form2 &w) {
        EXPECT_EQ(w.Text1->text(), QStringLiteral("WMA"));
        EXPECT_EQ(w.Text5->text(), QStringLiteral("Ada Byron"));
        EXPECT_EQ(w.Text6->text(), QStringLiteral("12 Hill Road"));
        EXPECT_EQ(w.Text7->text(), QStringLiteral("Hilltown MA 01000"));
        EXPECT_EQ(w.Text8->text(), QStringLiteral("ada@example.org"));
        EXPECT_EQ(w.Text10->text(), QStringLiteral("Hill Radio Club"));
        EXPECT_TRUE(w.Text2->text().isEmpty());
        EXPECT_TRUE(w.Text11->toPlainText().isEmpty());
    });
}

TEST(Exports, AdifAndLogExpHoldTheLogAsItIsNow)
{
    auto records = contacts(2);
    records[1].umode = QStringLiteral("PH");
    records[1].rstr = records[1].rsts = QStringLiteral("59");
    Exports e(records);
    // Another PC logs a contact that this one has not loaded yet.
    e.log->add({qso(QStringLiteral("N3LATE"), QStringLiteral("1.3 G"), QStringLiteral("FM19"),
                    QStringLiteral("FN20"), QStringLiteral("CW"), QStringLiteral("2026/06/13"),
                    QStringLiteral("19:30:00"))});
    ASSERT_EQ(e.f->store.recordCount(), 2);

    const QString adi = e.work.filePath(QStringLiteral("contest.adi"));
    e.dialogs.inputs = {QStringLiteral("100"), QString(), QStringLiteral("usb")};
    e.dialogs.files.push_back(adi);
    e.f->mnuExportADIF->trigger();
    QStringList asked;
    for (const auto &s : e.dialogs.shown)
        if (s.kind == QLatin1String("input"))
            asked.append(s.title + u'=' + s.defaultText);
    EXPECT_EQ(asked, QStringList({QStringLiteral("Please enter your transmitter output power.="),
                                  QStringLiteral("Please enter a comment.=ARRL June VHF QSO Party"),
                                  QStringLiteral("Phone Mode?=SSB")}));
    EXPECT_EQ(e.dialogs.last(QStringLiteral("save")).defaultText,
              e.product() + QStringLiteral("/Halvern.adi"));
    const QString text = QString::fromUtf8(readFile(adi));
    EXPECT_EQ(text.count(QStringLiteral("<eor>")), 3);
    EXPECT_TRUE(text.contains(QStringLiteral("<Call:6>N3LATE ")));
    EXPECT_TRUE(text.contains(QStringLiteral("<Band:4>23CM")));
    EXPECT_TRUE(text.contains(QStringLiteral("<Mode:3>USB")));
    EXPECT_TRUE(text.contains(QStringLiteral("<Tx_Pwr:3>100 ")));
    EXPECT_EQ(e.dialogs.last().title, QStringLiteral("File Written Successfully."));
    EXPECT_EQ(e.dialogs.last().text, QStringLiteral("The file was successfully written to the directory:\r\n\r\n") +
                                         adi + u'.');

    e.log->add({qso(QStringLiteral("K4LAST"), QStringLiteral("432 M"), QStringLiteral("EM95"))});
    e.dialogs.clear();
    e.f->mnuOrreryExport->trigger();
    const QStringList lines = linesOf(e.work.filePath(QStringLiteral("LogExp.txt")));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines.contains(QStringLiteral(
        "\"N3LATE\",\"2026/06/13\",\"1.3\",\"CW\",,\"19:30:00\",\"599\",\"599\",,,,,\"FM19\",,,"
        "\"ARRL June VHF QSO Party\"")));
    EXPECT_EQ(e.dialogs.beeps, 1);
    EXPECT_EQ(e.dialogs.last().title, QStringLiteral("Export Successful!"));
    EXPECT_TRUE(e.dialogs.last().text.startsWith(
        QStringLiteral("LogExp.txt has been written to this program's working directory ") +
        QDir::toNativeSeparators(e.work.path())));
}

TEST(Combine, BackupAppendedWithOrWithoutTheDuplicateFilter)
{
    struct Case {
        const char *what;
        bool uncheck;                  // the operator clicks the filter off
        Dialogs::Answer confirm;       // and answers the question
        bool checkedAfter;
        int countAfter;
        const char *summary;
    };
    const Case cases[] = {
        {"filter on", false, Dialogs::Answer::No, true, 4,
         "1 contact was appended; 3 duplicates were left out."},
        {"filter off", true, Dialogs::Answer::Yes, false, 7, "4 contacts were appended."},
        {"filter off refused", true, Dialogs::Answer::No, true, 4,
         "1 contact was appended; 3 duplicates were left out."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto records = contacts(3);
        Exports e(records);
        // The backup of the same log, plus the first station worked again
        // from another own grid, which is a contact of its own.
        LogMirror backup;
        for (const QsoRecord &r : records)
            backup.append(r);
        QsoRecord moved = records[0];
        moved.grids = QStringLiteral("FN21");
        moved.fldtime = QStringLiteral("19:00:00");
        backup.append(moved);
        const QString file = e.work.filePath(QStringLiteral("BckUpLog.dat"));
        {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(LogStore::backupText(backup));
        }

        e.importWindow([&](frmImport &w) {
            EXPECT_EQ(w.windowTitle(), QStringLiteral("Append Data or Restore From Backup"));
            EXPECT_TRUE(w.Check1->isChecked());
            e.dialogs.files.push_back(file);
            QTest::mouseClick(w.Command3, Qt::LeftButton);
            EXPECT_EQ(w.Text1->text(), file);
            EXPECT_EQ(QApplication::focusWidget(), w.Command2);
            if (c.uncheck) {
                e.dialogs.answers.push_back(c.confirm);
                clickIndicator(w.Check1);
                EXPECT_EQ(e.dialogs.last().title, QStringLiteral("Are you sure"));
                EXPECT_EQ(e.dialogs.last().text,
                          QStringLiteral("Are you sure?  Once imported, duplicates can only be "
                                         "removed manually and will not be identified by the program."));
            }
            EXPECT_EQ(w.Check1->isChecked(), c.checkedAfter);
            QTest::mouseClick(w.Command2, Qt::LeftButton);
            EXPECT_EQ(e.dialogs.last().text, QLatin1String(c.summary));
            // The main window shows the appended contacts while the window
            // is still open.
            EXPECT_EQ(e.f->lblTotCon->text(), QString::number(c.countAfter));
            QTest::mouseClick(w.Command1, Qt::LeftButton);
            EXPECT_FALSE(w.isVisible());
        });
        EXPECT_EQ(e.log->count(), c.countAfter);
        EXPECT_EQ(e.f->store.recordCount(), c.countAfter);
    }
}

TEST(Combine, TheLogItselfAndForeignFilesAreRefused)
{
    Exports e;
    const QString notes = e.work.filePath(QStringLiteral("notes.txt"));
    const QString otherDb = e.work.filePath(QStringLiteral("spreadsheet.mdb"));
    for (const auto &[path, bytes] : {std::pair{notes, QByteArray("dear diary, fine weather\r\n")},
                                      std::pair{otherDb, QByteArray("PK\x03\x04 not a log at all")}}) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    QString shouted = e.log->path;
    shouted.replace(QStringLiteral("Halvern.MDB"), QStringLiteral("HALVERN.mdb"));

    struct Case {
        const char *what;
        QString path;
        QString title;
        QString text; // the message, or a part naming the file
        int beeps;
    };
    const QString same = QStringLiteral("You can not append the same file onto itself.");
    const Case cases[] = {
        {"the log itself", e.log->path, QStringLiteral("Invalid Request!"), same, 1},
        {"the log in other letters", shouted, QStringLiteral("Invalid Request!"), same, 1},
        {"a text file", notes, QStringLiteral("Nothing Appended"), notes, 0},
        {"another program's file", otherDb, QStringLiteral("Nothing Appended"), otherDb, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        e.dialogs.clear();
        e.importWindow([&](frmImport &w) {
            w.Text1->setFocus();
            QTest::keyClicks(w.Text1, c.path);
            QTest::mouseClick(w.Command2, Qt::LeftButton);
            EXPECT_EQ(e.dialogs.last().title, c.title);
            EXPECT_TRUE(e.dialogs.last().text.contains(c.text)) << e.dialogs.last().text.toStdString();
            EXPECT_EQ(e.dialogs.beeps, c.beeps);
            EXPECT_TRUE(w.isVisible());
        });
        EXPECT_EQ(e.log->count(), 3);
        EXPECT_EQ(e.f->store.recordCount(), 3);
    }
}

TEST(Archive, DatedCopyInTheBackupFolderWithTheLogKeptOpen)
{
    for (const bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancelled" : "copied");
        Exports e(contacts(3), {QStringLiteral("K1ABC/R"), 2, true});
        const int interval = e.f->Timer3->interval();
        const QString copy = Folders::dataFolders().backup + QStringLiteral("/K1ABC2026-06-13.mdb");
        e.dialogs.clear();
        if (!cancel)
            e.dialogs.files.push_back(copy);
        e.f->mnuArchive->trigger();

        EXPECT_EQ(e.dialogs.shown.at(0).title, QStringLiteral("Archive Information"));
        EXPECT_EQ(e.dialogs.last(QStringLiteral("save")).defaultText, copy);
        EXPECT_EQ(QFile::exists(copy), !cancel);
        if (!cancel) {
            EXPECT_EQ(rowsOf(copy), rowsOf(e.log->path));
        }
        EXPECT_FALSE(e.dialogs.sawTitle(QStringLiteral("Archive Failed")));
        EXPECT_TRUE(e.f->Timer3->isActive());
        EXPECT_EQ(e.f->Timer3->interval(), interval);

        // The window goes on working with the log.
        EXPECT_TRUE(e.f->store.isOpen());
        e.log->add({qso(QStringLiteral("K4LAST"), QStringLiteral("432 M"), QStringLiteral("EM95"))});
        e.f->mnuOpen->trigger();
        EXPECT_EQ(e.f->store.recordCount(), 4);
    }
}

TEST(Graph, OpensFromSevenContactsAndSwitchesItsBackground)
{
    for (const int n : {6, 7}) {
        SCOPED_TRACE(n);
        Exports e(contacts(n));
        e.f->mnuGraph->trigger();
        auto *graph = e.f->findChild<GraphQSO *>();
        if (n < 7) {
            EXPECT_EQ(e.dialogs.last().title, QStringLiteral("Not Enough Contacts to Graph."));
            EXPECT_EQ(e.dialogs.last().text,
                      QStringLiteral("The graph will not display with less than 7 contacts.  The "
                                     "graph becomes more meaningful as several hours of contest "
                                     "logging are accumulated."));
            EXPECT_TRUE(graph == nullptr || !graph->isVisible());
            continue;
        }
        ASSERT_NE(graph, nullptr);
        EXPECT_TRUE(graph->isVisible());
        EXPECT_EQ(graph->windowTitle(),
                  QStringLiteral(" Activity Graph - QSOs per Hour Rate   (# QSOs over 10 minutes X 6)"));
        EXPECT_EQ(graph->view->data().points.size(), 7u);
        EXPECT_EQ(graph->view->data().timeLabels.first(), QStringLiteral("18:00"));
        EXPECT_FALSE(e.dialogs.sawTitle(QStringLiteral("Not Enough Contacts to Graph.")));

        const QColor dark = graph->lblBnd[1]->palette().color(QPalette::WindowText);
        EXPECT_EQ(dark, ActivityGraphView::groupColor(1));

        // The axis labels: seven contacts a minute apart span six minutes;
        // the busiest rate, 42, tops the rate axis at 50 in steps of 10.
        auto label = [graph](const QString &name) {
            auto *l = graph->findChild<QLabel *>(name);
            EXPECT_NE(l, nullptr) << name.toStdString();
            return l;
        };
        const std::pair<const char *, const char *> texts[] = {
            {"lblTime_0", "18:00"},  {"lblTime_7", "18:03"}, {"lblTime_14", "18:06"},
            {"lblDate_0", "06/13"},  {"lblDate_14", "06/13"}, {"lblY_0", "0.0"},
            {"lblY_1", "10.0"},      {"lblY_5", "50.0"},      {"lblY_6", ""}};
        for (const auto &[name, text] : texts) {
            if (QLabel *l = label(QLatin1String(name))) {
                EXPECT_EQ(l->text(), QLatin1String(text)) << name;
            }
        }
        EXPECT_FALSE(graph->lblY[6]->isVisible());

        // Along the axes of the plot: times left to right under it, each date
        // under its time, rates right to left of it and rising.
        auto expectAlongTheAxes = [graph] {
            const QRect plot = graph->view->plotRect();
            ASSERT_FALSE(plot.isEmpty());
            const QRect inView = graph->view->rect();
            for (int j = 0; j < ActivityGraph::LabelCount; ++j) {
                const QRect time = graph->lblTime[j]->geometry();
                const QRect date = graph->lblDate[j]->geometry();
                EXPECT_TRUE(graph->lblTime[j]->isVisible()) << j;
                EXPECT_TRUE(inView.contains(time) && inView.contains(date)) << j;
                EXPECT_NEAR(time.center().x(), graph->view->timeAxisX(j), 1) << j;
                EXPECT_GT(time.top(), plot.bottom()) << j;
                EXPECT_GT(date.top(), time.bottom()) << j;
                if (j > 0) {
                    EXPECT_GT(time.left(), graph->lblTime[j - 1]->geometry().right()) << j;
                }
            }
            for (int i = 0; i <= 5; ++i) {
                const QRect rate = graph->lblY[i]->geometry();
                EXPECT_TRUE(graph->lblY[i]->isVisible()) << i;
                EXPECT_TRUE(inView.contains(rate)) << i;
                EXPECT_LT(rate.right(), plot.left()) << i;
                EXPECT_NEAR(rate.center().y(), graph->view->rateAxisY(i * 10), 1) << i;
            }
            EXPECT_NEAR(graph->lblY[0]->geometry().center().y(), plot.top() + plot.height(), 1);
            EXPECT_NEAR(graph->lblY[5]->geometry().center().y(), plot.top(), 1);
        };
        expectAlongTheAxes();

        struct Step {
            const char *caption;
            bool black;
            QColor ink;
        };
        for (const Step &s : {Step{"White Background", true, Qt::white},
                              Step{"Black Background", false, Qt::black}}) {
            QTest::mouseClick(graph->Command1, Qt::LeftButton);
            EXPECT_EQ(graph->Command1->text(), QLatin1String(s.caption));
            EXPECT_EQ(graph->view->blackBackground(), s.black);
            EXPECT_EQ(graph->Label1->palette().color(QPalette::WindowText), s.ink);
            for (QLabel *l : {graph->lblTime[0], graph->lblTime[14], graph->lblDate[7],
                              graph->lblY[0], graph->lblY[5]})
                EXPECT_EQ(l->palette().color(QPalette::WindowText), s.ink) << l->objectName().toStdString();
        }

        // A larger window moves the labels with the plot.
        const int lastX = graph->lblTime[14]->geometry().center().x();
        graph->resize(graph->width() + 200, graph->height() + 100);
        EXPECT_TRUE(QTest::qWaitFor(
            [graph, lastX] { return graph->lblTime[14]->geometry().center().x() > lastX; }));
        expectAlongTheAxes();

        // Opened again, it draws the log as it is then.
        e.log->add({qso(QStringLiteral("K4LAST"), QStringLiteral("10 G"), QStringLiteral("EM95"),
                        QStringLiteral("FN20"), QStringLiteral("CW"), QStringLiteral("2026/06/13"),
                        QStringLiteral("20:00:00"))});
        e.f->mnuOpen->trigger();
        e.f->mnuGraph->trigger();
        EXPECT_EQ(e.f->findChildren<GraphQSO *>().size(), 1);
        EXPECT_EQ(graph->view->data().points.size(), 8u);
        EXPECT_EQ(graph->view->data().points.back().group, 6);
        EXPECT_EQ(graph->lblTime[7]->text(), QStringLiteral("19:00"));
        EXPECT_EQ(graph->lblTime[14]->text(), QStringLiteral("20:00"));
    }
}
