#include "operations/CFolderCheckLogic.h"

#include "link/CFtpMng.h"
#include "operations/CFolderCheck.h"
#include "operations/COperationTexts.h"
#include "operations/CUnitCompare.h"
#include "platform/CCancelFlag.h"
#include "platform/CCp932.h"
#include "platform/CProgressView.h"
#include "platform/CUserInterface.h"
#include "store/CDurableFile.h"

#include <QFile>
#include <QStringList>

namespace {

QString csvField(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

} // namespace

CFolderCheckLogic::CFolderCheckLogic(CUserInterface& ui, const QString& downloadFolder, CFtpMng* ftp)
    : m_ui(ui), m_folder(downloadFolder), m_ftp(ftp && ftp->Connection() ? ftp : nullptr) {}

bool CFolderCheckLogic::run() {
    m_findings.clear();
    m_compared = false;
    CCancelFlag::clear();
    ProgressLook look;
    look.title = ProgressTitle();
    look.text = QStringLiteral("ダウンロードフォルダを点検しています。");
    look.counterText = QStringLiteral(" ");
    look.cancelButton = true;
    look.onCancel = [] { CCancelFlag::set(1); };
    std::unique_ptr<CProgressView> view = m_ui.createProgressView(look);
    CFolderCheck::Report report = CFolderCheck::Run(
        m_folder,
        [&](int done, int total) {
            view->setRange(0, std::max(total, 1));
            view->setPosition(done);
            view->setCounterText(QStringLiteral("%1／%2").arg(done).arg(total));
            m_ui.dispatchPendingEvents(10);
            return CCancelFlag::value() != 1;
        },
        m_ftp != nullptr);
    bool whole = !report.cancelled;
    if (whole && m_ftp) {
        view->setText(QStringLiteral("ZUNOの一覧と照合しています。"));
        view->repaint();
        const CUnitCompare::Outcome compared = CUnitCompare::Run(*m_ftp, m_folder, report);
        m_compared = compared == CUnitCompare::Outcome::Done;
        if (compared == CUnitCompare::Outcome::CommFailure) {
            view->close();
            m_ui.messageBox(COperationTexts::CommError(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        }
        whole = m_compared;
    }
    view->close();
    m_findings = std::move(report.findings);
    for (CHECK_FINDING& f : m_findings) {
        f.advice = WindowAdvice(f.advice);
    }
    m_deletedOnPc = report.deletedOnPc;
    return whole;
}

QString CFolderCheckLogic::WindowAdvice(const QString& advice) {
    // Longest first: a shorter phrase is part of a longer one.
    static const std::pair<const char16_t*, const char16_t*> kWords[] = {
        {u"kelda-cli folder-download と download を実行してください",
         u"「ﾌｫﾙﾀﾞのﾀﾞｳﾝﾛｰﾄﾞ」と「一括ﾀﾞｳﾝﾛｰﾄﾞ」を実行してください"},
        {u"kelda-cli download を実行してください", u"「一括ﾀﾞｳﾝﾛｰﾄﾞ」を実行してください"},
        {u"--repair (または voice-download) で", u"「修復」(または「音声ﾃﾞｰﾀﾀﾞｳﾝﾛｰﾄﾞ」)で"},
        {u"--unit と --repair で", u"ZUNOにログインして「修復」で"},
        {u"--repair で", u"「修復」で"},
        {u"kelda-cli info で確かめ", u"一覧で確かめ"},
        {u"kelda-cli verify で確かめてください", u"点検で確かめてください"},
    };
    QString text = advice;
    for (const auto& [from, to] : kWords) {
        text.replace(QString::fromUtf16(from), QString::fromUtf16(to));
    }
    return text;
}

QString CFolderCheckLogic::summaryText() const {
    QString text = m_findings.empty() ? (m_compared ? QStringLiteral("問題は見つかりませんでした(ZUNOと照合済)。")
                                                    : QStringLiteral("問題は見つかりませんでした。"))
                                      : QStringLiteral("%1件の問題が見つかりました%2。")
                                            .arg(m_findings.size())
                                            .arg(m_compared ? QStringLiteral("(ZUNOと照合済)") : QString());
    if (m_deletedOnPc > 0) {
        text +=
            QStringLiteral("\nＰＣのみで消去したメッセージ%1件はZUNOに残っています(点検の対象外)。").arg(m_deletedOnPc);
    }
    return text;
}

std::vector<CFolderRepair::Action> CFolderCheckLogic::repair(const std::vector<int>& rows) {
    std::vector<CHECK_FINDING> chosen;
    for (int r : rows) {
        if (r >= 0 && r < int(m_findings.size()) && m_findings[size_t(r)].repairable) {
            chosen.push_back(m_findings[size_t(r)]);
        }
    }
    if (chosen.empty()) {
        m_ui.messageBox(QStringLiteral("修復できる項目が選択されていません。"), COperationTexts::ErrorCaption(),
                        MsgIcon::Exclamation);
        return {};
    }
    if (m_ui.messageBox(QStringLiteral("選択した%1件を修復します。\nよろしいですか？").arg(chosen.size()),
                        COperationTexts::RepairConfirmCaption(), MsgIcon::Question,
                        MsgButtons::YesNo) != MsgResult::Yes) {
        return {};
    }
    m_ui.setMainWindowEnabled(false);
    const std::vector<CFolderRepair::Action> actions = CFolderRepair::Run(&m_ui, m_ftp, m_folder, chosen);
    m_ui.setMainWindowEnabled(true);
    int done = 0;
    QStringList failed;
    for (const CFolderRepair::Action& a : actions) {
        if (a.done) {
            ++done;
            ++m_repairs;
        } else {
            failed << a.path + QStringLiteral(": ") + a.text;
        }
    }
    if (failed.isEmpty()) {
        m_ui.messageBox(QStringLiteral("%1件を修復しました。").arg(done), QStringLiteral("修復完了"),
                        MsgIcon::Information);
    } else {
        m_ui.messageBox(
            QStringLiteral("%1件を修復しました。修復できなかったもの:\n%2").arg(done).arg(failed.join('\n')),
            COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
    }
    run();
    return actions;
}

bool CFolderCheckLogic::exportCsv() {
    const QString path = m_ui.chooseSaveFile(QStringLiteral("点検結果のエクスポート"),
                                             m_folder + QStringLiteral(".csv"), QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty()) {
        return false;
    }
    if (!CDurableFile::WriteWhole(path, CsvBytes(m_findings))) {
        m_ui.messageBox(QStringLiteral("%1 に書き込めません。").arg(path), COperationTexts::ErrorCaption(),
                        MsgIcon::Exclamation);
        return false;
    }
    m_ui.messageBox(QStringLiteral("点検結果をエクスポートしました。"), QStringLiteral("エクスポート完了"),
                    MsgIcon::Information);
    return true;
}

QByteArray CFolderCheckLogic::CsvBytes(const std::vector<CHECK_FINDING>& findings) {
    QString text = QStringLiteral("kind,path,problem,advice\n");
    for (const CHECK_FINDING& f : findings) {
        text += QStringList{CHECK_FINDING::kindName(f.kind), csvField(f.path), csvField(f.problem), csvField(f.advice)}
                    .join(QLatin1Char(',')) +
                QLatin1Char('\n');
    }
    return CCp932::fromUnicode(text);
}
