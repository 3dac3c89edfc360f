#pragma once

#include <QHeaderView>

// The list's column header: centred titles, and the sort arrow of one column drawn to the right of its title.
class CListHeaderView : public QHeaderView {
    Q_OBJECT
public:
    explicit CListHeaderView(QWidget* parent);
    // column -1 removes the arrow; image 0 ascending, 1 descending.
    void setArrow(int column, int image);
    int arrowColumn() const { return m_column; }
    int arrowImage() const { return m_image; }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int m_column = -1;
    int m_image = 0;
};
