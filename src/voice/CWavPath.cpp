#include "voice/CWavPath.h"

QString CWavPath::replaceSuffix(const QString& path, const QString& from, const QString& to) {
    if (!path.endsWith(from) || path.size() == from.size() || path.endsWith(QLatin1Char('/') + from)) {
        return QString();
    }
    return path.left(path.size() - from.size()) + to;
}

QString CWavPath::tmpFor(const QString& voiceFile) {
    return replaceSuffix(voiceFile, QStringLiteral(".vmdat"), QStringLiteral(".tmp"));
}

QString CWavPath::wavFor(const QString& messageFile) {
    const QString fromVoice = replaceSuffix(messageFile, QStringLiteral(".vmdat"), QStringLiteral(".wav"));
    if (!fromVoice.isEmpty()) {
        return fromVoice;
    }
    return replaceSuffix(messageFile, QStringLiteral(".vminf"), QStringLiteral(".wav"));
}

QString CWavPath::wavForTmp(const QString& tmpFile) {
    return replaceSuffix(tmpFile, QStringLiteral(".tmp"), QStringLiteral(".wav"));
}
