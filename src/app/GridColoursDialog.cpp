#include "app/GridColoursDialog.h"

#include "app/Colors.h"
#include "platform/Dialogs.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Controls.h"

using namespace Controls;

GridColoursDialog::GridColoursDialog(quint32 worked, quint32 remaining, QWidget *parent)
    : QDialog(parent), m_worked(worked), m_remaining(remaining)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral(" Modify Multiplier Color Selections"));
    setModal(true);
    workedSample = label(this, "Label1", QStringLiteral("Appearance of multiplier worked"));
    remainingSample = label(this, "Label2", QStringLiteral("Appearance of multiplier remaining"));
    workedButton = new QPushButton(QStringLiteral("Change \"Worked\" Color"), this);
    workedButton->setObjectName(QStringLiteral("Command3"));
    remainingButton = new QPushButton(QStringLiteral("Change \"Remaining\" Color"), this);
    remainingButton->setObjectName(QStringLiteral("Command1"));
    doneButton = new QPushButton(QStringLiteral("Done"), this);
    doneButton->setObjectName(QStringLiteral("Command6"));
    auto *top = new QVBoxLayout(this);
    top->addWidget(workedSample);
    top->addWidget(workedButton);
    top->addWidget(remainingSample);
    top->addWidget(remainingButton);
    top->addWidget(doneButton);
    QFont f = workedSample->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    workedSample->setFont(f);
    remainingSample->setFont(f);
    paintSamples();
    connect(workedButton, &QPushButton::clicked, this, [this] { chooseColour(m_worked); });
    connect(remainingButton, &QPushButton::clicked, this, [this] { chooseColour(m_remaining); });
    connect(doneButton, &QPushButton::clicked, this, &QDialog::accept);
}

void GridColoursDialog::chooseColour(quint32 &colour)
{
    if (auto c = Dialogs::get().chooseColor(this, bgrColor(colour))) {
        colour = toBgr(*c);
        paintSamples();
    }
}

void GridColoursDialog::paintSamples()
{
    setTextColor(workedSample, bgrColor(m_worked));
    setTextColor(remainingSample, bgrColor(m_remaining));
}
