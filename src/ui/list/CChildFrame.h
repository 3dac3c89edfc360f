#pragma once

#include <QMdiSubWindow>

class CListDispView;

// A list window inside the main frame: caption = the slot's box selection text, one list view. It remembers its
// restored rectangle so that placements can be saved while it is maximized.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CChildFrame(CListDispView* view, const QString& caption, QWidget* parent = nullptr);
    CListDispView* view() const { return m_view; }
    int slot() const;
    QRect normalRect() const { return m_normal; }
    void setNormalRect(const QRect& r);
    void setCloseBoxShown(bool shown);

Q_SIGNALS:
    void listClosed(CChildFrame* frame);
    // Shift+Tab in the list: the keys go back to the window around the list window.
    void backtabOut();

protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool focusNextPrevChild(bool next) override;

private:
    void remember();
    void dropCloseKeys();
    CListDispView* m_view;
    QRect m_normal;
    bool m_closed = false;
};
