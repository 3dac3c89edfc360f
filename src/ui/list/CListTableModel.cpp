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
