#include "app/ContactListModel.h"

#include "log/Bands.h"
#include "log/ContactList.h"
#include "log/QsoRecord.h"

#include <algorithm>

ContactListModel::ContactListModel(const LogMirror &mirror, QObject *parent)
    : QAbstractTableModel(parent), m_mirror(mirror)
{
}

void ContactListModel::fill(bool listAll, bool currentBandOnly, const QString &currentBand)
{
    beginResetModel();
    m_listAll = listAll;
    m_everything = listAll && !currentBandOnly;
    m_records.clear();
    if (!m_everything)
        m_records = contactListRows(m_mirror, listAll, currentBandOnly, currentBand);
    m_cachedRecord = 0;
    endResetModel();
}

void ContactListModel::showRecords(const std::vector<int> &records)
{
    beginResetModel();
    m_everything = false;
    m_listAll = false;
    m_records = records;
    m_cachedRecord = 0;
    endResetModel();
}

void ContactListModel::recordEdited(int)
{
    m_cachedRecord = 0;
    // Only the rows in sight are drawn again.
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void ContactListModel::recordsAppended(int firstRecord, int count, bool currentBandOnly,
                                       const QString &currentBand)
{
    m_cachedRecord = 0;
    if (m_everything) {
        // Newest first: the new records are the top rows.
        beginInsertRows(QModelIndex(), 0, count - 1);
        endInsertRows();
        return;
    }
    if (!m_listAll || !currentBandOnly) {
        fill(m_listAll, currentBandOnly, currentBand);
        return;
    }
    std::vector<int> added;
    for (int n = firstRecord + count - 1; n >= firstRecord; --n)
        if (Bands::same(m_mirror.at(n).uband, currentBand))
            added.push_back(n);
    if (added.empty())
        return;
    beginInsertRows(QModelIndex(), 0, static_cast<int>(added.size()) - 1);
    m_records.insert(m_records.begin(), added.begin(), added.end());
    endInsertRows();
}

int ContactListModel::recordAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return 0;
    if (m_everything)
        return m_mirror.recordCount() - row;
    return m_records[static_cast<size_t>(row)];
}

int ContactListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_everything ? m_mirror.recordCount() : static_cast<int>(m_records.size());
}

int ContactListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(contactListHeaders().size());
}

const QStringList &ContactListModel::columnsOf(int record) const
{
    if (record != m_cachedRecord) {
        m_cachedColumns = contactListColumns(m_mirror, record);
        m_cachedRecord = record;
    }
    return m_cachedColumns;
}

QVariant ContactListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const int record = recordAt(index.row());
    if (record < 1 || record > m_mirror.recordCount())
        return {};
    return columnsOf(record).value(index.column());
}

QVariant ContactListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return contactListHeaders().value(section);
}

void ContactListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    emit layoutAboutToBeChanged();
    std::vector<std::pair<QString, int>> keyed;
    keyed.reserve(static_cast<size_t>(rowCount()));
    for (int row = 0; row < rowCount(); ++row) {
        const int record = recordAt(row);
        keyed.emplace_back(contactListColumns(m_mirror, record).value(column), record);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [order](const auto &a, const auto &b) {
        return order == Qt::AscendingOrder ? a.first < b.first : b.first < a.first;
    });
    const QModelIndexList before = persistentIndexList();
    std::vector<int> oldRecords;
    for (const QModelIndex &i : before)
        oldRecords.push_back(recordAt(i.row()));
    m_everything = false;
    m_records.clear();
    for (const auto &k : keyed)
        m_records.push_back(k.second);
    // The selection follows its record to the row it moved to.
    QModelIndexList after;
    for (size_t i = 0; i < oldRecords.size(); ++i) {
        const auto it = std::find(m_records.begin(), m_records.end(), oldRecords[i]);
        after.append(it == m_records.end() ? QModelIndex()
                                           : index(static_cast<int>(it - m_records.begin()), before[static_cast<int>(i)].column()));
    }
    changePersistentIndexList(before, after);
    m_cachedRecord = 0;
    emit layoutChanged();
}
