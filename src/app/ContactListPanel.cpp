#include "app/ContactListPanel.h"

#include "app/ContactListModel.h"
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
#include <QTreeView>
#include <QVBoxLayout>
#include <optional>

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    QPushButton *b = Controls::button(parent, name, caption);
    b->setFocusPolicy(Qt::ClickFocus);
    return b;
}

// Record numbers stay what they are while the operator works on one.
class MirrorHold {
public:
    explicit MirrorHold(Contest &c) : m_contest(c) { m_contest.holdMirror(true); }
    ~MirrorHold() { m_contest.holdMirror(false); }
    MirrorHold(const MirrorHold &) = delete;
    MirrorHold &operator=(const MirrorHold &) = delete;

private:
    Contest &m_contest;
};

} // namespace

ContactListPanel::ContactListPanel(Contest &contest, QWidget *parent) : QWidget(parent), m_contest(contest)
{
    setObjectName(QStringLiteral("contactListPanel"));
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_model = new ContactListModel(m_contest.mirror(), m_list);
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
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
    connect(m_list, &QTreeView::clicked, this, [this] {
        if (m_model->rowCount() == 0)
            return;
        m_edit->setVisible(true);
        m_delete->setVisible(true);
        m_contest.refreshTimer()->stop();
    });
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_model->sort(column, Qt::AscendingOrder); });
    connect(m_edit, &QPushButton::clicked, this, &ContactListPanel::editSelected);
    connect(m_delete, &QPushButton::clicked, this, &ContactListPanel::deleteSelected);
    connect(&m_contest, &Contest::recordEdited, m_model, &ContactListModel::recordEdited);
}

bool ContactListPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_list->viewport() || event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    auto *me = static_cast<QMouseEvent *>(event);
    if (me->button() != Qt::RightButton || m_model->rowCount() == 0)
        return false;
    if (const QModelIndex at = m_list->indexAt(me->position().toPoint()); at.isValid())
        m_list->setCurrentIndex(at);
    if (selectedRecord() > 0)
        QTimer::singleShot(0, this, &ContactListPanel::editSelected);
    return true;
}

bool ContactListPanel::bandOnly() const
{
    return m_bandFilter->text() == QLatin1String("Current Band");
}

void ContactListPanel::fill()
{
    m_model->fill(m_listAll, bandOnly(), m_contest.station().currentBand);
}

void ContactListPanel::recordsAppended(int firstRecord, int count)
{
    m_model->recordsAppended(firstRecord, count, bandOnly(), m_contest.station().currentBand);
}

void ContactListPanel::topUp()
{
    const int rows = m_model->rowCount();
    if (rows < 18 && rows < m_contest.recordCount())
        fill();
}

void ContactListPanel::showRecords(const std::vector<int> &records)
{
    m_model->showRecords(records);
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
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid() || !m_list->selectionModel()->isSelected(current))
        return 0;
    return m_model->recordAt(current.row());
}

bool ContactListPanel::deleteSelected()
{
    QTimer *refresh = m_contest.refreshTimer();
    refresh->stop();
    const MirrorHold hold(m_contest);
    const auto a = Dialogs::get().message(this, QStringLiteral("Are you sure?"), QStringLiteral("Are you sure?"),
                                          Dialogs::Buttons::YesNo);
    hideEditButtons();
    if (a != Dialogs::Answer::Yes)
        return false;
    const int rec = selectedRecord();
    if (rec > 0) {
        // The list follows when the log has been read anew.
        QString why;
        if (!m_contest.deleteContact(rec, &why))
            qWarning("delete failed: %s", qPrintable(why));
    }
    refresh->start();
    return true;
}

void ContactListPanel::editSelected()
{
    QTimer *refresh = m_contest.refreshTimer();
    refresh->stop();
    std::optional<MirrorHold> hold(std::in_place, m_contest);
    const int record = selectedRecord();
    if (record > 0) {
        const QString selectedCall = m_model->index(m_list->currentIndex().row(), 1).data().toString();
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
        hold.reset();
        // Delete Contact restarts the refresh when it deletes; answered No,
        // the window's own closing does.
        if (deleteAsked && deleteSelected())
            return;
    }
    // A saved edit shows at once and is read back in the background.
    hideEditButtons();
    refresh->start();
}

void ContactListPanel::copyToClipboard() const
{
    QList<QStringList> rows;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        QStringList cols;
        for (int c = 0; c < m_model->columnCount(); ++c)
            cols.append(m_model->index(row, c).data().toString());
        rows.append(cols);
    }
    QClipboard *cb = QApplication::clipboard();
    cb->clear();
    cb->setText(clipboardText(contactListHeaders(), rows));
}
