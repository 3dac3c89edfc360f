#include "voice/CWavFileDelLogic.h"

#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "store/BoxKind.h"
#include "store/CFileMng.h"

#include <QFileInfo>

CWavFileDelLogic::CWavFileDelLogic(CUserInterface& ui, const QString& downloadFolder, BoxFolders boxFolders)
    : m_ui(ui), m_folder(downloadFolder), m_boxFolders(std::move(boxFolders)) {}

QString CWavFileDelLogic::kindFolder(BoxList list) {
    return boxKindDir(boxKindOf(list != Rusuroku));
}

bool CWavFileDelLogic::open() {
    for (BoxList list : {Rusuroku, Naisen}) {
        m_rows[list].clear();
        const QStringList boxes = m_boxFolders(CFileMng::Join(m_folder, kindFolder(list)));
        for (const QString& box : boxes) {
            if (CFileMng::HasWavFiles(box)) {
                m_rows[list].push_back({QFileInfo(box).fileName(), false});
            }
        }
    }
    if (m_rows[Rusuroku].empty() && m_rows[Naisen].empty()) {
        m_ui.messageBox(QStringLiteral("フォルダにＷＡＶファイルがありません。"), CCommonTexts::ErrorCaption(),
                        MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void CWavFileDelLogic::setAll(BoxList list, bool checked) {
    for (Row& r : m_rows[list]) {
        r.checked = checked;
    }
}

void CWavFileDelLogic::toggle(BoxList list, int row) {
    if (row >= 0 && row < static_cast<int>(m_rows[list].size())) {
        m_rows[list][row].checked = !m_rows[list][row].checked;
    }
}

bool CWavFileDelLogic::erase() {
    if (m_ui.messageBox(QStringLiteral("指定ボックスのＷＡＶファイルを消去します。\nよろしいですか？"),
                        QStringLiteral("ＷＡＶファイル消去確認"), MsgIcon::Question,
                        MsgButtons::YesNo) != MsgResult::Yes) {
        return false;
    }
    bool any = false;
    for (BoxList list : {Rusuroku, Naisen}) {
        for (const Row& r : m_rows[list]) {
            any = any || r.checked;
        }
    }
    if (!any) {
        m_ui.messageBox(CCommonTexts::NoBoxSelected(), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return true;
    }
    for (BoxList list : {Rusuroku, Naisen}) {
        const QString kind = CFileMng::Join(m_folder, kindFolder(list));
        for (const Row& r : m_rows[list]) {
            if (r.checked) {
                CFileMng::DeleteWavFiles(CFileMng::Join(kind, r.boxNo));
            }
        }
    }
    m_ui.messageBox(QStringLiteral("ＷＡＶファイルの消去が正常に完了しました。"), QStringLiteral("消去完了"),
                    MsgIcon::Information);
    return true;
}
