#include "operations/CSelDownLogic.h"

#include "list/CBoxOpenLogic.h"
#include "operations/CBoxDownload.h"
#include "operations/COperationTexts.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"
#include "store/CFileMng.h"

#include <QFileInfo>

namespace {

QList<CSelDownLogic::Row> rowsOf(const QString& kindFolder, bool* anyFolder) {
    QList<CSelDownLogic::Row> rows;
    const QStringList folders = CBoxOpenLogic::boxFolders(kindFolder);
    *anyFolder = *anyFolder || !folders.isEmpty();
    for (const QString& f : folders) {
        if (CFileMng::GetMake(f) != CFileMng::Make::ByUser) {
            rows.append({QFileInfo(f).fileName(), false});
        }
    }
    return rows;
}

QStringList ticked(const QList<CSelDownLogic::Row>& rows) {
    QStringList out;
    for (const auto& r : rows) {
        if (r.ticked) {
            out << r.boxNo;
        }
    }
    return out;
}

} // namespace

QString CSelDownLogic::folderPath() const {
    return CBoxDownload::DownloadFolderPath(m_doc.rootWithSlash(), m_doc.folderName);
}

CSelDownLogic::Outcome CSelDownLogic::open() {
    bool any = false;
    m_answering = rowsOf(CFileMng::Join(folderPath(), QStringLiteral("rusuroku")), &any);
    m_extension = rowsOf(CFileMng::Join(folderPath(), QStringLiteral("naisen")), &any);
    if (!any) {
        m_ui.messageBox(COperationTexts::NoBoxFolders(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return EndCancel;
    }
    return Stay;
}

void CSelDownLogic::tickAll(QList<Row>& rows, bool value) {
    for (auto& r : rows) {
        r.ticked = value;
    }
}

void CSelDownLogic::tick() {
    if (m_doc.loggedIn != 1) {
        m_enabled = false;
    }
}

CSelDownLogic::Outcome CSelDownLogic::download(CBoxDownload::Kind kind, const std::function<void()>& hide) {
    if (!m_enabled || m_doc.folderName.isEmpty()) {
        return Stay;
    }
    if (m_ui.messageBox(COperationTexts::DownloadConfirm(m_doc.folderName), COperationTexts::DownloadConfirmCaption(),
                        MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
        return Stay;
    }
    const QStringList answering = ticked(m_answering);
    const QStringList extension = ticked(m_extension);
    if (answering.isEmpty() && extension.isEmpty()) {
        m_ui.messageBox(COperationTexts::NothingSelected(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return Stay;
    }
    if (hide) {
        hide();
    }
    // Hiding the dialog ends its hold on the main window; without this a second download could be started
    // on the same connection while this one runs.
    m_ui.setMainWindowEnabled(false);
    m_result = CBoxDownload::RunBoxDownload(m_ui, m_unit, kind, false,
                                            CBoxDownload::SelectedBoxes(folderPath(), answering, extension));
    m_ui.setMainWindowEnabled(true);
    m_ui.activateMainWindow();
    return EndOk;
}
