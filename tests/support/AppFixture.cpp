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
    : window(w), contest(w.contest()), call(control<QLineEdit>(w, "txtCall")), received(control<QLineEdit>(w, "txtRSTR")),
      grid(control<QLineEdit>(w, "txtSec")), sent(control<QLineEdit>(w, "txtRSTS")),
      postTime(control<QLineEdit>(w, "txtPostConTime")), postDate(control<QLineEdit>(w, "txtPostConDate")),
      message(control<QLabel>(w, "lblDialog")), hint(control<QLabel>(w, "lblDupe")), newMark(control<QLabel>(w, "Label3")),
      ownCall(control<QLabel>(w, "Label2")), ownGrid(control<QLabel>(w, "Label4")), band(control<QLabel>(w, "Label21")),
      mode(control<QLabel>(w, "Label30")), onTime(control<QLabel>(w, "lblttrack")), contacts(control<QLabel>(w, "lblTotCon")),
      qsoPoints(control<QLabel>(w, "lblTotSec")), multipliers(control<QLabel>(w, "lblsectogo")),
      score(control<QLabel>(w, "lblTotScore")), rate60(control<QLabel>(w, "lblAQSO60")), rate20(control<QLabel>(w, "lblAQSO20")),
      bearing(control<QLabel>(w, "Label23")), distance(control<QLabel>(w, "Label24")),
      logOn(control<QPushButton>(w, "cmdLogOn")), clear(control<QPushButton>(w, "cmdClear")),
      partialDupes(control<QPushButton>(w, "cmdDup")), lastOrAll(control<QPushButton>(w, "cmdList")),
      bandFilter(control<QPushButton>(w, "Command3")), edit(control<QPushButton>(w, "cmdEdit")),
      remove(control<QPushButton>(w, "cmdDelete")), viewSwitch(control<QPushButton>(w, "Command2")),
      north(control<QPushButton>(w, "Command7")), south(control<QPushButton>(w, "Command4")),
      west(control<QPushButton>(w, "Command5")), east(control<QPushButton>(w, "Command6")),
      list(control<QTreeView>(w, "ListView1")), gridView(control<QWidget>(w, "gridView")),
      bandView(control<QWidget>(w, "bandView")), refreshTimer(control<QTimer>(w, "Timer3"))
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

bool AppFixture::start(Dialogs::Answer answer, std::function<bool(QWidget &)> prepare)
{
    MainWindow &f = create();
    f.show();
    const QString path = log->path;
    whenModal(QStringLiteral("frmStationID"), [prepare, path](QWidget *w) {
        QLineEdit *call = fieldOf(*w, "Text1");
        QLineEdit *grid = fieldOf(*w, "Text5");
        if (call->text().isEmpty())
            call->setText(QStringLiteral("K1ABC"));
        if (grid->text().isEmpty())
            grid->setText(QStringLiteral("FN20"));
        fieldOf(*w, "Text8")->setText(path);
        if (prepare && !prepare(*w))
            return;
        QTest::mouseClick(buttonOf(*w, "Command1"), Qt::LeftButton);
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
