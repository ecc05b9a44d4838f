#include "app/frmImport.h"

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

frmImport::frmImport(LogStore &store, QWidget *parent) : QDialog(parent), m_store(store)
{
    using namespace Append;
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(Text::WindowTitle);
    setModal(true);

    Label2 = note(this, "Label2", Text::Warning1);
    Label3 = note(this, "Label3", Text::Warning2);
    Label4 = note(this, "Label4", Text::Warning3);
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    setTextColor(Label4, Qt::red);
    Label1 = note(this, "Label1", Text::PathLabel);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMinimumWidth(360);
    Label1->setBuddy(Text1);
    Command3 = button(this, "Command3", Text::BrowseButton);
    Command2 = button(this, "Command2", Text::AppendButton);
    Command1 = button(this, "Command1", Text::DoneButton);
    // Contacts the log already holds are left out unless the operator
    // insists otherwise.
    Check1 = new QCheckBox(Text::EliminateCheck, this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setChecked(true);

    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(Text1, 1);
    pathRow->addWidget(Command3);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Check1);
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto *top = new QVBoxLayout(this);
    top->addWidget(Label2);
    top->addWidget(Label3);
    top->addWidget(Label4);
    top->addSpacing(8);
    top->addWidget(Label1);
    top->addLayout(pathRow);
    top->addSpacing(8);
    top->addLayout(buttons);
    resize(560, sizeHint().height());

    connect(Command3, &QPushButton::clicked, this, &frmImport::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &frmImport::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Check1, &QCheckBox::clicked, this, &frmImport::Check1_Click);
}

void frmImport::Command3_Click()
{
    const QString f =
        Dialogs::get().openFile(this, Append::Text::WindowTitle, Append::Text::BrowseFilter, QString());
    if (f.isEmpty())
        return;
    Text1->setText(f);
    Command2->setFocus();
}

void frmImport::Check1_Click(bool checked)
{
    if (checked)
        return;
    const auto a = Dialogs::get().message(this, Append::Text::UncheckTitle,
                                          Append::Text::UncheckQuestion, Dialogs::Buttons::YesNo,
                                          Dialogs::Icon::Question);
    if (a != Dialogs::Answer::Yes)
        Check1->setChecked(true);
}

void frmImport::Command2_Click()
{
    using Status = Append::Result::Status;
    const Append::Result r = Append::appendFile(m_store, Text1->text(), Check1->isChecked());
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
    msgBox(this, Append::Text::done(r), Append::Text::DoneTitle, Dialogs::Icon::Information);
    activateWindow();
    Command1->setFocus();
}
