#include "list/CBoxOpenLogic.h"

#include "list/CBoxSelection.h"
#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"
#include "store/CFileMng.h"

#include <algorithm>

namespace {
QString lastComponent(const QString& path) {
    QString p = path;
    while (p.endsWith('/')) {
        p.chop(1);
    }
    const qsizetype k = p.lastIndexOf('/');
    return k < 0 ? p : p.mid(k + 1);
}
} // namespace

CBoxOpenLogic::CBoxOpenLogic(CKeldaSettings& doc, CUserInterface& ui)
    : m_doc(doc), m_ui(ui), m_folder(doc.currentFolderPath()) {
    // Boxes of the open lists of this folder, by kind: a box can be shown by one list only.
    QStringList openRusu;
    QStringList openNaisen;
    for (int n = 1; n <= std::min(m_doc.num, int(CKeldaSettings::SLOTS)); ++n) {
        if (m_doc.slotFolderName[n - 1] != m_doc.folderName) {
            continue;
        }
        for (const auto& b : CBoxSelection::parse(m_doc.slotDisp[n - 1])) {
            (b.naisen ? openNaisen : openRusu) << b.boxNo;
        }
    }
    auto fill = [&](bool naisen, std::vector<Row>& rows, const QStringList& open) {
        const QStringList dirs = boxFolders(CFileMng::Join(m_folder, CBoxSelection::kindDirectory(naisen)));
        for (const auto& d : dirs) {
            const QString box = lastComponent(d);
            rows.push_back({box, open.contains(box) ? Greyed : Unchecked});
        }
    };
    fill(false, m_rusuroku, openRusu);
    fill(true, m_naisen, openNaisen);
}

QStringList CBoxOpenLogic::boxFolders(const QString& kindFolder) {
    QStringList dirs;
    CFileMng::ListSubfolders(kindFolder, dirs);
    // Directories come back in no particular order here; the boxes are offered by name, as the folder
    // listing of the file system the boxes were first kept on gave them.
    std::sort(dirs.begin(), dirs.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return dirs;
}

bool CBoxOpenLogic::checkHasBoxes() {
    if (m_rusuroku.empty() && m_naisen.empty()) {
        m_ui.messageBox(CCommonTexts::NoBoxFolders(), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void CBoxOpenLogic::toggle(std::vector<Row>& rows, int index) {
    if (index < 0 || index >= static_cast<int>(rows.size()) || rows[index].check == Greyed) {
        return;
    }
    rows[index].check = rows[index].check == Checked ? Unchecked : Checked;
}

void CBoxOpenLogic::setAll(std::vector<Row>& rows, bool checked) {
    for (auto& r : rows) {
        if (r.check != Greyed) {
            r.check = checked ? Checked : Unchecked;
        }
    }
}

int CBoxOpenLogic::accept() {
    if (m_doc.num >= CKeldaSettings::SLOTS) {
        m_ui.messageBox(QStringLiteral("開ける一覧表が上限に達しています。"), CCommonTexts::ErrorCaption(),
                        MsgIcon::Exclamation);
        return 0;
    }
    const int slot = m_doc.num + 1;
    m_doc.clearSlot(slot);
    QStringList rusu;
    QStringList naisen;
    for (const auto& r : m_rusuroku) {
        if (r.check == Checked) {
            rusu << r.boxNo;
        }
    }
    for (const auto& r : m_naisen) {
        if (r.check == Checked) {
            naisen << r.boxNo;
        }
    }
    const QString text = CBoxSelection::build(rusu, naisen);
    if (text.isEmpty()) {
        m_ui.messageBox(CCommonTexts::NoBoxSelected(), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return 0;
    }
    m_doc.slotDisp[slot - 1] = CKeldaSettings::fit(text, CKeldaSettings::W_DISP);
    m_doc.slotFolderName[slot - 1] = CKeldaSettings::fit(lastComponent(m_folder), CKeldaSettings::W_PATH);
    return slot;
}
