#pragma once
// The one door through which every window asks the operator something: message
// boxes, input boxes, file choosers and the colour chooser. The program uses
// the real Qt dialogs; tests install their own answers and read back the exact
// titles and texts that were shown.
#include <QColor>
#include <QString>
#include <optional>

class QWidget;

class Dialogs {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;

    virtual Answer message(QWidget *parent, const QString &title, const QString &text,
                           Buttons buttons = Buttons::Ok, Icon icon = Icon::None) = 0;
    // An input box. Cancel gives an empty text, as the program has always
    // treated it.
    virtual QString input(QWidget *parent, const QString &title, const QString &prompt,
                          const QString &defaultText = QString()) = 0;
    // An input box whose Cancel is told apart from an empty answer: nothing
    // when the operator cancelled.
    virtual std::optional<QString> ask(QWidget *parent, const QString &title, const QString &prompt,
                                       const QString &defaultText = QString()) = 0;
    // File choosers take filters in the "(*.MDB)|*.MDB|(All Files)|*.*" form.
    // An empty result means the operator cancelled.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &filter,
                             const QString &startPath = QString()) = 0;
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                             const QString &startPath = QString()) = 0;
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) = 0;
    virtual void beep() = 0;

    // The dialogs in use; the real ones unless a test installed others.
    static Dialogs &get();
    // Installs d (not owned); nullptr returns to the real dialogs.
    static void install(Dialogs *d);
};

// "(*.MDB)|*.MDB|(All Files)|*.*" -> "(*.MDB) (*.MDB);;(All Files) (*)"
QString qtFileFilter(const QString &pipeFilter);

// Convenience for the common cases.
inline void msgBox(QWidget *parent, const QString &text, const QString &title,
                   Dialogs::Icon icon = Dialogs::Icon::None)
{
    Dialogs::get().message(parent, title, text, Dialogs::Buttons::Ok, icon);
}
inline void beep() { Dialogs::get().beep(); }
