#pragma once

#include <QTableWidget>

#include <functional>

class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QVBoxLayout;

// A tick list of boxes: a narrow tick column and a centred box-number column. The rows live elsewhere; the
// list reads them through the accessors and hands a click on a tick cell to the owner.
class CBoxTickList : public QTableWidget {
    Q_OBJECT
public:
    struct Access {
        std::function<int()> count;
        std::function<QString(int)> boxNo;
        std::function<bool(int)> ticked;
        std::function<void(int)> toggle;
    };

    CBoxTickList(Access access, const QString& tickHeader, QWidget* parent);

    // The top of a dialog that picks boxes from two tick lists: the "ダウンロード先フォルダ" group with its read-only
    // field, added to layout, and the "BOX選択" group with the row its lists go in (the caller adds the group to
    // layout once the lists are in).
    struct Frame {
        QLineEdit* folder;
        QGroupBox* boxGroup;
        QHBoxLayout* lists;
    };
    static Frame addFrame(QWidget& dialog, QVBoxLayout& layout);
    // Re-reads the rows (their number and their ticks).
    void refresh();
    // A click on row i's tick cell.
    void clickTick(int row);
    bool isTicked(int row) const { return m_access.ticked(row); }

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    Access m_access;
};
