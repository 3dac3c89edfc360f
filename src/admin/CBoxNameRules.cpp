#include "admin/CBoxNameRules.h"

#include "platform/CCp932.h"

bool CBoxNameRules::IsValidBoxName(const QString& name) {
    return CCp932::byteLength(name) <= BOX_NAME_MAX_BYTES && !name.contains(QLatin1Char(','));
}

bool CBoxNameRules::IsValidFolderName(const QString& name) {
    const int bytes = CCp932::byteLength(name);
    if (bytes < 1 || bytes > FOLDER_NAME_MAX_BYTES) {
        return false;
    }
    for (const QChar c : name) {
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c == QChar(0)) {
            return false;
        }
    }
    return true;
}

bool CBoxNameRules::IsPlainBoxNumber(const QString& boxNo) {
    return !boxNo.isEmpty() && boxNo != QLatin1String(".") && boxNo != QLatin1String("..") &&
           !boxNo.contains(QLatin1Char('/')) && !boxNo.contains(QChar(0));
}
