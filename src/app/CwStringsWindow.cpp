#include "app/CwStringsWindow.h"

#include "app/ClickableLabel.h"
#include "app/Controls.h"
#include "keying/CwKeyer.h"

#include <QEvent>
#include <QGridLayout>
#include <QVBoxLayout>

using namespace Controls;

CwStringsWindow::CwStringsWindow(CwKeyer &keyer, QWidget *parent) : QDialog(parent), m_keyer(keyer)
{
    setObjectName(QStringLiteral("frmCWStrings"));
    setWindowTitle(QStringLiteral("CW Strings"));
    auto *grid = new QGridLayout;
    for (int i = 0; i < 12; ++i) {
        auto *key = new ClickableLabel(QStringLiteral("F%1").arg(i + 1), this);
        key->setObjectName(QStringLiteral("lblKey"));
        auto *message = new ClickableLabel(QString(), this);
        message->setObjectName(QStringLiteral("lblCWString"));
        message->setMinimumWidth(240);
        keyLabels[size_t(i)] = key;
        messageLabels[size_t(i)] = message;
        grid->addWidget(key, i, 0);
        grid->addWidget(message, i, 1);
        connect(key, &ClickableLabel::clicked, this, [this, i] { rowClicked(i); });
        connect(message, &ClickableLabel::clicked, this, [this, i] { rowClicked(i); });
    }
    messageLabels[11]->setText(QStringLiteral("Keyboard"));
    doneButton = button(this, "cmdDone", QStringLiteral("Done"));
    connect(doneButton, &QPushButton::clicked, this, &QWidget::showMinimized);
    auto *all = new QVBoxLayout(this);
    all->addLayout(grid);
    all->addWidget(label(this, "lblHint", QStringLiteral("Press Ctrl W to Show this form.")));
    all->addWidget(doneButton, 0, Qt::AlignRight);
    refresh();
}

void CwStringsWindow::refresh()
{
    for (int i = 0; i < CwSettings::MessageCount; ++i)
        messageLabels[size_t(i)]->setText(m_keyer.settings.messages[size_t(i)]);
}

void CwStringsWindow::rowClicked(int i)
{
    int code = CwKeyer::F1 + i;
    if (code == 121)
        code = CwKeyer::F10;
    if (code == 123 || m_keyer.settings.output == KeyingOutput::None)
        return;
    m_keyer.sendMessage(code);
}

bool CwStringsWindow::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show)
        refresh();
    return QDialog::event(e);
}
