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

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmImport::frmImport(LogStore &store, QWidget *parent) : QDialog(parent), m_store(store)
{
    using namespace Append;
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(Text::WindowTitle);
    setModal(true);

    Label2 = label(this, "Label2", Text::Warning1);
    Label3 = label(this, "Label3", Text::Warning2);
    Label4 = label(this, "Label4", Text::Warning3);
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    setTextColor(Label4, Qt::red);
    Label1 = label(this, "Label1", Text::PathLabel);
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
