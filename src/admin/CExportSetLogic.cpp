#include "admin/CExportSetLogic.h"

#include "admin/CAdminTexts.h"
#include "admin/CCsvExport.h"
#include "list/CListModel.h"
#include "platform/CCp932.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"
#include "store/CDurableFile.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <sys/stat.h>

#include <algorithm>

namespace {
// What a new file gets: read and write for everyone the process's file mode mask lets through (the program is
// single-threaded, so reading the mask by setting it back at once is safe).
QFileDevice::Permissions defaultPermissions() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QFileDevice::Permissions p;
    const mode_t mode = 0666 & ~mask;
    const struct {
        mode_t bit;
        QFileDevice::Permission perm;
    } bits[] = {{S_IRUSR, QFileDevice::ReadOwner}, {S_IWUSR, QFileDevice::WriteOwner},
                {S_IRGRP, QFileDevice::ReadGroup}, {S_IWGRP, QFileDevice::WriteGroup},
                {S_IROTH, QFileDevice::ReadOther}, {S_IWOTH, QFileDevice::WriteOther}};
    for (const auto& b : bits) {
        if (mode & b.bit) {
            p |= b.perm;
        }
    }
    return p;
}

} // namespace

CExportSetLogic::CExportSetLogic(CUserInterface& ui, CKeldaSettings& doc, const CListModel* model)
    : CPathFileSetLogic(ui, doc, CAdminTexts::ExportTitle(), CAdminTexts::ExportText()), m_model(model) {}

void CExportSetLogic::open() {
    fillFields(m_doc.exportPath, m_doc.exportName);
    notify();
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
        takeChosen(info, m_doc.exportPath, m_doc.exportName);
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
    if (!ExportList()) {
        m_ui.messageBox(CAdminTexts::ExportError(), CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
    } else if (!m_cancelRequested) {
        remember(m_doc.exportPath, m_doc.exportName);
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

bool CExportSetLogic::ExportList() {
    if (!QFileInfo(m_folder).isDir() || !m_file.contains(QLatin1String(".csv")) || !m_model ||
        m_model->rowCount() == 0) {
        return false;
    }
    const int rows = m_model->rowCount();
    m_title = CAdminTexts::ExportRunningTitle();
    m_text = CAdminTexts::ExportRunningText();
    m_okEnabled = false;
    m_progressVisible = true;
    m_progressMax = rows;
    m_progressPos = 0;
    notify();

    // Written beside the target under a temporary name that only a complete export renames over the target.
    QTemporaryFile out(targetPath() + QStringLiteral(".XXXXXX"));
    if (!out.open()) {
        return false;
    }
    const std::vector<CCsvExport::Words> words = CCsvExport::ColumnWords(*m_model);
    for (int i = 0; i < rows; ++i) {
        m_ui.dispatchPendingEvents(1);
        const QByteArray bytes = CCp932::fromUnicode(CCsvExport::ExportChunk(*m_model, i, words));
        if (out.write(bytes) != bytes.size()) {
            return false;
        }
        m_progressPos = i;
        notifyProgress();
        if (m_cancelRequested) {
            // The earlier file stays as it was; the rows written so far go with the temporary file.
            return true;
        }
    }
    // The export is on the disk before it takes the file's name: a power cut never leaves a cut CSV under it.
    if (!out.flush() || !CDurableFile::SyncData(out.handle())) {
        return false;
    }
    // A new file gets the permissions any file made here gets; a replaced one keeps its own.
    const QFileInfo old(targetPath());
    out.setPermissions(old.exists() ? old.permissions() : defaultPermissions());
    if (!CDurableFile::Rename(QFile::encodeName(out.fileName()), QFile::encodeName(targetPath()),
                              CDurableFile::Name::Replace)) {
        return false;
    }
    out.setAutoRemove(false);
    m_progressPos = rows;
    m_okEnabled = true;
    notify();
    return true;
}
