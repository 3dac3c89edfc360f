#include "ui/CTickKeyFilter.h"

#include <QAbstractItemView>
#include <QKeyEvent>

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
