// The CW setup window and code practice, driven as the operator does.
#include "app/CodePracticeWindow.h"
#include "app/ClickableLabel.h"
#include "app/CwSetupWindow.h"
#include "app/CwStringsWindow.h"
#include "support/KeyingRig.h"
#include "support/ScriptedDialogs.h"
#include "support/TestLog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
template <typename T> T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// Shows a window as the active one, so that its fields take the focus.
void showActive(QWidget &w)
{
    w.show();
    QApplication::setActiveWindow(&w);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
}

// Types into a field and leaves it with Tab.
void typeAndLeave(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
}

// Clicks an option or check box on its indicator, as only the indicator
// and the caption take clicks.
void choose(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); }

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

TEST(CwSetupWindow, FieldsEditTheSettingsAndDoneKeepsThem)
{
    QTemporaryDir dir;
    KeyingRig rig;
    rig.keyer.settings.output = KeyingOutput::None;
    CwSetupWindow w(rig.keyer, dir.filePath("CW.txt"));
    showActive(w);
    EXPECT_EQ(child<QLineEdit>(w, "Text9")->text(), "VVV DE ");
    EXPECT_EQ(child<QLineEdit>(w, "Text14")->text(), "&H378");

    typeAndLeave(child<QLineEdit>(w, "Text2"), "tu $ \"k");
    typeAndLeave(child<QLineEdit>(w, "Text13"), "agn?");
    typeAndLeave(child<QLineEdit>(w, "Text11"), "2a5");
    typeAndLeave(child<QLineEdit>(w, "Text10"), "1:");  // no number: back to 0
    typeAndLeave(child<QLineEdit>(w, "txtSpace"), "-9"); // held at -8 as typed
    typeAndLeave(child<QLineEdit>(w, "txtCWLoop"), "75"); // 60 s or more: 0
    choose(child<QCheckBox>(w, "Check1"));
    QTest::mouseClick(child<QPushButton>(w, "cmdMore"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(w, "cmdFaster"), Qt::LeftButton);
    choose(child<QRadioButton>(w, "optDTR"));
    choose(child<QRadioButton>(w, "OptSleep"));
    EXPECT_FALSE(child<QLineEdit>(w, "txtLoop")->isEnabled());

    const CwSettings &s = rig.keyer.settings;
    EXPECT_EQ(s.messages[1], "TU $ K");
    EXPECT_EQ(s.messages[CwSettings::F11], "AGN?");
    EXPECT_EQ(child<QLineEdit>(w, "Text11")->text(), "26");
    EXPECT_EQ(s.wpm, "26");
    EXPECT_EQ(s.port, "0");
    EXPECT_EQ(s.wordSpace, "-7");
    EXPECT_EQ(s.loopDelay, "0");
    EXPECT_TRUE(s.displayText);
    EXPECT_EQ(s.output, KeyingOutput::Dtr);
    EXPECT_EQ(s.method, TimingMethod::Sleep);

    QSignalSpy strings(&w, &CwSetupWindow::stringsWindowWanted);
    QTest::mouseClick(child<QPushButton>(w, "cmdDone"), Qt::LeftButton);
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
    QLabel *sending = child<QLabel>(w, "lblSending");
    bool shownWhileSending = false;
    atPause(rig.keyer, [] { return true; }, [&] { shownWhileSending = sending->isVisible(); });
    QTest::mouseClick(child<QPushButton>(w, "cmdTest"), Qt::LeftButton);
    EXPECT_EQ(rig.decoded().text, "VVV DE");
    EXPECT_TRUE(shownWhileSending);
    EXPECT_FALSE(sending->isVisible());

    // Loop timing: calibrated when first chosen, then adjusted by hand.
    choose(child<QRadioButton>(w, "optLoop"));
    QLineEdit *loops = child<QLineEdit>(w, "txtLoop");
    EXPECT_TRUE(loops->isEnabled());
    EXPECT_GT(rig.keyer.settings.loopOffset, 0);
    loops->setText("1000");
    QTest::mouseClick(child<QPushButton>(w, "cmdLoopFaster"), Qt::LeftButton);
    EXPECT_EQ(loops->text(), "900");
    QTest::mouseClick(child<QPushButton>(w, "cmdLoopSlower"), Qt::LeftButton);
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
    QTest::mouseClick(child<QPushButton>(w, "cmdCodePractice"), Qt::LeftButton);
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
    QTest::mouseClick(child<QPushButton>(w, "cmdDone"), Qt::LeftButton);
    EXPECT_TRUE(w.isMinimized());
}

TEST(CodePractice, GroupsAreBoundedAndLettersOnlyMeansLetters)
{
    KeyingRig rig;
    CodePracticeWindow w(rig.keyer);
    w.show();
    QLineEdit *count = child<QLineEdit>(w, "Text3"), *size = child<QLineEdit>(w, "Text4");
    QPlainTextEdit *text = child<QPlainTextEdit>(w, "Text1");
    struct Case {
        const char *count, *size;
        bool lettersOnly;
        const char *countAfter, *sizeAfter;
    } cases[] = {{"10", "5", false, "10", "5"}, {"x", "", true, "10", "5"},
                 {"5000", "0", true, "1000", "1"}, {"2", "99", false, "2", "50"}};
    for (const Case &c : cases) {
        count->setText(c.count);
        size->setText(c.size);
        choose(child<QRadioButton>(w, c.lettersOnly ? "Option1" : "Option2"));
        QTest::mouseClick(child<QPushButton>(w, "cmdGenerate"), Qt::LeftButton);
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
    QPlainTextEdit *text = child<QPlainTextEdit>(w, "Text1"), *sent = child<QPlainTextEdit>(w, "Text2");

    // Stop during sending: "Text Sent" shows exactly what was keyed.
    text->setFocus();
    QTest::keyClicks(text, "ab-de");
    EXPECT_EQ(text->toPlainText(), "AB-DE");
    atPause(rig.keyer, [&] { return sent->toPlainText().size() == 3; },
            [&] { QTest::mouseClick(child<QPushButton>(w, "cmdStop"), Qt::LeftButton); });
    QTest::mouseClick(child<QPushButton>(w, "cmdSend"), Qt::LeftButton);
    EXPECT_EQ(sent->toPlainText(), "AB-");
    EXPECT_EQ(rig.decoded().text, "AB="); // "-" goes out as BT

    // The typing box sends at once, keeps nothing, and Backspace takes back
    // the last character not yet sent.
    QTest::mouseClick(child<QPushButton>(w, "cmdClearSent"), Qt::LeftButton);
    rig.edges.clear();
    QLineEdit *typing = child<QLineEdit>(w, "Text5");
    typing->setFocus();
    atPause(rig.keyer, [] { return true; }, [&] {
        QTest::keyClicks(typing, "qx");
        QTest::keyClick(typing, Qt::Key_Backspace);
    });
    QTest::keyClicks(typing, "c");
    EXPECT_EQ(rig.decoded().text, "CQ");
    EXPECT_EQ(sent->toPlainText(), "CQ");
    EXPECT_EQ(typing->text(), "");

    QTest::mouseClick(child<QPushButton>(w, "cmdFaster"), Qt::LeftButton);
    EXPECT_EQ(child<QLabel>(w, "Label8")->text(), "21");
}
