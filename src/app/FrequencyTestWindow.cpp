#include "app/FrequencyTestWindow.h"

#include "app/Controls.h"
#include "platform/Dialogs.h"
#include "rig/RigCommands.h"
#include "rig/RigProtocol.h"
#include "rig/RigTuner.h"

#include <QCheckBox>
#include <QGridLayout>
#include <cmath>

using namespace Controls;

FrequencyTestWindow::FrequencyTestWindow(RigTuner &tuner, QWidget *parent) : QDialog(parent), m_tuner(tuner)
{
    setObjectName(QStringLiteral("frmFrequencyTest"));
    setWindowTitle(QStringLiteral("Test Change Frequency Function"));
    auto *grid = new QGridLayout(this);
    QLabel *help = label(this, "Label1",
                         QStringLiteral("Enter a complete command for your radio and click Send.  Radios that take "
                                        "hexadecimal commands: enter them as XX XX XX and check Convert to Hex."));
    help->setWordWrap(true);
    grid->addWidget(help, 0, 0, 1, 3);
    commandField = field(this, "Text1");
    commandField->setText(QStringLiteral("FA00028475000;"));
    grid->addWidget(commandField, 1, 0);
    hexBox = new QCheckBox(QStringLiteral("Convert to Hex"), this);
    hexBox->setObjectName(QStringLiteral("Check1"));
    grid->addWidget(hexBox, 1, 1);
    auto *sendCommandButton = button(this, "Command1", QStringLiteral("Send"));
    grid->addWidget(sendCommandButton, 1, 2);
    QLabel *help2 = label(this, "Label2",
                          QStringLiteral("For a supported radio, enter a frequency in MHz and click Send to switch "
                                         "the radio to it."));
    help2->setWordWrap(true);
    grid->addWidget(help2, 2, 0, 1, 3);
    frequencyField = field(this, "Text2", 20);
    grid->addWidget(frequencyField, 3, 0);
    auto *sendFrequencyButton = button(this, "Command2", QStringLiteral("Send"));
    grid->addWidget(sendFrequencyButton, 3, 2);
    auto *done = button(this, "cmdDone", QStringLiteral("&Done"));
    grid->addWidget(done, 4, 2);
    connect(sendCommandButton, &QPushButton::clicked, this, &FrequencyTestWindow::sendCommand);
    connect(sendFrequencyButton, &QPushButton::clicked, this, &FrequencyTestWindow::sendFrequency);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
}

void FrequencyTestWindow::sendCommand()
{
    const QString text = commandField->text().trimmed();
    if (!hexBox->isChecked()) {
        m_tuner.sendRaw(text.toLatin1());
        return;
    }
    if (const auto bytes = Rig::hexTextToBytes(text))
        m_tuner.sendRaw(*bytes);
    else
        msgBox(this, QStringLiteral("\"%1\" is not a row of two-digit hex values (XX XX XX); nothing was sent.").arg(text),
               QStringLiteral("Test Change Frequency Function"), Dialogs::Icon::Information);
}

void FrequencyTestWindow::sendFrequency()
{
    bool ok = false;
    const double mhz = frequencyField->text().trimmed().toDouble(&ok);
    if (ok && std::isfinite(mhz) && std::abs(mhz) < 1e6)
        m_tuner.changeFrequency(Rig::hzFromMHz(mhz));
}
