#pragma once

#include <QString>

// The message texts and captions that more than one folder shows: kept at the bottom so that every folder can
// reach them. The text classes above derive from this one, so a text is found under their names as well.
class CCommonTexts {
public:
    static QString ErrorCaption() { return QStringLiteral("エラー"); }
    static QString AlreadyErased() { return QStringLiteral("音声ファイルは既に消去されています。"); }
    static QString NoDiskSpace() { return QStringLiteral("ＰＣのメモリ不足です。"); }
    static QString InputError() { return QStringLiteral("入力値エラーです。"); }
    static QString NothingSelected() { return QStringLiteral("選択されていません。"); }
    static QString NoBoxSelected() { return QStringLiteral("BOXが選択されていません。"); }
    static QString NoBoxFolders() { return QStringLiteral("フォルダにボックス情報がありません。\n確認ください。"); }
    static QString VoiceNotDownloaded() { return QStringLiteral("音声ファイルがダウンロードされていません。"); }
    // The same, broken in two where the playing and deleting commands show it.
    static QString VoiceNotDownloadedWrapped() {
        return QStringLiteral("音声ファイルがダウンロードされて\nいません。");
    }
    static QString SettingsNotSaved() { return QStringLiteral("設定ファイル(KELDA.ini)を保存できませんでした。"); }
    static QString RegisterConfirm() { return QStringLiteral("登録します。よろしいですか？"); }
    static QString RegisterConfirmCaption() { return QStringLiteral("登録の確認"); }
};
