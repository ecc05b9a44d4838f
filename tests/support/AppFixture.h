#pragma once
// A main window started the way an operator starts it, on a log of its own in
// a temporary working folder, with the clock fixed and the dialogs scripted.
// It brings along what the window tests use to drive and read it.
#include "app/ClickableLabel.h"
#include "app/Colors.h"
#include "app/Form1.h"
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
    std::unique_ptr<Form1> form;

    // Creates the window (not started).
    Form1 &create();
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
template <typename T> T *control(const QWidget &window, const char *name)
{
    T *c = window.findChild<T *>(QLatin1String(name));
    if (!c)
        ADD_FAILURE() << "no control " << name << " in " << window.objectName().toStdString();
    return c;
}
inline QLineEdit *fieldOf(const QWidget &w, const char *name) { return control<QLineEdit>(w, name); }
inline QPushButton *buttonOf(const QWidget &w, const char *name) { return control<QPushButton>(w, name); }

// Runs f on the next modal window of that object name once it is shown.
void whenModal(const QString &objectName, std::function<void(QWidget *)> f);

// The text colour a label shows.
inline QColor ink(QWidget *w) { return w->palette().color(QPalette::WindowText); }

// Types text into the focused widget with real key events.
void typeKeys(QWidget *w, const QString &text);
