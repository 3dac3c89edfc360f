#pragma once

#include "platform/CCommonTexts.h"

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
    static QString CommError() { return QStringLiteral("通信エラーが発生しました。"); }
    static QString NoMessages() { return QStringLiteral("音声メッセージがありません。"); }
    static QString DownloadDone() { return QStringLiteral("ファイルのダウンロードが正常に完了しました。"); }
    static QString PartlyNoVoice() {
        return QStringLiteral("一部の音声ファイルがダウンロードできませんでした\n(音声ファイルなし)。");
    }
    static QString PartlyNoDiskSpace() {
        return QStringLiteral("一部の音声ファイルがダウンロードできませんでした\n(ＰＣのメモリ不足)。");
    }
    static QString NothingSelected() { return QStringLiteral("選択されていません。"); }
    static QString FolderDownloadDone() { return QStringLiteral("フォルダのダウンロードが正常に完了しました。"); }
    static QString NoBoxFolders() { return QStringLiteral("フォルダにボックス情報がありません。\n確認ください。"); }
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
