#include "app/NetworkStatusWindow.h"

#include "app/Colors.h"
#include "app/Controls.h"
#include "log/Bands.h"
#include "net/StationNetwork.h"
#include "platform/ComputerBrowser.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

NetworkStatusWindow::NetworkStatusWindow(StationNetwork &network, QWidget *parent)
    : QWidget(parent, Qt::Window), m_network(network)
{
    setObjectName(QStringLiteral("frmNetwork"));
    setWindowTitle(QStringLiteral("Network Status Display"));

    auto *grid = new QGridLayout;
    grid->setSpacing(2);
    static const char *const rowCaptions[] = {"PH:", "CW:", "DIG:"};
    static const char *const rowNames[] = {"lblBandSSB_%1", "lblBandCW_%1", "lblBandDIG_%1"};
    for (int row = 0; row < 3; ++row)
        grid->addWidget(new QLabel(QLatin1String(rowCaptions[row]), this), row + 1, 0);
    for (int col = 0; col < StatusGrid::Columns; ++col) {
        QLabel *header = Controls::label(this, "", Bands::label(col));
        header->setObjectName(QStringLiteral("lblBndHdr_%1").arg(col));
        header->setAlignment(Qt::AlignCenter);
        grid->addWidget(header, 0, col + 1);
        for (int row = 0; row < 3; ++row) {
            QLabel *cell = Controls::label(this, "");
            cell->setObjectName(QString::fromLatin1(rowNames[row]).arg(col));
            cell->setAlignment(Qt::AlignCenter);
            cell->setMinimumSize(56, 22);
            cell->setFrameShape(QFrame::Box);
            m_cells[col][row] = cell;
            grid->addWidget(cell, row + 1, col + 1);
        }
    }

    m_status = Controls::label(this, "lblStatus", QStringLiteral("Ready"));
    m_server = Controls::label(this, "lblServer", network.serverName());
    m_stationName = Controls::field(this, "Text1");
    m_stationName->setText(network.stationName());
    m_recipient = Controls::field(this, "Text3");
    m_messageField = Controls::field(this, "txtSendData");
    m_messageField->installEventFilter(this);
    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("txtOutput"));
    m_log->setReadOnly(true);
    m_computers = new QListWidget(this);
    m_computers->setObjectName(QStringLiteral("List2"));
    auto *listPcs = Controls::button(this, "Command4", QStringLiteral("List Network PCs"));
    auto *sync = Controls::button(this, "Command3", QStringLiteral("Sync Clocks"));
    auto *send = Controls::button(this, "Command1", QStringLiteral("Send Data"));
    auto *done = Controls::button(this, "Command2", QStringLiteral("&Done"));
    m_enabled = new QCheckBox(QStringLiteral("Functions Enabled"), this);
    m_enabled->setObjectName(QStringLiteral("Check1"));

    auto *names = new QGridLayout;
    names->addWidget(new QLabel(QStringLiteral("This Station's Name"), this), 0, 0);
    names->addWidget(m_stationName, 1, 0);
    names->addWidget(new QLabel(QStringLiteral("Message To:  (Blank to Send Broadcast)"), this), 0, 1);
    names->addWidget(m_recipient, 1, 1);
    names->addWidget(new QLabel(QStringLiteral("Server:"), this), 0, 2);
    names->addWidget(m_server, 1, 2);
    auto *left = new QVBoxLayout;
    left->addLayout(names);
    left->addWidget(new QLabel(QStringLiteral("Type message to send and press enter:"), this));
    left->addWidget(m_messageField);
    left->addWidget(m_log, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(m_computers, 1);
    right->addWidget(listPcs);
    right->addWidget(sync);
    right->addWidget(send);
    right->addWidget(m_enabled);
    right->addWidget(done);
    auto *lower = new QHBoxLayout;
    lower->addLayout(left, 3);
    lower->addLayout(right, 1);
    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(m_status);
    top->addLayout(lower, 1);
    resize(980, 520);

    m_log->setPlainText(helpText(network.serverName()));
    showGrid();

    connect(&network, &StationNetwork::gridChanged, this, &NetworkStatusWindow::showGrid);
    connect(&network, &StationNetwork::statusShown, m_status, &QLabel::setText);
    connect(&network, &StationNetwork::serverNameShown, m_server, &QLabel::setText);
    connect(&network, &StationNetwork::logAppended, this, &NetworkStatusWindow::appendLog);
    connect(&network, &StationNetwork::messageArrived, this, &NetworkStatusWindow::messageArrived);
    connect(m_stationName, &QLineEdit::editingFinished, this, [this] {
        m_network.setStationName(m_stationName->text());
        m_stationName->setText(m_network.stationName());
    });
    connect(m_messageField, &QLineEdit::returnPressed, this, &NetworkStatusWindow::sendTyped);
    connect(send, &QPushButton::clicked, this, &NetworkStatusWindow::sendTyped);
    connect(sync, &QPushButton::clicked, this, [this] {
        m_network.syncClocks();
        m_messageField->setFocus();
    });
    connect(listPcs, &QPushButton::clicked, this, &NetworkStatusWindow::listNetworkPcs);
    connect(m_computers, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        m_recipient->setText(item->text());
        m_messageField->setFocus();
    });
    connect(done, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_enabled, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            m_network.enable();
        else
            m_network.disable();
    });
}

void NetworkStatusWindow::bringUp()
{
    m_enabled->setChecked(m_network.isEnabled());
    m_network.publishStatus();
    m_computers->clear();
}

void NetworkStatusWindow::showGrid()
{
    const StatusGrid &g = m_network.grid();
    for (int col = 0; col < StatusGrid::Columns; ++col)
        for (int row = 0; row < 3; ++row) {
            const StatusGrid::Cell &c = g.cell(col, row);
            QLabel *cell = m_cells[col][row];
            cell->setText(c.occupied ? c.name : QString());
            setBackground(cell, bgrColor(c.occupied ? OccupiedCell : FreeCell));
        }
}

void NetworkStatusWindow::appendLog(const QString &text)
{
    m_log->moveCursor(QTextCursor::End);
    m_log->insertPlainText(text);
    m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
}

void NetworkStatusWindow::sendTyped()
{
    const QString text = m_messageField->text();
    if (text.isEmpty())
        return;
    if (m_recipient->text().trimmed().isEmpty()) {
        const auto answer = Dialogs::get().message(
            this, QStringLiteral("Are you sure that you want to send a broadcast message?"),
            QStringLiteral("The \"Message To\" field is currently blank.  This will send a broadcast message to ALL "
                           "the PCs and interrupt everyone!  Broadcast messages should only be sent for critically "
                           "important information such as \"I'm shutting down the generator in 5 minutes to "
                           "refuel!\" or  \"It is time for EVERYONE to eat! \" Are you sure that you want to send a "
                           "broadcast message?") +
                QStringLiteral("\n\n") +
                QStringLiteral("If you only want to send a message to one other station, please select that "
                               "station's name from the list."),
            Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
        if (answer != Dialogs::Answer::Yes)
            return;
    }
    m_network.sendMessage(m_recipient->text().trimmed(), text);
    m_messageField->clear();
    m_messageField->setFocus();
}

void NetworkStatusWindow::messageArrived(const NetRecords::Message &, bool addressedHere)
{
    if (!addressedHere || isVisible())
        return;
    beep();
    bringUp();
    show();
    raise();
    m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
    m_messageField->setFocus();
}

void NetworkStatusWindow::setComputerBrowser(ComputerBrowser *browser)
{
    m_browser = browser;
    connect(browser, &ComputerBrowser::found, this, [this](const QStringList &names) {
        m_computers->clear();
        m_computers->addItems(names);
    });
}

void NetworkStatusWindow::listNetworkPcs()
{
    m_messageField->setFocus();
    m_computers->clear();
    if (m_browser)
        m_browser->browse();
}

bool NetworkStatusWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A letter typed at the start of the message is a capital.
    if (watched == m_messageField && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        const QString t = k->text();
        if (m_messageField->cursorPosition() == 0 && t.size() == 1 && t.at(0).isLower() &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            m_messageField->insert(t.toUpper());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString NetworkStatusWindow::helpText(const QString &serverName)
{
    const QString breaks = QStringLiteral("\n\n");
    return QStringLiteral("A copy of this program must be running on the same PC that is hosting your log file for "
                          "the network status functions to display.  The PC hosting your log file is the server for "
                          "the network status display.  Based on the path to the file that you selected in setup, "
                          "the PC server name is ") +
           serverName + QStringLiteral(".") +
           QStringLiteral("  It is not necessary to run a copy of this program on the PC hosting your log file for "
                          "the regular logging and dupe checking functions to work properly.") +
           breaks +
           QStringLiteral("The path to the log file as specified in setup determines whether this PC is a server or "
                          "client.  The client PCs should begin their log file path with \\\\") +
           serverName +
           QStringLiteral(".  The server path should reference the local drive directly with a path such as "
                          "c:\\VHF\\Halvern.mdb.") +
           breaks +
           QStringLiteral("To send a message, type text in the text box above and press enter.  All messages are "
                          "seen on all PCs regardless of the \"Message To\" field; however, a message box will only "
                          "appear on the main form of the receiving PC if the \"Message To\" field either identifies "
                          "that station or is left blank.  When blank, a broadcast message is assumed and the "
                          "message box will appear on the main form of all the PCs.") +
           breaks +
           QStringLiteral("The list box of PCs shows all the PCs that would be listed by Windows Explorer.  It is not "
                          "necessary for all the PCs on your network to be listed for the network functions to work "
                          "properly.") +
           breaks +
           QStringLiteral("Clicking the \"Sync Clocks\" button will set all the PCs currently connected and running "
                          "this program to the current date and time of this PC.") +
           breaks;
}
