#include "admin/CBoxListsLogic.h"

#include "settings/CKeldaSettings.h"
#include "store/BoxKind.h"
#include "store/CFileMng.h"

CBoxListsLogic::CBoxListsLogic(CUserInterface& ui, const CKeldaSettings& doc, const QStringList& titles, int editLimit)
    : m_ui(ui), m_folder(doc.currentFolderPath()), m_rusuroku(titles, editLimit), m_naisen(titles, editLimit) {}

QString CBoxListsLogic::kindDir(bool answeringMachine) const {
    return CFileMng::Join(m_folder, boxKindDir(boxKindOf(!answeringMachine)));
}
