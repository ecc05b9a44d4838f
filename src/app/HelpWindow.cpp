#include "app/HelpWindow.h"

#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Halvern Help"));
    textView = new QPlainTextEdit(this);
    textView->setObjectName(QStringLiteral("txtHelp"));
    textView->setReadOnly(true);
    textView->setPlainText(helpText());
    saveButton = new QPushButton(QStringLiteral("&Save to File"), this);
    saveButton->setObjectName(QStringLiteral("cmdSave"));
    closeButton = new QPushButton(QStringLiteral("&Close"), this);
    closeButton->setObjectName(QStringLiteral("cmdClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto *top = new QVBoxLayout(this);
    top->addWidget(textView, 1);
    top->addLayout(buttons);
    resize(640, 520);
    connect(saveButton, &QPushButton::clicked, this, &HelpWindow::saveToFile);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
}

void HelpWindow::saveToFile()
{
    const QString path = Dialogs::get().saveFile(this, QStringLiteral("Save Help Text"),
                                                 QStringLiteral("(*.txt)|*.txt|(All Files)|*.*"),
                                                 QStringLiteral("HalvernHelp.txt"));
    if (path.isEmpty())
        return;
    QString why;
    QString t = helpText();
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    if (!writeFileAtomically(path, t.toUtf8(), &why))
        msgBox(this, QStringLiteral("The help text could not be saved to ") + path + QStringLiteral(": ") + why,
               QStringLiteral("File Error"));
}

QString HelpWindow::helpText()
{
    return QStringLiteral(
        "HALVERN - VHF, UHF AND MICROWAVE CONTEST LOGGER\n"
        "\n"
        "STARTING\n"
        "At start the station window asks for your call, grid, UTC offset, position, the contest "
        "and whether you are a fixed station or a rover, and the path of the log file. Every PC "
        "of a multi-operator station logs into the same log file: the PC that holds it uses a "
        "local path, the others the path of the shared folder. Then answer \"Open existing "
        "log?\": Yes continues the log, No erases it after you type YES.\n"
        "\n"
        "LOGGING A CONTACT\n"
        "Choose the band and mode from the Band and Mode menus (or click the band labels of the "
        "score panel and the mode label). Type the call; a digit typed after a complete call "
        "jumps to the report field, a letter typed after the report jumps to the grid field. "
        "Space and Tab move to the next field. Enter in any field logs the contact with band, "
        "mode, own grid and UTC date and time. Clear (Alt+C) empties the fields.\n"
        "\n"
        "DUPES\n"
        "While you type a call, calls already worked on this band from your grid are shown as "
        "possible duplicates (the On/Off button switches this). Leaving the call field offers "
        "the grid the station sent before and warns \"Duplicate Unless Rover!\" when the same "
        "contact is already in the log. When you press Enter the shared log itself is checked "
        "and a dupe is refused.\n"
        "\n"
        "SCORE AND GRIDS\n"
        "The score panel shows contacts, QSO points, multipliers and the score of the chosen "
        "contest, the rates of the last 20 and 60 minutes and the grids worked on each band. "
        "View Grids switches to the grid map around your square; click a square to put it into "
        "the grid field, hover over it for its per-band counts.\n"
        "\n"
        "CONTACT LIST\n"
        "The list shows the last 20 contacts (or all) on all bands (or the current one). Select "
        "a contact to edit or delete it; a right-button press opens the editor. Recall puts the "
        "last contact back into the entry fields.\n"
        "\n"
        "OPTIONS\n"
        "Refresh Rate sets how often (6000 to 60000 ms) the log is checked for contacts logged "
        "by the other PCs; dupe checking always uses the log itself. Form Size sets how much of "
        "the screen the window covers. RST > Don't Record skips the report fields. Post Contest "
        "Mode lets you enter the date and time of contacts from paper logs.\n"
        "\n"
        "FILES\n"
        "The preferences are kept in vhfPrfNT.txt in the working folder, together with the text "
        "backup BckUpLog.dat, which is rewritten on every 16th refresh.\n");
}
