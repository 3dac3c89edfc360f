#include "admin/CBoxNameRules.h"

#include "platform/CCp932.h"

bool CBoxNameRules::IsValidBoxName(const QString& name) {
    return CheckBoxName(name) == BoxNameProblem::None;
}

CBoxNameRules::BoxNameProblem CBoxNameRules::CheckBoxName(const QString& name) {
    if (!CCp932::holds(name)) {
        return BoxNameProblem::NotCp932;
    }
    if (name.contains(QLatin1Char(','))) {
        return BoxNameProblem::Comma;
    }
    if (CCp932::byteLength(name) > BOX_NAME_MAX_BYTES) {
        return BoxNameProblem::TooLong;
    }
    return BoxNameProblem::None;
}

QString CBoxNameRules::BoxNameProblemText(const QString& name, BoxNameProblem problem) {
    switch (problem) {
    case BoxNameProblem::None:
        break;
    case BoxNameProblem::TooLong:
        return QStringLiteral("BOX名称は%1バイト（全角%2文字）までです（%3バイト）。")
            .arg(BOX_NAME_MAX_BYTES)
            .arg(BOX_NAME_MAX_BYTES / 2)
            .arg(CCp932::byteLength(name));
    case BoxNameProblem::Comma:
        return QStringLiteral("BOX名称に「,」は使えません。");
    case BoxNameProblem::NotCp932:
        return QStringLiteral("「%1」はBOX名称に使えない文字です。").arg(CCp932::firstUnheld(name));
    }
    return QString();
}

bool CBoxNameRules::IsValidFolderName(const QString& name) {
    if (!CCp932::holds(name)) {
        return false;
    }
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
