#include "app/Form6.h"

#include "app/Colors.h"
#include "platform/Dialogs.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Form6::Form6(quint32 worked, quint32 remaining, QWidget *parent)
    : QDialog(parent), m_worked(worked), m_remaining(remaining)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral(" Modify Multiplier Color Selections"));
    setModal(true);
    Label1 = new QLabel(QStringLiteral("Appearance of multiplier worked"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("Appearance of multiplier remaining"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Command3 = new QPushButton(QStringLiteral("Change \"Worked\" Color"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command1 = new QPushButton(QStringLiteral("Change \"Remaining\" Color"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command6 = new QPushButton(QStringLiteral("Done"), this);
    Command6->setObjectName(QStringLiteral("Command6"));
    auto *top = new QVBoxLayout(this);
    top->addWidget(Label1);
    top->addWidget(Command3);
    top->addWidget(Label2);
    top->addWidget(Command1);
    top->addWidget(Command6);
    QFont f = Label1->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    Label1->setFont(f);
    Label2->setFont(f);
    paintSamples();
    connect(Command3, &QPushButton::clicked, this, [this] {
        if (auto c = Dialogs::get().chooseColor(this, bgrColor(m_worked))) {
            m_worked = toBgr(*c);
            paintSamples();
        }
    });
    connect(Command1, &QPushButton::clicked, this, [this] {
        if (auto c = Dialogs::get().chooseColor(this, bgrColor(m_remaining))) {
            m_remaining = toBgr(*c);
            paintSamples();
        }
    });
    connect(Command6, &QPushButton::clicked, this, &QDialog::accept);
}

void Form6::paintSamples()
{
    setTextColor(Label1, bgrColor(m_worked));
    setTextColor(Label2, bgrColor(m_remaining));
}
