#pragma once

#include <QAbstractTableModel>

#include <vector>

class CListModel;

// The table the list control shows, over the list model: texts made when a cell is painted, so that even a
// list of ten thousand rows is in place at once.
class CListTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CListTableModel(CListModel& model, QObject* parent = nullptr);
    CListModel& model() { return m_model; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void beginReset() { beginResetModel(); }
    void endReset() { endResetModel(); }
    void rowChanged(int row);
    // Rows about to move and moved: the rows a view has selected stay selected wherever they go.
    void beginReorder();
    void endReorder();

private:
    CListModel& m_model;
    QModelIndexList m_moving;
    std::vector<int> m_movingRecords;
};
