#include "support/ScriptedDialogs.h"

Dialogs::Answer ScriptedDialogs::message(QWidget *, const QString &title, const QString &text,
                                         Buttons buttons, Icon)
{
    Shown s{QStringLiteral("message"), title, text, QString()};
    shown.append(s);
    if (onShow)
        onShow(s);
    if (!answers.empty()) {
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return Answer::No;
    }
    return Answer::Ok;
}

QString ScriptedDialogs::input(QWidget *, const QString &title, const QString &prompt,
                               const QString &defaultText)
{
    Shown s{QStringLiteral("input"), title, prompt, defaultText};
    shown.append(s);
    if (onShow)
        onShow(s);
    if (inputs.empty())
        return QString();
    QString v = inputs.front();
    inputs.pop_front();
    return v;
}

QString ScriptedDialogs::openFile(QWidget *, const QString &title, const QString &filter,
                                  const QString &)
{
    shown.append({QStringLiteral("open"), title, filter, QString()});
    if (files.empty())
        return QString();
    QString v = files.front();
    files.pop_front();
    return v;
}

QString ScriptedDialogs::saveFile(QWidget *, const QString &title, const QString &filter,
                                  const QString &startPath)
{
    shown.append({QStringLiteral("save"), title, filter, startPath});
    if (files.empty())
        return QString();
    QString v = files.front();
    files.pop_front();
    return v;
}

std::optional<QColor> ScriptedDialogs::chooseColor(QWidget *, const QColor &initial)
{
    shown.append({QStringLiteral("color"), QString(), initial.name(), QString()});
    if (colors.empty())
        return std::nullopt;
    QColor c = colors.front();
    colors.pop_front();
    return c;
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
