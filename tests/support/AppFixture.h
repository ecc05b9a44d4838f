#pragma once
// A main window started the way an operator starts it, on a log of its own in
// a temporary working folder, with the clock fixed and the dialogs scripted.
// It brings along what the window tests use to drive and read it.
#include "app/ClickableLabel.h"
#include "app/Colors.h"
#include "app/MainWindow.h"
#include "app/StationPanel.h"
#include "app/StationSetupDialog.h"
#include "log/Contest.h"
#include "log/Bands.h"
#include "log/Folders.h"
#include "platform/Clock.h"
#include "support/ScriptedDialogs.h"
#include "support/TestLog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

struct AppFixture {
    AppFixture();
    ~AppFixture();

    QTemporaryDir work;   // working folder and data folders
    ScriptedDialogs dialogs;
    std::unique_ptr<TempLog> log;
    std::unique_ptr<MainWindow> form;

    // Creates the window (not started).
    MainWindow &create();
    // Runs the start-up: the station window gets `prepare` called on it and
    // then Done (or nothing when `prepare` returns false, for tests that close
    // it themselves); "Open existing log?" is answered with `answer`.
    bool start(Dialogs::Answer answer = Dialogs::Answer::Yes,
               std::function<bool(QWidget &)> prepare = nullptr);
    // Writes a preferences file before the start.
    void writePrefs(const Station &s);
};

// A window's control found by its object name, as the operator knows it
// ("Text1", "cmdDone"); a missing one fails the test.
template <typename T> T *control(const QObject &window, const QString &name)
{
    T *c = window.findChild<T *>(name);
    if (!c)
        ADD_FAILURE() << "no control " << name.toStdString() << " in " << window.objectName().toStdString();
    return c;
}
inline QLineEdit *fieldOf(const QWidget &w, const char *name) { return control<QLineEdit>(w, name); }
inline QPushButton *buttonOf(const QWidget &w, const char *name) { return control<QPushButton>(w, name); }

// The main window's controls as the operator sees them, each found by its
// object name, with the contest behind them.
struct MainView {
    explicit MainView(MainWindow &w);
    MainWindow &window;
    Contest &contest;
    QLineEdit *call, *received, *grid, *sent, *postTime, *postDate;
    QLabel *message, *hint, *newMark, *ownCall, *ownGrid, *band, *mode, *onTime;
    QLabel *contacts, *qsoPoints, *multipliers, *score, *rate60, *rate20, *bearing, *distance;
    QPushButton *logOn, *clear, *partialDupes, *lastOrAll, *bandFilter, *edit, *remove, *viewSwitch;
    QPushButton *north, *south, *west, *east;
    QTreeView *list;
    QWidget *gridView, *bandView;
    QTimer *refreshTimer;

    QAction *menu(const QString &name) const { return control<QAction>(window, name); }
    QLabel *bandCount(int i) const { return control<QLabel>(window, Bands::row(i).countLabel); }
    QLabel *bandCaption(int i) const { return control<QLabel>(window, Bands::row(i).captionLabel); }
    QListWidget *gridList(int i) const { return control<QListWidget>(window, QStringLiteral("List%1").arg(i + 1)); }
    QLabel *square(int i) const { return control<QLabel>(window, QStringLiteral("lblGrid_%1").arg(i)); }
    QAction *bandItem(int i) const { return menu(Bands::row(i).menuItem); }
    // The operator's choices from the menus.
    void chooseBand(const QString &label) const { bandItem(Bands::indexOf(label))->trigger(); }
    void chooseCw() const { menu("mnuCW")->trigger(); }
    void choosePhone() const { menu("mnuPhone")->trigger(); }
    // One tick of the clocks.
    void tickClocks() const { control<StationPanel>(window, "stationPanel")->showClocks(); }
};

// Runs f on the next modal window of that object name once it is shown.
void whenModal(const QString &objectName, std::function<void(QWidget *)> f);

// The text colour a label shows.
inline QColor ink(QWidget *w) { return w->palette().color(QPalette::WindowText); }

// Types text into the focused widget with real key events.
void typeKeys(QWidget *w, const QString &text);
