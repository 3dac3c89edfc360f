#pragma once

#include "platform/CCommonTexts.h"
#include "store/BoxKind.h"

#include <QString>

// The message texts and captions that more than one operation (or the desktop program and kelda-cli) show:
// each has its home here, or below in CCommonTexts when the link or the voice commands show it too.
class COperationTexts : public CCommonTexts {
public:
    static QString DownloadDoneCaption() { return QStringLiteral("ダウンロード完了"); }
    static QString DownloadConfirmCaption() { return QStringLiteral("ダウンロード確認画面"); }
    static QString DownloadConfirm(const QString& folder) {
        return QStringLiteral("%1にダウンロードします。\nよろしいですか？").arg(folder);
    }
    static QString RepairConfirmCaption() { return QStringLiteral("修復の確認"); }
    static QString CommError() { return QStringLiteral("通信エラーが発生しました。"); }
    static QString NoMessages() { return QStringLiteral("音声メッセージがありません。"); }
    static QString DownloadDone() { return QStringLiteral("ファイルのダウンロードが正常に完了しました。"); }
    static QString PartlyNoVoice() {
        return QStringLiteral("一部の音声ファイルがダウンロードできませんでした\n(音声ファイルなし)。");
    }
    static QString PartlyNoDiskSpace() {
        return QStringLiteral("一部の音声ファイルがダウンロードできませんでした\n(ＰＣのメモリ不足)。");
    }
    static QString FolderDownloadDone() { return QStringLiteral("フォルダのダウンロードが正常に完了しました。"); }
    // The line a download's last message gains when it left messages on the unit that the PC moved or deleted.
    static QString LeftOnUnit(int keptElsewhere, int deletedOnPc) {
        if (keptElsewhere > 0 && deletedOnPc > 0) {
            return QStringLiteral(
                       "ＰＣで他のBOXへ移動・コピーしたメッセージ%1件と、\nＰＣのみで消去したメッセージ%2件は"
                       "ダウンロードしていません。")
                .arg(keptElsewhere)
                .arg(deletedOnPc);
        }
        if (keptElsewhere > 0) {
            return QStringLiteral("ＰＣで他のBOXへ移動・コピーしたメッセージ%1件は\nダウンロードしていません。")
                .arg(keptElsewhere);
        }
        return QStringLiteral("ＰＣのみで消去したメッセージ%1件はダウンロードしていません。").arg(deletedOnPc);
    }
    static QString PcDeletionsUnreadable() {
        return QStringLiteral("ＰＣのみで消去したメッセージの記録が読めないため、\nそれらもダウンロードしました。");
    }
    static QString PcDeletionsNotUpdated() {
        return QStringLiteral("ＰＣのみで消去したメッセージの記録を更新できませんでした。");
    }
    // The line a question or a completion of an operation on messages gains: how many, and where (a target
    // "rusuroku/0002", or the deletion's kind).
    static QString ChosenLine(int count, const QString& where) {
        return QStringLiteral("対象：%1件（%2）").arg(count).arg(where);
    }
    static QString DoneLine(const QString& verb, int count, const QString& where) {
        return QStringLiteral("%1した音声メッセージ：%2件（%3）").arg(verb).arg(count).arg(where);
    }
    static QString TargetLabel(const QString& target) {
        const QString kind = target.section(QLatin1Char('/'), 0, 0);
        const QString box = target.section(QLatin1Char('/'), 1);
        return (boxKindOfDir(kind) == BoxKind::Extension ? QStringLiteral("内線BOX") : QStringLiteral("留守録BOX")) +
               box + QStringLiteral("へ");
    }
    // A download stopped by "キャンセル": what it brought, and what it left on the unit.
    static QString DownloadStopped() { return QStringLiteral("ダウンロードを中止しました。"); }
    static QString DownloadStoppedCaption() { return QStringLiteral("ダウンロード中止"); }
    static QString StoppedReceived(int messages) {
        return QStringLiteral("このダウンロードで受信したメッセージ：%1件").arg(messages);
    }
    static QString StoppedBoxesLeft(const QString& boxes) {
        return QStringLiteral("ダウンロードが終わっていないボックス：%1").arg(boxes);
    }
    static QString StoppedVoiceLeft(int messages) {
        return QStringLiteral("音声データを受信していない選択メッセージ：%1件").arg(messages);
    }
};
