#pragma once

#include "platform/CCommonTexts.h"

#include <QString>
#include <QStringList>

// The message texts and captions of the box name, box folder, export and import dialogs.
class CAdminTexts : public CCommonTexts {
public:
    // The input error with the entry it concerns ("内線BOX：201") and why.
    static QString InputErrorAt(const QString& where, const QString& why) {
        return InputError() + QLatin1Char('\n') + where + QLatin1Char('\n') + why;
    }
    static QString DuplicateName() { return QStringLiteral("フォルダ名が重複しています。"); }
    static QString BoxNameDone() { return QStringLiteral("ＢＯＸ名称の登録が完了しました。"); }
    static QString BoxNameDoneCaption() { return QStringLiteral("登録完了"); }
    // Box names that could not be written, one "留守録BOX：0001" line each.
    static QString BoxNameFailed(const QStringList& boxes) {
        return QStringLiteral("ＢＯＸ名称を登録できなかったボックスがあります。\n") + boxes.join(QLatin1Char('\n'));
    }
    // A box folder made on the PC is no box of the unit, whatever its name: said at once, so that nobody waits for
    // messages to be downloaded into it.
    static QString MakeDone() {
        return QStringLiteral("ボックスフォルダが作成完了しました。\n"
                              "このフォルダはＰＣだけのもので、ＺＵＮＯからのダウンロードの対象になりません。");
    }
    static QString MakeDoneCaption() { return QStringLiteral("作成完了"); }
    static QString RenameDone() { return QStringLiteral("ボックスフォルダ名称の変更が完了しました。"); }
    static QString RenameDoneCaption() { return QStringLiteral("変更完了"); }
    // Box folders that kept their old names, one "留守録BOX：old → new" line each.
    static QString RenameFailed(const QStringList& folders) {
        return QStringLiteral("ボックスフォルダ名称を変更できなかったフォルダがあります。\n") +
               folders.join(QLatin1Char('\n'));
    }
    static QString KindLabel(bool answeringMachine) {
        return answeringMachine ? QStringLiteral("留守録BOX") : QStringLiteral("内線BOX");
    }

    static QString CsvFilter() { return QStringLiteral(" csvﾌｧｲﾙ(*.csv)"); }
    static QString OpenError() {
        return QStringLiteral("ファイルが読み込めません。\n\n他のアプリケーションで使用していないか、確認して下さい。");
    }
    static QString OpenErrorCaption() { return QStringLiteral("オープンエラー"); }

    static QString ExportTitle() { return QStringLiteral("エクスポート設定"); }
    static QString ExportText() { return QStringLiteral("一覧表をCSVファイルとしてエクスポートします。"); }
    static QString ExportRunningTitle() { return QStringLiteral("エクスポート中"); }
    static QString ExportRunningText() { return QStringLiteral("一覧表をエクスポート中です。"); }
    static QString ExportChooseTitle() { return QStringLiteral("エクスポートするファイルを指定してください。"); }
    static QString ExportOverwrite(const QString& path) {
        return QStringLiteral("ファイル\"%1\"は\n既に存在します。上書きしますか？").arg(path);
    }
    static QString ExportError() { return QStringLiteral("エクスポートエラー"); }
    static QString ExportDone() { return QStringLiteral("一覧表のエクスポートが正常に完了しました。"); }
    static QString ExportDoneCaption() { return QStringLiteral("エクスポート完了"); }

    static QString ImportTitle() { return QStringLiteral("インポート設定"); }
    static QString ImportText() { return QStringLiteral("内線ボックス名称をインポートします。"); }
    static QString ImportRunningTitle() { return QStringLiteral("インポート中"); }
    static QString ImportRunningText() { return QStringLiteral("内線ボックス名称をインポート中です。"); }
    static QString ImportChooseTitle() { return QStringLiteral("インポートするファイルを指定してください。"); }
    static QString ImportError() { return QStringLiteral("インポートエラー"); }
    static QString ImportDone() { return QStringLiteral("内線電話帳のインポートが正常に完了しました。"); }
    // The completion message with the lines taken and the lines skipped, by reason.
    static QString ImportDoneWith(int taken, int noBox, int noName, int tooLong, int notCp932, int maxBytes) {
        QString text = ImportDone() + QStringLiteral("\n\n取り込んだ行：%1").arg(taken);
        const int skipped = noBox + noName + tooLong + notCp932;
        if (skipped > 0) {
            QStringList why;
            if (noBox > 0) {
                why << QStringLiteral("ボックスフォルダなし %1").arg(noBox);
            }
            if (noName > 0) {
                why << QStringLiteral("名称の欄なし %1").arg(noName);
            }
            if (tooLong > 0) {
                why << QStringLiteral("名称が%1バイト超 %2").arg(maxBytes).arg(tooLong);
            }
            if (notCp932 > 0) {
                why << QStringLiteral("使えない文字 %1").arg(notCp932);
            }
            text += QStringLiteral("\nスキップした行：%1（%2）").arg(skipped).arg(why.join(QStringLiteral("、")));
        }
        return text;
    }
    static QString ImportDoneCaption() { return QStringLiteral("インポート完了"); }
};
