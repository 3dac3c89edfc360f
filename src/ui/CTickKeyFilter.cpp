#include "ui/CTickKeyFilter.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>

CTickKeyFilter::CTickKeyFilter(QAbstractItemView& list, std::function<void(int row)> tick)
    : QObject(&list), m_list(list), m_tick(std::move(tick)) {}

void CTickKeyFilter::install(QAbstractItemView& list, std::function<void(int row)> tick) {
    list.setTabKeyNavigation(false);
    list.installEventFilter(new CTickKeyFilter(list, std::move(tick)));
}

bool CTickKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_list || event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Space || key->modifiers() != Qt::NoModifier || !m_list.currentIndex().isValid()) {
        return false;
    }
    m_tick(m_list.currentIndex().row());
    key->accept();
    return true;
}

int CTickKeyFilter::tickRowAt(const QAbstractItemView& list, const QMouseEvent& press) {
    const QModelIndex idx = list.indexAt(press.position().toPoint());
    return press.button() == Qt::LeftButton && idx.isValid() && idx.column() == 0 ? idx.row() : -1;
}
