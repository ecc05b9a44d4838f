#include "app/ContactListPanel.h"

#include "app/Controls.h"
#include "app/EditContactDialog.h"
#include "log/Contest.h"
#include "log/ContactList.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    QPushButton *b = Controls::button(parent, name, caption);
    b->setFocusPolicy(Qt::ClickFocus);
    return b;
}

} // namespace

ContactListPanel::ContactListPanel(Contest &contest, QWidget *parent) : QWidget(parent), m_contest(contest)
{
    setObjectName(QStringLiteral("contactListPanel"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setRootIsDecorated(false);
    m_list->setColumnCount(9);
    m_list->setHeaderLabels({QStringLiteral("Rec#"), QStringLiteral("Call"), QStringLiteral("Rec"),
                             QStringLiteral("Grid R"), QStringLiteral("Snt"), QStringLiteral("Date / Time"),
                             QStringLiteral("Bnd"), QStringLiteral("Grid S"), QStringLiteral("Mode")});
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setFocusPolicy(Qt::ClickFocus);
    m_list->header()->setSectionsClickable(true);
    m_list->setContextMenuPolicy(Qt::PreventContextMenu);
    m_list->viewport()->installEventFilter(this);
    m_lastOrAll = button(this, "cmdList", QStringLiteral("Last 20"));
    m_lastOrAll->setToolTip(QStringLiteral("List all or last 20 contacts (Listing all will slow the program)"));
    m_bandFilter = button(this, "Command3", QStringLiteral("All Bands"));
    m_edit = button(this, "cmdEdit", QStringLiteral("Edit Contact"));
    m_delete = button(this, "cmdDelete", QStringLiteral("Delete Contact"));
    hideEditButtons();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_lastOrAll);
    buttons->addWidget(m_bandFilter);
    buttons->addStretch();
    buttons->addWidget(m_edit);
    buttons->addWidget(m_delete);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_lastOrAll, &QPushButton::clicked, this, [this] {
        m_listAll = !m_listAll;
        m_lastOrAll->setText(m_listAll ? QStringLiteral("All") : QStringLiteral("Last 20"));
        fill();
        emit doneWithControl();
    });
    connect(m_bandFilter, &QPushButton::clicked, this, [this] {
        m_bandFilter->setText(m_bandFilter->text() == QLatin1String("All Bands") ? QStringLiteral("Current Band")
                                                                                : QStringLiteral("All Bands"));
        fill();
        emit doneWithControl();
    });
    connect(m_list, &QTreeWidget::itemClicked, this, [this] {
        if (m_list->topLevelItemCount() == 0)
            return;
        m_edit->setVisible(true);
        m_delete->setVisible(true);
        m_contest.refreshTimer()->stop();
    });
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_list->sortItems(column, Qt::AscendingOrder); });
    connect(m_edit, &QPushButton::clicked, this, &ContactListPanel::editSelected);
    connect(m_delete, &QPushButton::clicked, this, &ContactListPanel::deleteSelected);
}

bool ContactListPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_list->viewport() || event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    auto *me = static_cast<QMouseEvent *>(event);
    if (me->button() != Qt::RightButton || m_list->topLevelItemCount() == 0)
        return false;
    if (QTreeWidgetItem *it = m_list->itemAt(me->position().toPoint())) {
        m_list->setCurrentItem(it);
        it->setSelected(true);
    }
    if (selectedRecord() > 0)
        QTimer::singleShot(0, this, &ContactListPanel::editSelected);
    return true;
}

void ContactListPanel::fill()
{
    m_list->clear();
    const bool bandOnly = m_bandFilter->text() == QLatin1String("Current Band");
    QList<QTreeWidgetItem *> items;
    for (int rec : contactListRows(m_contest.mirror(), m_listAll, bandOnly, m_contest.station().currentBand))
        items.append(new QTreeWidgetItem(contactListColumns(m_contest.mirror(), rec)));
    m_list->addTopLevelItems(items);
}

void ContactListPanel::topUp()
{
    const int rows = m_list->topLevelItemCount();
    if (rows < 18 && rows < m_contest.recordCount())
        fill();
}

void ContactListPanel::showRecords(const std::vector<int> &records)
{
    m_list->clear();
    for (int rec : records)
        m_list->addTopLevelItem(new QTreeWidgetItem(contactListColumns(m_contest.mirror(), rec)));
}

void ContactListPanel::hideEditButtons()
{
    m_edit->setVisible(false);
    m_delete->setVisible(false);
}

void ContactListPanel::showBand()
{
    if (m_bandFilter->text() == QLatin1String("Current Band"))
        fill();
}

int ContactListPanel::selectedRecord() const
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected())
        return 0;
    return item->text(0).toInt();
}

void ContactListPanel::deleteSelected()
{
    QTimer *refresh = m_contest.refreshTimer();
    refresh->stop();
    const auto a = Dialogs::get().message(this, QStringLiteral("Are you sure?"), QStringLiteral("Are you sure?"),
                                          Dialogs::Buttons::YesNo);
    hideEditButtons();
    if (a != Dialogs::Answer::Yes)
        return;
    const int rec = selectedRecord();
    if (rec > 0) {
        QString why;
        if (!m_contest.deleteContact(rec, &why))
            qWarning("delete failed: %s", qPrintable(why));
    }
    m_contest.reloadLog();
    refresh->start();
}

void ContactListPanel::editSelected()
{
    QTimer *refresh = m_contest.refreshTimer();
    refresh->stop();
    const int record = selectedRecord();
    if (record > 0) {
        const QString selectedCall = m_list->currentItem()->text(1);
        EditContactDialog w(m_contest.mirror(), record, this);
        w.save = [this, record, selectedCall](const QsoRecord &values) {
            QString why;
            if (!m_contest.updateContact(record, selectedCall, values, &why)) {
                qWarning("update failed: %s", qPrintable(why));
                return false;
            }
            return true;
        };
        bool deleteAsked = false;
        w.deleteDupe = [&deleteAsked] { deleteAsked = true; };
        w.exec();
        if (deleteAsked) {
            // Delete Contact reloads and restarts the refresh when it
            // deletes; answered No, the window's own closing does.
            const int before = m_contest.reloadCount();
            deleteSelected();
            if (m_contest.reloadCount() != before)
                return;
        }
    }
    hideEditButtons();
    m_contest.reloadLog();
    refresh->start();
}

void ContactListPanel::copyToClipboard() const
{
    QList<QStringList> rows;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *it = m_list->topLevelItem(i);
        QStringList cols;
        for (int c = 0; c < m_list->columnCount(); ++c)
            cols.append(it->text(c));
        rows.append(cols);
    }
    QClipboard *cb = QApplication::clipboard();
    cb->clear();
    cb->setText(clipboardText(contactListHeaders(), rows));
}
