#include "admin/CImportSetLogic.h"

#include "admin/CAdminTexts.h"
#include "admin/CBoxNameRules.h"
#include "platform/CRegularFile.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"
#include "store/CFolderLock.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <unistd.h>

namespace {
QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    return path;
}
} // namespace

CImportSetLogic::CImportSetLogic(CUserInterface& ui, CKeldaSettings& doc)
    : m_ui(ui), m_doc(doc), m_title(CAdminTexts::ImportTitle()), m_text(CAdminTexts::ImportText()) {}

void CImportSetLogic::open() {
    m_folder = withoutTrailingSlash(m_doc.importPath);
    m_file = m_doc.importName;
    m_okEnabled = !m_folder.isEmpty() && !m_file.isEmpty();
    m_progressVisible = false;
    m_progressPos = 0;
    notify();
}

void CImportSetLogic::setFolder(const QString& text) {
    m_folder = text;
    m_okEnabled = !m_folder.isEmpty() && !m_file.isEmpty();
}

void CImportSetLogic::setFile(const QString& text) {
    m_file = text;
    m_okEnabled = !m_folder.isEmpty() && !m_file.isEmpty();
}

void CImportSetLogic::notify() {
    if (changed) {
        changed();
    }
    m_sinceShown.start();
}

void CImportSetLogic::notifyProgress() {
    if (!m_sinceShown.isValid() || m_sinceShown.elapsed() >= PROGRESS_GAP_MS) {
        notify();
    }
}

CImportSetLogic::Choose CImportSetLogic::choose() {
    for (;;) {
        const QString chosen =
            m_ui.chooseOpenFile(CAdminTexts::ImportChooseTitle(), m_folder, CAdminTexts::CsvFilter());
        if (chosen.isEmpty()) {
            return Choose::Cancelled;
        }
        const QFileInfo info(chosen);
        // Only a regular file is taken, and the probe never waits (a named pipe would wait for a writer).
        const int fd = CRegularFile::openForReading(QFile::encodeName(chosen).constData());
        if (fd >= 0) {
            ::close(fd);
        }
        if (fd < 0) {
            m_ui.messageBox(CAdminTexts::OpenError(), CAdminTexts::OpenErrorCaption(), MsgIcon::Exclamation);
            continue;
        }
        m_folder = withoutTrailingSlash(info.path());
        m_file = info.fileName();
        m_doc.importPath = CKeldaSettings::fit(m_folder, CKeldaSettings::W_PATH);
        m_doc.importName = CKeldaSettings::fit(m_file, CKeldaSettings::W_PATH);
        m_okEnabled = true;
        notify();
        return Choose::Chosen;
    }
}

CImportSetLogic::Ok CImportSetLogic::ok() {
    if (m_importing) {
        return Ok::StayOpen;
    }
    CFolderLock lock;
    if (!lock.acquireOrTell(m_ui, m_doc.currentFolderPath())) {
        return Ok::StayOpen;
    }
    m_importing = true;
    m_cancelRequested = false;
    m_completed = false;
    m_text = CAdminTexts::ImportRunningText();
    m_title = CAdminTexts::ImportRunningTitle();
    m_okEnabled = false;
    m_progressVisible = true;
    m_progressMax = CNameImport::ProgressMax(QFileInfo(sourcePath()).size());
    m_progressPos = 0;
    notify();

    CNameImport run(m_doc.currentFolderPath());
    run.cancelled = [this] {
        m_ui.dispatchPendingEvents(1);
        return m_cancelRequested;
    };
    run.progress = [this](int lines) {
        m_progressPos = std::min(lines, m_progressMax);
        notifyProgress();
    };
    m_outcome = run.run(sourcePath());
    const CNameImport::Outcome& outcome = m_outcome;
    m_okEnabled = true;
    if (outcome.result == CNameImport::Result::Completed) {
        m_completed = true;
        m_cancelRequested = false;
        m_progressPos = m_progressMax;
        m_doc.importPath = CKeldaSettings::fit(m_folder, CKeldaSettings::W_PATH);
        m_doc.importName = CKeldaSettings::fit(m_file, CKeldaSettings::W_PATH);
        m_importing = false;
        notify();
        return Ok::Imported;
    }
    if (outcome.result == CNameImport::Result::Unreadable || outcome.result == CNameImport::Result::WriteFailed) {
        m_ui.messageBox(CAdminTexts::ImportError(), CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
    }
    m_progressVisible = false;
    m_text = CAdminTexts::ImportText();
    m_title = CAdminTexts::ImportTitle();
    m_importing = false;
    m_cancelRequested = false;
    notify();
    return Ok::StayOpen;
}

QString CImportSetLogic::doneText() const {
    return CAdminTexts::ImportDoneWith(m_outcome.linesTaken, m_outcome.skippedNoBox, m_outcome.skippedNoName,
                                       m_outcome.skippedTooLong, m_outcome.skippedNotCp932,
                                       CBoxNameRules::BOX_NAME_MAX_BYTES);
}

bool CImportSetLogic::cancel() {
    if (m_importing) {
        m_cancelRequested = true;
        return false;
    }
    return true;
}
