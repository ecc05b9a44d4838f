#pragma once
// The rows of the contact list as a table over the in-memory log: a row is a
// record number, its texts are made when the view asks for them. Listing
// every contact newest first holds no per-row data at all, so a list of a
// million contacts costs nothing to show and nothing to extend.
#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class LogMirror;

class ContactListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ContactListModel(const LogMirror &mirror, QObject *parent = nullptr);

    // The rows as the list's buttons say (see contactListRows).
    void fill(bool listAll, bool currentBandOnly, const QString &currentBand);
    // Only these records, in this order.
    void showRecords(const std::vector<int> &records);
    // Records firstRecord.. were appended to the mirror: a list of every
    // contact shows them at its top at once; the list of the last 20 is made
    // anew (fillAgain).
    void recordsAppended(int firstRecord, int count, bool currentBandOnly, const QString &currentBand);
    // A record's texts changed where it stands.
    void recordEdited(int record);
    // The record number of a row.
    int recordAt(int row) const;
    // Whether the list holds every contact newest first (no row of its own).
    bool listsEverything() const { return m_everything; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Rows ordered by the texts of one column, as the operator's click on
    // its header asks.
    void sort(int column, Qt::SortOrder order) override;

private:
    const QStringList &columnsOf(int record) const;
    const LogMirror &m_mirror;
    bool m_everything = false;
    bool m_listAll = false;
    std::vector<int> m_records;
    mutable int m_cachedRecord = 0;
    mutable QStringList m_cachedColumns;
};
