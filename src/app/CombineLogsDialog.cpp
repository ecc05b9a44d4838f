#include "app/CombineLogsDialog.h"

#include "app/Colors.h"
#include "export/Append.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Controls.h"

namespace {

using namespace Controls;

// The window's long notes wrap.
QLabel *note(QWidget *parent, const char *name, const QString &text)
{
    QLabel *l = label(parent, name, text);
    l->setWordWrap(true);
    return l;
}

} // namespace

CombineLogsDialog::CombineLogsDialog(LogStore &store, QWidget *parent) : QDialog(parent), m_store(store)
{
    using namespace Append;
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(Text::WindowTitle);
    setModal(true);

    appendsWarning = note(this, "Label2", Text::Warning1);
    clearFirstWarning = note(this, "Label3", Text::Warning2);
    carefulWarning = note(this, "Label4", Text::Warning3);
    QFont bold = carefulWarning->font();
    bold.setBold(true);
    carefulWarning->setFont(bold);
    setTextColor(carefulWarning, Qt::red);
    pathLabel = note(this, "Label1", Text::PathLabel);
    pathField = new QLineEdit(this);
    pathField->setObjectName(QStringLiteral("Text1"));
    pathField->setMinimumWidth(360);
    pathLabel->setBuddy(pathField);
    browseButton = button(this, "Command3", Text::BrowseButton);
    appendButton = button(this, "Command2", Text::AppendButton);
    doneButton = button(this, "Command1", Text::DoneButton);
    // Contacts the log already holds are left out unless the operator
    // insists otherwise.
    eliminateDuplicatesBox = new QCheckBox(Text::EliminateCheck, this);
    eliminateDuplicatesBox->setObjectName(QStringLiteral("Check1"));
    eliminateDuplicatesBox->setChecked(true);

    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(pathField, 1);
    pathRow->addWidget(browseButton);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(eliminateDuplicatesBox);
    buttons->addStretch();
    buttons->addWidget(appendButton);
    buttons->addWidget(doneButton);
    auto *top = new QVBoxLayout(this);
    top->addWidget(appendsWarning);
    top->addWidget(clearFirstWarning);
    top->addWidget(carefulWarning);
    top->addSpacing(8);
    top->addWidget(pathLabel);
    top->addLayout(pathRow);
    top->addSpacing(8);
    top->addLayout(buttons);
    resize(560, sizeHint().height());

    connect(browseButton, &QPushButton::clicked, this, &CombineLogsDialog::browseForFile);
    connect(appendButton, &QPushButton::clicked, this, &CombineLogsDialog::appendFile);
    connect(doneButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(eliminateDuplicatesBox, &QCheckBox::clicked, this, &CombineLogsDialog::confirmUnfiltered);
}

void CombineLogsDialog::browseForFile()
{
    const QString f =
        Dialogs::get().openFile(this, Append::Text::WindowTitle, Append::Text::BrowseFilter, QString());
    if (f.isEmpty())
        return;
    pathField->setText(f);
    appendButton->setFocus();
}

void CombineLogsDialog::confirmUnfiltered(bool checked)
{
    if (checked)
        return;
    const auto a = Dialogs::get().message(this, Append::Text::UncheckTitle,
                                          Append::Text::UncheckQuestion, Dialogs::Buttons::YesNo,
                                          Dialogs::Icon::Question);
    if (a != Dialogs::Answer::Yes)
        eliminateDuplicatesBox->setChecked(true);
}

void CombineLogsDialog::appendFile()
{
    using Status = Append::Result::Status;
    const Append::Result r = Append::appendFile(m_store, pathField->text(), eliminateDuplicatesBox->isChecked());
    switch (r.status) {
    case Status::SameFile:
        beep();
        msgBox(this, Append::Text::SameFileText, Append::Text::SameFileTitle);
        return;
    case Status::NotReadable:
    case Status::Failed:
        msgBox(this, r.error, Append::Text::FailedTitle, Dialogs::Icon::Warning);
        return;
    case Status::Appended:
        break;
    }
    if (reload)
        reload();
    msgBox(this, Append::Text::done(r), Append::Text::DoneTitle,
           r.refused.isEmpty() ? Dialogs::Icon::Information : Dialogs::Icon::Warning);
    activateWindow();
    doneButton->setFocus();
}
