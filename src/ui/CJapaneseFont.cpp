#include "ui/CJapaneseFont.h"

#include <QApplication>
#include <QFontDatabase>

namespace {
const QString LEGACY_FAMILY = QStringLiteral("ＭＳ Ｐゴシック");
}

QString CJapaneseFont::family() {
    static QString chosen;
    if (!chosen.isEmpty()) {
        return chosen;
    }
    const QStringList families = QFontDatabase::families();
    for (const char* wanted :
         {"IPAexGothic", "IPAPGothic", "IPAGothic", "Noto Sans CJK JP", "Noto Sans JP", "VL PGothic", "TakaoPGothic"}) {
        const QString w = QString::fromLatin1(wanted);
        if (families.contains(w)) {
            chosen = w;
            return chosen;
        }
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    chosen = japanese.isEmpty() ? QApplication::font().family() : japanese.first();
    return chosen;
}

QFont CJapaneseFont::font(int pixelHeight) {
    QFont f(family());
    f.setPixelSize(pixelHeight);
    f.setWeight(QFont::Normal);
    return f;
}

void CJapaneseFont::install() {
    QFont::insertSubstitution(LEGACY_FAMILY, family());
    QApplication::setFont(font(13));
}
