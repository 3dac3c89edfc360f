#include "list/CInfoEditLogic.h"

#include "platform/CCommonTexts.h"
#include "platform/CCp932.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "store/CRecordTexts.h"

#include <utility>

namespace {
// Why an entry cannot be stored as given; empty when it can. Only text CP932 holds whole is taken: its byte count
// is then what the limit checks, and the field (one UTF-16 unit per CP932 character) always holds it whole.
// label: the field's name in the editor, for the words a window shows (empty: the words kelda-cli shows).
QString entryProblem(const QString& text, int maxBytes, const QString& label = QString()) {
    if (text.isEmpty()) {
        return QString();
    }
    const bool window = !label.isEmpty();
    if (!CCp932::holds(text)) {
        return window ? QStringLiteral("「%1」は%2に使えない文字です。").arg(CCp932::firstUnheld(text), label)
                      : QStringLiteral("\"%1\" is a character CP932 lacks").arg(CCp932::firstUnheld(text));
    }
    if (text.contains(QLatin1Char(','))) {
        return window ? QStringLiteral("%1に「,」は使えません。").arg(label) : QStringLiteral("\",\" is not allowed");
    }
    if (const int bytes = CCp932::byteLength(text); bytes > maxBytes) {
        return window ? QStringLiteral("%1は%2バイト（全角%3文字）までです（%4バイト）。")
                            .arg(label)
                            .arg(maxBytes)
                            .arg(maxBytes / 2)
                            .arg(bytes)
                      : QStringLiteral("%1 bytes in CP932, at most %2").arg(bytes).arg(maxBytes);
    }
    return QString();
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
    return entriesProblem().isEmpty();
}

QString CInfoEditLogic::entriesProblem() const {
    const std::pair<const char*, std::pair<const QString*, int>> checks[] = {
        {"title", {&m_entries.title, TITLE_MAX}},
        {"caller-no", {&m_entries.callerNo, CALLERNO_MAX}},
        {"caller-name", {&m_entries.callerName, CALLERNAME_MAX}},
        {"memo", {&m_entries.memo, MEMO_MAX}},
    };
    for (const auto& [name, check] : checks) {
        if (const QString why = entryProblem(*check.first, check.second); !why.isEmpty()) {
            return QLatin1String(name) + QStringLiteral(": ") + why;
        }
    }
    return QString();
}

QString CInfoEditLogic::entriesProblemText() const {
    const std::pair<const char16_t*, std::pair<const QString*, int>> checks[] = {
        {u"タイトル", {&m_entries.title, TITLE_MAX}},
        {u"相手番号", {&m_entries.callerNo, CALLERNO_MAX}},
        {u"相手名称", {&m_entries.callerName, CALLERNAME_MAX}},
        {u"メモ", {&m_entries.memo, MEMO_MAX}},
    };
    for (const auto& [label, check] : checks) {
        if (const QString why = entryProblem(*check.first, check.second, QString::fromUtf16(label)); !why.isEmpty()) {
            return why;
        }
    }
    return QString();
}

CInfoEditLogic::Outcome CInfoEditLogic::accept() {
    const QString error = CCommonTexts::InputError();
    const QString caption = CCommonTexts::ErrorCaption();
    if (!entriesValid()) {
        // The person learns which field and what it takes.
        m_ui.messageBox(error + QLatin1Char('\n') + entriesProblemText(), caption, MsgIcon::Exclamation);
        return Outcome::Refused;
    }
    if (m_ui.messageBox(CCommonTexts::RegisterConfirm(), CCommonTexts::RegisterConfirmCaption(), MsgIcon::Question,
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
    if (!m_readOk) {
        m_ui.messageBox(error, caption, MsgIcon::Exclamation);
        return Outcome::NotWritten;
    }
    const bool written = CFileMng::RewriteRecord(rec, m_file) == CFileMng::WriteResult::Written;
    // The folder is free before the last word: a person who leaves the message open holds up no other run.
    lock.release();
    if (!written) {
        // Not an input error: the entries were fine, the file (or its folder) would not take them.
        m_ui.messageBox(NotWrittenText(m_file), caption, MsgIcon::Exclamation);
        return Outcome::NotWritten;
    }
    m_rec = rec;
    return Outcome::Written;
}
