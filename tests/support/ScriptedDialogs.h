#pragma once
// Dialogs for tests: every question is recorded with its exact title and text,
// and answered from what the test queued beforehand (or a default).
#include "platform/Dialogs.h"

#include <QColor>
#include <QList>
#include <QString>
#include <deque>
#include <functional>

class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString kind; // "message", "input", "open", "save", "color"
        QString title;
        QString text;
        QString defaultText;
    };

    ScriptedDialogs() { Dialogs::install(this); }
    ~ScriptedDialogs() override { Dialogs::install(nullptr); }

    // Queued answers, used in order; when empty: Ok/Yes-less default (Ok for
    // Ok boxes, No for Yes/No), empty input, no file, no colour.
    std::deque<Answer> answers;
    std::deque<QString> inputs;
    // Queued in inputs, cancels that input box.
    static inline const QString CancelInput = QStringLiteral("\x18cancel");
    std::deque<QString> files;
    std::deque<QColor> colors;
    // Called while a message box is "open" (for tests that act meanwhile).
    std::function<void(const Shown &)> onShow;

    QList<Shown> shown;
    int beeps = 0;

    Answer message(QWidget *, const QString &title, const QString &text, Buttons buttons,
                   Icon) override;
    QString input(QWidget *, const QString &title, const QString &prompt,
                  const QString &defaultText) override;
    std::optional<QString> ask(QWidget *, const QString &title, const QString &prompt,
                               const QString &defaultText) override;
    QString openFile(QWidget *, const QString &title, const QString &filter,
                     const QString &startPath) override;
    QString saveFile(QWidget *, const QString &title, const QString &filter,
                     const QString &startPath) override;
    std::optional<QColor> chooseColor(QWidget *, const QColor &initial) override;
    void beep() override { ++beeps; }

    // The last shown item of a kind, or an empty one.
    Shown last(const QString &kind = QString()) const;
    bool sawTitle(const QString &title) const;
    void clear()
    {
        shown.clear();
        beeps = 0;
    }
};
