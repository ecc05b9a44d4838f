#pragma once
// The contact list: the last 20 or all contacts, of every band or the
// current one, sortable by any column; a click offers Edit and Delete, a
// right click opens the edit window at once. Edits and deletions go through
// the contest, which reloads the log afterwards.
#include <QWidget>
#include <vector>

class Contest;
class ContactListModel;
class QPushButton;
class QTreeView;

class ContactListPanel : public QWidget {
    Q_OBJECT
public:
    explicit ContactListPanel(Contest &contest, QWidget *parent = nullptr);

    // Fills the list as its buttons say.
    void fill();
    // Fills the list when it shows fewer rows than it could (after start-up
    // or a reload while the operator was typing).
    void topUp();
    // Records firstRecord.. were added at the end of the log.
    void recordsAppended(int firstRecord, int count);
    // Only these records, in this order (the previous contacts of a call).
    void showRecords(const std::vector<int> &records);
    void hideEditButtons();
    // The list in the current band only follows a band change.
    void showBand();
    // The record number shown in the selected row, 0 when none.
    int selectedRecord() const;
    // The rows as shown, with their header, as text for the clipboard.
    void copyToClipboard() const;
    void editSelected();
    // Asks "Are you sure?" and deletes the selected contact; false when
    // answered No.
    bool deleteSelected();

signals:
    void doneWithControl();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Contest &m_contest;
    bool bandOnly() const;
    QTreeView *m_list = nullptr;
    ContactListModel *m_model = nullptr;
    QPushButton *m_lastOrAll = nullptr;
    QPushButton *m_bandFilter = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_delete = nullptr;
    bool m_listAll = false;
};
