#include "admin/CPathFileSetLogic.h"

#include "settings/CKeldaSettings.h"

#include <QFileInfo>

#include <utility>

namespace {
QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    return path;
}
} // namespace

CPathFileSetLogic::CPathFileSetLogic(CUserInterface& ui, CKeldaSettings& doc, QString title, QString text)
    : m_ui(ui), m_doc(doc), m_title(std::move(title)), m_text(std::move(text)) {}

void CPathFileSetLogic::setFolder(const QString& text) {
    m_folder = text;
    m_okEnabled = !m_folder.isEmpty() && !m_file.isEmpty();
}

void CPathFileSetLogic::setFile(const QString& text) {
    m_file = text;
    m_okEnabled = !m_folder.isEmpty() && !m_file.isEmpty();
}

bool CPathFileSetLogic::cancel() {
    if (m_running) {
        m_cancelRequested = true;
        return false;
    }
    return true;
}

void CPathFileSetLogic::fillFields(const QString& rememberedFolder, const QString& rememberedName) {
    m_folder = withoutTrailingSlash(rememberedFolder);
    m_file = rememberedName;
    m_okEnabled = !m_folder.isEmpty() && !m_file.isEmpty();
}

void CPathFileSetLogic::takeChosen(const QFileInfo& chosen, QString& rememberedFolder, QString& rememberedName) {
    m_folder = withoutTrailingSlash(chosen.path());
    m_file = chosen.fileName();
    remember(rememberedFolder, rememberedName);
    m_okEnabled = true;
    notify();
}

void CPathFileSetLogic::remember(QString& rememberedFolder, QString& rememberedName) const {
    rememberedFolder = CKeldaSettings::fit(m_folder, CKeldaSettings::W_PATH);
    rememberedName = CKeldaSettings::fit(m_file, CKeldaSettings::W_PATH);
}

void CPathFileSetLogic::notify() {
    if (changed) {
        changed();
    }
    m_sinceShown.start();
}

void CPathFileSetLogic::notifyProgress() {
    if (!m_sinceShown.isValid() || m_sinceShown.elapsed() >= PROGRESS_GAP_MS) {
        notify();
    }
}
