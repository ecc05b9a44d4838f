#include "support/AppFixture.h"

#include <QTimer>

AppFixture::AppFixture()
{
    Folders::setWorkDir(work.path());
    Folders::setDataFolders(Folders::findDataFolders(work.filePath(QStringLiteral("Documents"))));
    // Local time equals UTC so that the UTC offset check asks nothing.
    const QDateTime t(QDate(2026, 6, 13), QTime(18, 30, 0));
    Clock::setFixed(t, t);
    log = std::make_unique<TempLog>();
}

AppFixture::~AppFixture()
{
    form.reset();
    Clock::useSystem();
}

MainWindow &AppFixture::create()
{
    if (!form)
        form = std::make_unique<MainWindow>();
    return *form;
}

MainView::MainView(MainWindow &w)
    : window(w), contest(w.contest()), call(ui<QLineEdit>(&w, "txtCall")), received(ui<QLineEdit>(&w, "txtRSTR")),
      grid(ui<QLineEdit>(&w, "txtSec")), sent(ui<QLineEdit>(&w, "txtRSTS")),
      postTime(ui<QLineEdit>(&w, "txtPostConTime")), postDate(ui<QLineEdit>(&w, "txtPostConDate")),
      message(ui<QLabel>(&w, "lblDialog")), hint(ui<QLabel>(&w, "lblDupe")), newMark(ui<QLabel>(&w, "Label3")),
      ownCall(ui<QLabel>(&w, "Label2")), ownGrid(ui<QLabel>(&w, "Label4")), band(ui<QLabel>(&w, "Label21")),
      mode(ui<QLabel>(&w, "Label30")), onTime(ui<QLabel>(&w, "lblttrack")), contacts(ui<QLabel>(&w, "lblTotCon")),
      qsoPoints(ui<QLabel>(&w, "lblTotSec")), multipliers(ui<QLabel>(&w, "lblsectogo")),
      score(ui<QLabel>(&w, "lblTotScore")), rate60(ui<QLabel>(&w, "lblAQSO60")), rate20(ui<QLabel>(&w, "lblAQSO20")),
      bearing(ui<QLabel>(&w, "Label23")), distance(ui<QLabel>(&w, "Label24")),
      logOn(ui<QPushButton>(&w, "cmdLogOn")), clear(ui<QPushButton>(&w, "cmdClear")),
      partialDupes(ui<QPushButton>(&w, "cmdDup")), lastOrAll(ui<QPushButton>(&w, "cmdList")),
      bandFilter(ui<QPushButton>(&w, "Command3")), edit(ui<QPushButton>(&w, "cmdEdit")),
      remove(ui<QPushButton>(&w, "cmdDelete")), viewSwitch(ui<QPushButton>(&w, "Command2")),
      north(ui<QPushButton>(&w, "Command7")), south(ui<QPushButton>(&w, "Command4")),
      west(ui<QPushButton>(&w, "Command5")), east(ui<QPushButton>(&w, "Command6")),
      list(ui<QTreeWidget>(&w, "ListView1")), gridView(ui<QWidget>(&w, "gridView")),
      bandView(ui<QWidget>(&w, "bandView")), refreshTimer(ui<QTimer>(&w, "Timer3"))
{
}

void AppFixture::writePrefs(const Station &s)
{
    ASSERT_TRUE(Preferences::save(s, work.path()));
}

void whenModal(const QString &objectName, std::function<void(QWidget *)> f)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    auto deadline = std::make_shared<QDeadlineTimer>(10000);
    QObject::connect(timer, &QTimer::timeout, [timer, objectName, f, deadline] {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w->objectName() == objectName && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            f(w);
        } else if (deadline->hasExpired()) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window " << objectName.toStdString();
            if (w)
                w->close();
        }
    });
    timer->start();
}

bool AppFixture::start(Dialogs::Answer answer, std::function<bool(frmStationID &)> prepare)
{
    MainWindow &f = create();
    f.show();
    const QString path = log->path;
    whenModal(QStringLiteral("frmStationID"), [prepare, path](QWidget *w) {
        auto *s = static_cast<frmStationID *>(w);
        if (s->Text1->text().isEmpty())
            s->Text1->setText(QStringLiteral("K1ABC"));
        if (s->Text5->text().isEmpty())
            s->Text5->setText(QStringLiteral("FN20"));
        s->Text8->setText(path);
        if (prepare && !prepare(*s))
            return;
        QTest::mouseClick(s->Command1, Qt::LeftButton);
    });
    dialogs.answers.push_back(answer);
    const bool ok = f.startUp();
    if (ok) {
        // The station window that just closed may still be the active one for
        // a moment; the operator's keys go to the main window.
        const bool active = QTest::qWaitFor(
            [&f] {
                if (QApplication::activeWindow() == &f)
                    return true;
                QApplication::setActiveWindow(&f);
                return false;
            },
            5000);
        if (!active)
            ADD_FAILURE() << "main window did not become active";
    }
    return ok;
}

void typeKeys(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
        if (c == u'\n')
            QTest::keyClick(target, Qt::Key_Return);
        else if (c == u'\t')
            QTest::keyClick(target, Qt::Key_Tab);
        else if (c == u' ')
            QTest::keyClick(target, Qt::Key_Space, Qt::NoModifier);
        else
            QTest::keyClicks(target, QString(c));
    }
}
