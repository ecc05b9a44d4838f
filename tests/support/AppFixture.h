#pragma once
// A main window started the way an operator starts it, on a log of its own in
// a temporary working folder, with the clock fixed and the dialogs scripted.
#include "app/Form1.h"
#include "support/ScriptedDialogs.h"
#include "support/TestLog.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "app/frmStationID.h"

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
               std::function<bool(frmStationID &)> prepare = nullptr);
    // Writes a preferences file before the start.
    void writePrefs(const Station &s);
};

// Runs f on the next modal window of type T once it is shown.
void whenModal(const QString &objectName, std::function<void(QWidget *)> f);

// Types text into the focused widget with real key events.
void typeKeys(QWidget *w, const QString &text);
