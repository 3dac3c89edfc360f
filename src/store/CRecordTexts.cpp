#include "store/CRecordTexts.h"

namespace {
int normalised(int importStatus) {
    return (importStatus >= 0 && importStatus <= 2) ? importStatus : 3;
}
} // namespace

QString CRecordTexts::importStatusDigit(int importStatus) {
    static const char* const digits[] = {"2", "1", "0", "3"};
    return QString::fromLatin1(digits[normalised(importStatus)]);
}

QString CRecordTexts::importStatusTooltip(int importStatus) {
    switch (normalised(importStatus)) {
    case 0:
        return QStringLiteral("録音情報のみを取込(ダウンロード)済");
    case 1:
        return QStringLiteral("録音情報+音声データ（ZUNO側で再生済)を取込(ダウンロード)済");
    case 2:
        return QStringLiteral("録音情報+音声データ（ZUNO側で未再生)を取込(ダウンロード)済");
    default:
        return QStringLiteral("録音情報+音声データを取込(ダウンロード)後にZUNO側のデータを消去済");
    }
}

QString CRecordTexts::importStatusEditorText(int importStatus) {
    switch (normalised(importStatus)) {
    case 0:
        return QStringLiteral("録音情報のみ");
    case 1:
        return QStringLiteral("録音情報+音声ﾃﾞｰﾀ(ZUNO側で再生済)");
    case 2:
        return QStringLiteral("録音情報+音声ﾃﾞｰﾀ(ZUNO側で未再生)");
    default:
        return QStringLiteral("録音情報+音声ﾃﾞｰﾀ(ZUNO側で消去済)");
    }
}

QString CRecordTexts::flagText(int flag) {
    return flag == 0 ? QStringLiteral("0") : QStringLiteral("1");
}

QString CRecordTexts::playedText(int played) {
    return played == 0 ? QStringLiteral("未再生") : QStringLiteral("再生済");
}

QString CRecordTexts::protectText(int protect) {
    return protect == 0 ? QStringLiteral("非保護") : QStringLiteral("保護");
}
