#pragma once

#include <QObject>

#include <functional>

class QAbstractItemView;
class QMouseEvent;

// The keys of a list whose rows carry a tick: Tab moves on to the next control instead of the next cell, and
// Space (without a modifier) ticks the current row as a click on its tick cell does.
class CTickKeyFilter : public QObject {
public:
    // Sets the list up for these keys; the filter lives as long as the list. tick: the row's tick is clicked.
    static void install(QAbstractItemView& list, std::function<void(int row)> tick);
    // For the list's own mouse handling: the row whose tick cell (column 0) a left-button press hit, else -1.
    static int tickRowAt(const QAbstractItemView& list, const QMouseEvent& press);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CTickKeyFilter(QAbstractItemView& list, std::function<void(int row)> tick);

    QAbstractItemView& m_list;
    std::function<void(int row)> m_tick;
};
