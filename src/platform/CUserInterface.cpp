#include "platform/CUserInterface.h"

#include "platform/CProgressDlg.h"

#include <algorithm>

CUserInterface::~CUserInterface() = default;

CProgressDlg* CUserInterface::findProgress(const QString& title) const {
    // The most recently opened window of that title wins, as a top-level window lookup would find it first.
    for (auto it = m_progress.rbegin(); it != m_progress.rend(); ++it) {
        if ((*it)->title() == title) {
            return *it;
        }
    }
    return nullptr;
}

void CUserInterface::registerProgress(CProgressDlg* dlg) {
    m_progress.push_back(dlg);
}

void CUserInterface::unregisterProgress(CProgressDlg* dlg) {
    m_progress.erase(std::remove(m_progress.begin(), m_progress.end(), dlg), m_progress.end());
}
