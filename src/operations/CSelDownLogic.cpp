#include "operations/CSelDownLogic.h"

#include "list/CBoxOpenLogic.h"
#include "operations/CBoxDownload.h"
#include "operations/COperationTexts.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"
#include "store/BoxKind.h"
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

DlgOutcome CSelDownLogic::open() {
    bool any = false;
    m_answering = rowsOf(CFileMng::Join(folderPath(), boxKindDir(BoxKind::AnsweringMachine)), &any);
    m_extension = rowsOf(CFileMng::Join(folderPath(), boxKindDir(BoxKind::Extension)), &any);
    if (!any) {
        m_ui.messageBox(COperationTexts::NoBoxFolders(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return DlgOutcome::EndCancel;
    }
    return DlgOutcome::Stay;
}

void CSelDownLogic::tickAll(QList<Row>& rows, bool value) {
    for (auto& r : rows) {
        r.ticked = value;
    }
}

DlgOutcome CSelDownLogic::download(CBoxDownload::Kind kind, const std::function<void()>& hide) {
    if (!confirmed()) {
        return DlgOutcome::Stay;
    }
    const QStringList answering = ticked(m_answering);
    const QStringList extension = ticked(m_extension);
    if (answering.isEmpty() && extension.isEmpty()) {
        m_ui.messageBox(COperationTexts::NothingSelected(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return DlgOutcome::Stay;
    }
    run(
        kind, false, [&] { return CBoxDownload::SelectedBoxes(folderPath(), answering, extension); }, hide);
    return DlgOutcome::EndOk;
}
