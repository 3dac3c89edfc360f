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

CImportSetLogic::CImportSetLogic(CUserInterface& ui, CKeldaSettings& doc)
    : CPathFileSetLogic(ui, doc, CAdminTexts::ImportTitle(), CAdminTexts::ImportText()) {}

void CImportSetLogic::open() {
    fillFields(m_doc.importPath, m_doc.importName);
    m_progressVisible = false;
    m_progressPos = 0;
    notify();
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
        takeChosen(info, m_doc.importPath, m_doc.importName);
        return Choose::Chosen;
    }
}

CImportSetLogic::Ok CImportSetLogic::ok() {
    if (m_running) {
        return Ok::StayOpen;
    }
    CFolderLock lock;
    if (!lock.acquireOrTell(m_ui, m_doc.currentFolderPath())) {
        return Ok::StayOpen;
    }
    m_running = true;
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
    // The folder is free before the last word: a person who leaves the message open holds up no other run.
    lock.release();
    const CNameImport::Outcome& outcome = m_outcome;
    m_okEnabled = true;
    if (outcome.result == CNameImport::Result::Completed) {
        m_completed = true;
        m_cancelRequested = false;
        m_progressPos = m_progressMax;
        remember(m_doc.importPath, m_doc.importName);
        m_running = false;
        notify();
        return Ok::Imported;
    }
    if (outcome.result == CNameImport::Result::Unreadable || outcome.result == CNameImport::Result::WriteFailed) {
        m_ui.messageBox(CAdminTexts::ImportError(), CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
    }
    m_progressVisible = false;
    m_text = CAdminTexts::ImportText();
    m_title = CAdminTexts::ImportTitle();
    m_running = false;
    m_cancelRequested = false;
    notify();
    return Ok::StayOpen;
}

QString CImportSetLogic::doneText() const {
    return CAdminTexts::ImportDoneWith(m_outcome.linesTaken, m_outcome.skippedNoBox, m_outcome.skippedNoName,
                                       m_outcome.skippedTooLong, m_outcome.skippedNotCp932,
                                       CBoxNameRules::BOX_NAME_MAX_BYTES);
}
