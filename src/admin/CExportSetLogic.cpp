#include "admin/CExportSetLogic.h"

#include "admin/CAdminTexts.h"
#include "admin/CCsvExport.h"
#include "list/CListModel.h"
#include "platform/CCp932.h"
#include "platform/CUserInterface.h"
#include "shell/CKELDADoc.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {
QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    return path;
}
} // namespace

CExportSetLogic::CExportSetLogic(CUserInterface& ui, CKELDADoc& doc, const CListModel* model)
    : m_ui(ui), m_doc(doc), m_model(model), m_title(CAdminTexts::ExportTitle()), m_text(CAdminTexts::ExportText()) {}

void CExportSetLogic::open() {
    m_folder = withoutTrailingSlash(m_doc.exportPath);
    m_file = m_doc.exportName;
    m_okEnabled = !m_folder.isEmpty() && !m_file.isEmpty();
    notify();
}

void CExportSetLogic::setFolder(const QString& text) {
    m_folder = text;
    m_okEnabled = !m_folder.isEmpty() && !m_file.isEmpty();
}

void CExportSetLogic::setFile(const QString& text) {
    m_file = text;
    m_okEnabled = !m_folder.isEmpty() && !m_file.isEmpty();
}

QString CExportSetLogic::targetPath() const {
    return m_folder + QLatin1Char('/') + m_file;
}

void CExportSetLogic::notify() {
    if (changed) {
        changed();
    }
}

bool CExportSetLogic::choose() {
    const QString start = m_folder.isEmpty() ? m_file : targetPath();
    for (;;) {
        const QString chosen = m_ui.chooseSaveFile(CAdminTexts::ExportChooseTitle(), start, CAdminTexts::CsvFilter());
        if (chosen.isEmpty()) {
            return false;
        }
        QString path = chosen;
        if (QFileInfo(path).suffix().isEmpty()) {
            path += QStringLiteral(".csv");
        }
        const QFileInfo info(path);
        // A file that is there but cannot be written would only fail the export later.
        if ((info.exists() && (!info.isFile() || !info.isWritable())) || !QFileInfo(info.path()).isDir()) {
            m_ui.messageBox(CAdminTexts::OpenError(), CAdminTexts::OpenErrorCaption(), MsgIcon::Exclamation);
            continue;
        }
        m_folder = withoutTrailingSlash(info.path());
        m_file = info.fileName();
        m_doc.exportPath = CKELDADoc::fit(m_folder, CKELDADoc::W_PATH);
        m_doc.exportName = CKELDADoc::fit(m_file, CKELDADoc::W_PATH);
        m_okEnabled = true;
        notify();
        return true;
    }
}

CExportSetLogic::Ok CExportSetLogic::ok() {
    if (m_running) {
        return Ok::StayOpen;
    }
    const QString target = targetPath();
    if (QFileInfo::exists(target) && m_ui.messageBox(CAdminTexts::ExportOverwrite(target), CAdminTexts::ExportTitle(),
                                                     MsgIcon::Exclamation, MsgButtons::YesNo) != MsgResult::Yes) {
        return Ok::StayOpen;
    }
    m_running = true;
    const int result = ExportList();
    if (result == 0) {
        m_ui.messageBox(CAdminTexts::ExportError(), CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
    } else if (!m_cancelRequested) {
        m_doc.exportPath = CKELDADoc::fit(m_folder, CKELDADoc::W_PATH);
        m_doc.exportName = CKELDADoc::fit(m_file, CKELDADoc::W_PATH);
        m_running = false;
        return Ok::Exported;
    }
    backToIdle();
    return Ok::StayOpen;
}

void CExportSetLogic::backToIdle() {
    m_progressVisible = false;
    m_text = CAdminTexts::ExportText();
    m_title = CAdminTexts::ExportTitle();
    m_okEnabled = true;
    m_running = false;
    m_cancelRequested = false;
    notify();
}

bool CExportSetLogic::cancel() {
    if (m_running) {
        m_cancelRequested = true;
        return false;
    }
    return true;
}

int CExportSetLogic::ExportList() {
    if (!QFileInfo(m_folder).isDir() || !m_file.contains(QLatin1String(".csv")) || !m_model ||
        m_model->rowCount() == 0) {
        return 0;
    }
    const int rows = m_model->rowCount();
    m_title = CAdminTexts::ExportRunningTitle();
    m_text = CAdminTexts::ExportRunningText();
    m_okEnabled = false;
    m_progressVisible = true;
    m_progressMax = rows;
    m_progressPos = 0;
    notify();

    QSaveFile out(targetPath());
    if (!out.open(QIODevice::WriteOnly)) {
        return 0;
    }
    for (int i = 0; i < rows; ++i) {
        m_ui.dispatchPendingEvents(1);
        const QByteArray bytes = CCp932::fromUnicode(CCsvExport::ExportChunk(*m_model, i));
        if (out.write(bytes) != bytes.size()) {
            return 0;
        }
        m_progressPos = i;
        notify();
        if (m_cancelRequested) {
            // The earlier file stays as it was; the rows written so far go with the temporary file.
            out.cancelWriting();
            return 1;
        }
    }
    if (!out.commit()) {
        return 0;
    }
    m_progressPos = rows;
    m_okEnabled = true;
    notify();
    return 1;
}
