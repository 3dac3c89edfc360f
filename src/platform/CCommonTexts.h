#pragma once

#include <QString>

// The message texts and captions that the link, the voice commands and the operations all show: kept at the
// bottom so that every folder can reach them.
class CCommonTexts {
public:
    static QString ErrorCaption() { return QStringLiteral("エラー"); }
    static QString AlreadyErased() { return QStringLiteral("音声ファイルは既に消去されています。"); }
    static QString NoDiskSpace() { return QStringLiteral("ＰＣのメモリ不足です。"); }
};
