#include "list/CInfoEditLogic.h"

#include "platform/CCp932.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "store/CRecordTexts.h"

namespace {
bool entryOk(const QString& text, int maxBytes) {
    return text.isEmpty() || (!text.contains(QLatin1Char(',')) && CCp932::byteLength(text) <= maxBytes);
}
} // namespace

CInfoEditLogic::CInfoEditLogic(CUserInterface& ui, const QString& file, const QString& root)
    : m_ui(ui), m_file(file), m_root(root) {
    m_rec.clear();
    m_readOk = CFileMng::ReadRecord(file, m_rec).bytes >= FILESTS_INFO::SIZE;
    m_entries.title = FILESTS_INFO::text(m_rec.title);
    m_entries.callerNo = FILESTS_INFO::text(m_rec.callerNo);
    m_entries.callerName = FILESTS_INFO::text(m_rec.callerName);
    m_entries.memo = FILESTS_INFO::text(m_rec.memo);
    m_entries.protect = m_rec.protect == 1;
    m_entries.flag = m_rec.flag == 1;
}

QString CInfoEditLogic::fileNameText() const {
    QString prefix = m_root;
    if (!prefix.isEmpty() && !prefix.endsWith(QLatin1Char('/'))) {
        prefix += QLatin1Char('/');
    }
    QString path = FILESTS_INFO::text(m_rec.filePath);
    if (!prefix.isEmpty() && path.startsWith(prefix)) {
        path.remove(0, prefix.size());
    }
    qsizetype k = 0;
    while (k < path.size() && path[k] == QLatin1Char(' ')) {
        ++k;
    }
    return path.mid(k);
}

QString CInfoEditLogic::playedText() const {
    return m_rec.played != 0 ? QStringLiteral("再生済") : QStringLiteral("未再生");
}

QString CInfoEditLogic::importText() const {
    return CRecordTexts::importStatusEditorText(m_rec.importStatus);
}

bool CInfoEditLogic::entriesValid() const {
    return entryOk(m_entries.title, TITLE_MAX) && entryOk(m_entries.callerNo, CALLERNO_MAX) &&
           entryOk(m_entries.callerName, CALLERNAME_MAX) && entryOk(m_entries.memo, MEMO_MAX);
}

CInfoEditLogic::Outcome CInfoEditLogic::accept() {
    const QString error = QStringLiteral("入力値エラーです。");
    const QString caption = QStringLiteral("エラー");
    if (!entriesValid()) {
        m_ui.messageBox(error, caption, MsgIcon::Exclamation);
        return Outcome::Refused;
    }
    if (m_ui.messageBox(QStringLiteral("登録します。よろしいですか？"), QStringLiteral("登録の確認"), MsgIcon::Question,
                        MsgButtons::YesNo) != MsgResult::Yes) {
        return Outcome::Declined;
    }
    CFolderLock lock;
    if (!lock.acquireOrTell(m_ui, CFolderLock::DownloadFolderOfFile(m_file))) {
        return Outcome::NotWritten;
    }
    // Written into the copy only when the file takes it: a refusal leaves the entries to be tried again.
    FILESTS_INFO rec = m_rec;
    FILESTS_INFO::setText(rec.title, m_entries.title);
    FILESTS_INFO::setText(rec.callerNo, m_entries.callerNo);
    FILESTS_INFO::setText(rec.callerName, m_entries.callerName);
    FILESTS_INFO::setText(rec.memo, m_entries.memo);
    rec.protect = m_entries.protect ? 1 : 0;
    rec.flag = m_entries.flag ? 1 : 0;
    if (!m_readOk || CFileMng::RewriteRecord(rec, m_file) != CFileMng::WriteResult::Written) {
        m_ui.messageBox(error, caption, MsgIcon::Exclamation);
        return Outcome::NotWritten;
    }
    m_rec = rec;
    return Outcome::Written;
}
