// The voice keyer and the spoken prompts in the running program: the
// "Phone Wave Selections" window as the operator fills it in, F1 in phone
// mode with push-to-talk, Esc, the CQ loop, closing the program, and the
// prompts of voice navigation at each level.
#include "app/StationKeying.h"
#include "keying/VoiceNavigation.h"
#include "platform/AudioPlayer.h"
#include "platform/PortArbiter.h"
#include "platform/RecordingKeyLine.h"
#include "support/AppFixture.h"
#include "support/TestLog.h"
#include "support/Waves.h"
#include "support/WindowInput.h"

#include <QComboBox>
#include <QRadioButton>

namespace {
// The program in phone mode on 144 MHz; the radio's and the operator's
// players and the push-to-talk line note what they do in one log.
struct VoiceApp : AppFixture {
    QStringList log;
    std::unique_ptr<MainView> f;
    FakeWavePlayer *radio = nullptr;

    // wave2: the settings file found at the start; promptMs: how long each
    // prompt sounds (-1: until cut off).
    explicit VoiceApp(int navigationLevel = 0, const QByteArray &wave2 = {}, int promptMs = 0)
    {
        WavePlayer::setFactory([this, promptMs](WavePlayer::Output out) {
            auto p = std::make_unique<FakeWavePlayer>();
            p->log = &log;
            if (out == WavePlayer::Output::Radio)
                radio = p.get();
            else
                p->endAfterMs = promptMs;
            return p;
        });
        Station s;
        s.navigationLevel = navigationLevel;
        writePrefs(s);
        if (!wave2.isEmpty()) {
            QFile file(work.filePath("wave2.txt"));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(wave2);
        }
        EXPECT_TRUE(start());
        f = std::make_unique<MainView>(*form);
        control<StationKeying>(*form, "stationKeying")
            ->ports()
            .setFactory([this](PortRole, const KeyLineRequest &r, QString *) -> std::unique_ptr<KeyLine> {
                log << QStringLiteral("open %1").arg(r.portNumber);
                auto line = std::make_unique<RecordingKeyLine>(QStringLiteral("PTT"));
                line->onEdge = [this](const KeyEdge &e) { log << (e.down ? "PTT 1" : "PTT 0"); };
                return line;
            });
        f->chooseBand("144 M");
        f->choosePhone();
        f->call->setFocus();
        log.clear();
    }
    ~VoiceApp()
    {
        form.reset();
        useSilentPlayers();
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWidget *w = QApplication::focusWidget() ? QApplication::focusWidget() : f->call;
        QTest::keyClick(w, Qt::Key(k), m);
    }
    QWidget *phoneWindow() const { return form->findChild<QWidget *>("PhoneFrm"); }
};

// A settings file with these files in F1 and F2, push-to-talk on RTS of port
// 2, and the loop delay.
QByteArray wave2(const QString &f1, const QString &f2, const QString &loop = "0")
{
    return "\"" + f1.toUtf8() + "\"\r\n\"" + f2.toUtf8() + "\"\r\n" + QByteArray("\"\"\r\n").repeated(7) +
           "\"2\"\r\n0\r\n\"" + loop.toUtf8() + "\"\r\n\"&H378\"\r\n";
}
} // namespace

TEST(PhoneWindow, TheOperatorFillsItInAndDoneKeepsWave2)
{
    QTemporaryDir waves;
    const QString cq = waves.filePath("cq.wav"), call = waves.filePath("call.wav");
    QByteArray kept;
    {
        VoiceApp app;
        app.key(Qt::Key_P, Qt::ControlModifier);
        QWidget *w = app.phoneWindow();
        ASSERT_TRUE(w && w->isVisible());
        showActive(*w);
        EXPECT_EQ(w->windowTitle(), "Phone Wave Selections");
        EXPECT_TRUE(app.f->call->text().isEmpty());

        typeAndLeave(fieldOf(*w, "Text1"), cq);
        app.dialogs.files.push_back(call);
        buttonOf(*w, "cmdBrowse2")->click();
        EXPECT_EQ(fieldOf(*w, "Text2")->text(), call);
        EXPECT_EQ(app.dialogs.last("open").text, "(*.wav)|*.wav");
        buttonOf(*w, "cmdBrowse3")->click(); // cancelled: the slot stays as it was
        EXPECT_TRUE(fieldOf(*w, "Text3")->text().isEmpty());
        typeAndLeave(fieldOf(*w, "Text10"), "a4b"); // digits only; leaving opens the port
        EXPECT_EQ(fieldOf(*w, "Text10")->text(), "4");
        control<QRadioButton>(*w, "Option2")->setChecked(true);
        EXPECT_EQ(app.log, QStringList({"open 4", "open 4"}));
        typeAndLeave(fieldOf(*w, "Text11"), "&h2\"78");
        EXPECT_EQ(fieldOf(*w, "Text11")->text(), "&H278");
        typeAndLeave(fieldOf(*w, "txtPHLoop"), "75");
        EXPECT_EQ(fieldOf(*w, "txtPHLoop")->text(), "0");
        typeAndLeave(fieldOf(*w, "txtPHLoop"), "2.5");
        // The radio's sound card: the system's default unless one is chosen.
        auto *output = control<QComboBox>(*w, "cboOutput");
        EXPECT_EQ(output->currentText(), "(default output)");
        output->addItem("USB Audio CODEC");
        output->setCurrentText("USB Audio CODEC");
        buttonOf(*w, "cmdDone")->click();
        EXPECT_EQ(AudioPlayer::chosenDevice(), "USB Audio CODEC");
        EXPECT_FALSE(w->isVisible());
        kept = readAll(app.work.filePath("wave2.txt"));
        EXPECT_EQ(kept, "\"" + cq.toUtf8() + "\"\r\n\"" + call.toUtf8() + "\"\r\n" +
                            QByteArray("\"\"\r\n").repeated(7) + "\"4\"\r\n1\r\n\"2.5\"\r\n\"&H278\"\r\n");
    }
    // The next start reads them back into the window.
    VoiceApp again(0, kept);
    again.f->menu("mnuPhoneSetup")->trigger();
    QWidget *w = again.phoneWindow();
    ASSERT_TRUE(w);
    EXPECT_EQ(fieldOf(*w, "Text1")->text(), cq);
    EXPECT_EQ(fieldOf(*w, "Text10")->text(), "4");
    EXPECT_TRUE(control<QRadioButton>(*w, "Option2")->isChecked());
    EXPECT_EQ(fieldOf(*w, "txtPHLoop")->text(), "2.5");
    EXPECT_EQ(fieldOf(*w, "Text11")->text(), "&H278");
    EXPECT_EQ(control<QComboBox>(*w, "cboOutput")->currentText(), "USB Audio CODEC");
    AudioPlayer::chooseDevice(QString());
}

TEST(PhoneKeys, FunctionKeysPlayKeyedEscStopsAndEndingTheProgramReleases)
{
    QTemporaryDir waves;
    const QString cq = waves.filePath("cq.wav"), call = waves.filePath("call.wav");
    writeWave(cq, 2000);
    writeWave(call, 1000);
    VoiceApp app(0, wave2(cq, call, "0.05"));
    app.f->call->setText("W1AW");

    // Esc while playing stops the file and leaves the entry alone.
    app.key(Qt::Key_F2);
    app.key(Qt::Key_Escape);
    EXPECT_EQ(app.f->call->text(), "W1AW");
    EXPECT_EQ(app.log, QStringList({"open 2", "PTT 1", "play call.wav", "stop", "PTT 0"}));

    // "Test" plays F1; "Stop" ends the loop it armed.
    app.log.clear();
    app.f->menu("mnuPhoneSetup")->trigger();
    QWidget *w = app.phoneWindow();
    buttonOf(*w, "cmdTest")->click();
    EXPECT_TRUE(buttonOf(*w, "cmdStop")->isVisible());
    buttonOf(*w, "cmdStop")->click();
    EXPECT_FALSE(buttonOf(*w, "cmdStop")->isVisible());
    app.radio->reachEnd();
    EXPECT_EQ(app.log, QStringList({"PTT 1", "play cq.wav", "PTT 0"}));

    // Ctrl+C or kill, and closing the program, while a file plays let go of
    // push-to-talk.
    app.log.clear();
    app.key(Qt::Key_F2);
    app.form->endOnSignal();
    EXPECT_EQ(app.log, QStringList({"PTT 1", "play call.wav", "stop", "PTT 0"}));
    app.log.clear();
    app.key(Qt::Key_F2);
    app.form.reset();
    EXPECT_EQ(app.log, QStringList({"PTT 1", "play call.wav", "stop", "PTT 0"}));
}

TEST(VoiceNavigation, PromptsFollowTheFocusAtEachLevelAndDupeIsAlwaysSpoken)
{
    const std::tuple<int, QStringList, QStringList> cases[] = {
        {0, {}, {"play Dupe.wav"}},
        {1, {"play Call.wav"}, {"play Dupe.wav", "play Call.wav"}},
        {2, {"play Call.wav", "play RstRcvd.wav", "play Grid.wav", "play RstSnt.wav"},
         {"play Dupe.wav", "play Call.wav"}},
    };
    for (const auto &[level, fieldPrompts, dupePrompts] : cases) {
        SCOPED_TRACE(level);
        VoiceApp app(level);
        typeKeys(app.f->call, "W1AW FN31\n");
        ASSERT_EQ(app.f->contacts->text(), "1");
        app.f->sent->setFocus();
        app.log.clear();
        for (QLineEdit *field : {app.f->call, app.f->received, app.f->grid, app.f->sent})
            field->setFocus();
        app.log.removeAll("stop");
        EXPECT_EQ(app.log, fieldPrompts);
        // The same contact again is a dupe.
        app.log.clear();
        app.f->call->setText("W1AW");
        app.f->received->setText("59");
        app.f->sent->setText("59");
        app.f->grid->setText("FN31");
        QTest::keyClick(app.f->grid, Qt::Key_Return);
        EXPECT_TRUE(app.f->message->text().startsWith("Dupe: W1AW"));
        app.log.removeAll("stop");
        EXPECT_EQ(app.log, dupePrompts);
    }
}

TEST(VoiceNavigation, TheWindowSpeaksEachLevelAndDoneKeepsIt)
{
    VoiceApp app(0);
    app.f->menu("mnuVoiceNavigation")->trigger();
    auto *w = app.form->findChild<QWidget *>("BlindFrm");
    ASSERT_TRUE(w && w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Voice Navigation Settings");
    EXPECT_EQ(control<QLabel>(*w, "Label1")->text(),
              "Put the audio wave files in this program's working directory: " + app.work.path());
    EXPECT_TRUE(control<QRadioButton>(*w, "Option1")->isChecked());
    const std::pair<const char *, QStringList> choices[] = {
        {"Option3", {"play NavEn.wav"}},
        {"Option2", {"play NavEn.wav", "play Call.wav"}},
        {"Option1", {"play NavDis.wav"}},
        {"Option2", {"play NavEn.wav", "play Call.wav"}},
    };
    for (const auto &[option, prompts] : choices) {
        app.log.clear();
        control<QRadioButton>(*w, option)->click();
        app.log.removeAll("stop");
        EXPECT_EQ(app.log, prompts) << option;
    }
    buttonOf(*w, "cmdDone")->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(app.f->contest.station().navigationLevel, 1);
    Station kept;
    Preferences::parse(readAll(app.work.filePath(Preferences::FileName)), kept);
    EXPECT_EQ(kept.navigationLevel, 1);
}

TEST(VoiceNavigation, TheOperatorsFilesWinAndMissingOnesAreSilent)
{
    QTemporaryDir own;
    writeWave(own.filePath("Call.wav"), 300);
    QStringList log;
    FakeWavePlayer player;
    player.log = &log;
    PromptSpeaker speaker(player, {own.path()});
    speaker.speak("Call");
    speaker.speak("Grid");
    speaker.speak("NoSuchPrompt");
    speaker.speak("");
    ASSERT_GE(player.played.size(), 1);
    EXPECT_EQ(player.played[0], own.filePath("Call.wav"));
    // The prompts that come with the program stand in for the operator's.
    if (QFile::exists(":/prompts/Grid.wav")) {
        ASSERT_EQ(player.played.size(), 2);
        EXPECT_EQ(QFileInfo(player.played[1]).fileName(), "Grid.wav");
        EXPECT_NE(QFileInfo(player.played[1]).path(), own.path());
        EXPECT_GT(waveDurationMs(player.played[1]).value_or(0), 100);
    }
    EXPECT_FALSE(speaker.isSpeaking()) << "a missing prompt cut off the one playing and stayed silent";
}
