#include "ui/list/CListTableModel.h"

#include "list/CListModel.h"
#include "store/CRecordTexts.h"

CListTableModel::CListTableModel(CListModel& model, QObject* parent) : QAbstractTableModel(parent), m_model(model) {}

int CListTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_model.rowCount();
}

int CListTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_model.columnCount();
}

QVariant CListTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_model.rowCount() || index.column() >= m_model.columnCount()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return m_model.cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::ToolTipRole:
        if (m_model.columnKind(index.column()) == CListModel::ColImport) {
            return CRecordTexts::importStatusTooltip(m_model.recordAt(index.row()).importStatus);
        }
        return {};
    default:
        return {};
    }
}

QVariant CListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_model.columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return m_model.columnTitle(section);
    }
    if (role == Qt::TextAlignmentRole) {
        return int(Qt::AlignCenter);
    }
    return {};
}

void CListTableModel::rowChanged(int row) {
    Q_EMIT dataChanged(index(row, 0), index(row, std::max(0, m_model.columnCount() - 1)));
}

void CListTableModel::beginReorder() {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_moving = persistentIndexList();
    m_movingRecords.clear();
    for (const QModelIndex& idx : m_moving) {
        m_movingRecords.push_back(idx.row() < m_model.rowCount() ? m_model.recordIndex(idx.row()) : -1);
    }
}

void CListTableModel::endReorder() {
    if (!m_moving.isEmpty()) {
        std::vector<int> rowOf(m_model.records().size(), -1);
        for (int r = 0; r < m_model.rowCount(); ++r) {
            rowOf[static_cast<size_t>(m_model.recordIndex(r))] = r;
        }
        QModelIndexList to;
        for (int i = 0; i < m_moving.size(); ++i) {
            const int rec = m_movingRecords[static_cast<size_t>(i)];
            const int row = rec >= 0 ? rowOf[static_cast<size_t>(rec)] : -1;
            to << (row >= 0 ? index(row, m_moving[i].column()) : QModelIndex());
        }
        changePersistentIndexList(m_moving, to);
    }
    m_moving.clear();
    m_movingRecords.clear();
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
