#include "support/ScriptedDialogs.h"

namespace {
// The next queued answer, or the fallback when none is left.
template <typename T> T take(std::deque<T> &queue, T fallback = T())
{
    if (queue.empty())
        return fallback;
    T v = queue.front();
    queue.pop_front();
    return v;
}
} // namespace

Dialogs::Answer ScriptedDialogs::message(QWidget *, const QString &title, const QString &text,
                                         Buttons buttons, Icon)
{
    Shown s{QStringLiteral("message"), title, text, QString()};
    shown.append(s);
    if (onShow)
        onShow(s);
    const bool yesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel;
    return take(answers, yesNo ? Answer::No : buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok);
}

QString ScriptedDialogs::input(QWidget *, const QString &title, const QString &prompt,
                               const QString &defaultText)
{
    Shown s{QStringLiteral("input"), title, prompt, defaultText};
    shown.append(s);
    if (onShow)
        onShow(s);
    const QString answer = take(inputs);
    return answer == CancelInput ? QString() : answer;
}

std::optional<QString> ScriptedDialogs::ask(QWidget *, const QString &title, const QString &prompt,
                                            const QString &defaultText)
{
    Shown s{QStringLiteral("input"), title, prompt, defaultText};
    shown.append(s);
    if (onShow)
        onShow(s);
    const QString answer = take(inputs);
    if (answer == CancelInput)
        return std::nullopt;
    return answer;
}

QString ScriptedDialogs::openFile(QWidget *, const QString &title, const QString &filter,
                                  const QString &)
{
    shown.append({QStringLiteral("open"), title, filter, QString()});
    return take(files);
}

QString ScriptedDialogs::saveFile(QWidget *, const QString &title, const QString &filter,
                                  const QString &startPath)
{
    shown.append({QStringLiteral("save"), title, filter, startPath});
    return take(files);
}

std::optional<QColor> ScriptedDialogs::chooseColor(QWidget *, const QColor &initial)
{
    shown.append({QStringLiteral("color"), QString(), initial.name(), QString()});
    if (colors.empty())
        return std::nullopt;
    return take(colors);
}

ScriptedDialogs::Shown ScriptedDialogs::last(const QString &kind) const
{
    for (qsizetype i = shown.size() - 1; i >= 0; --i)
        if (kind.isEmpty() || shown.at(i).kind == kind)
            return shown.at(i);
    return {};
}

bool ScriptedDialogs::sawTitle(const QString &title) const
{
    for (const Shown &s : shown)
        if (s.title == title)
            return true;
    return false;
}
