#include "voice/CAudioExportName.h"

#include "store/BoxKind.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStringList>

QString CAudioExportName::safePart(const QString& text, int maxLength) {
    QString out;
    bool gap = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool keep = (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || u == u'-';
        if (!keep) {
            gap = !out.isEmpty();
            continue;
        }
        if (gap) {
            out += QLatin1Char('_');
            gap = false;
        }
        out += c;
    }
    return out.left(maxLength);
}

QString CAudioExportName::stem(const FILESTS_INFO& rec, const QString& messageFile) {
    const QFileInfo file(messageFile);
    // By the path's words alone: the folders need not be there.
    const QString boxFolderPath = file.path();
    const QString boxFolder = QFileInfo(boxFolderPath).fileName();
    const QString kind = QFileInfo(QFileInfo(boxFolderPath).path()).fileName();
    const bool inBoxFolder = boxKindOfDir(kind).has_value();
    QStringList parts;
    const QDateTime recorded =
        QDateTime::fromString(FILESTS_INFO::text(rec.recDateTime).trimmed(), QStringLiteral("yyyy/MM/dd HH:mm"));
    // A record without a readable date still gets a name of its own: the unit's name of the file.
    parts << (recorded.isValid() ? recorded.toString(QStringLiteral("yyyy-MM-dd_HHmm"))
                                 : safePart(file.completeBaseName(), 40));
    const QString boxNo = safePart(FILESTS_INFO::text(rec.boxNo), 8);
    parts << (inBoxFolder ? kind : QStringLiteral("box")) +
                 (boxNo.isEmpty() && inBoxFolder ? safePart(boxFolder, 8) : boxNo);
    const QString caller = safePart(FILESTS_INFO::text(rec.callerNo), 32);
    if (!caller.isEmpty()) {
        parts << caller;
    }
    parts.removeAll(QString());
    return parts.join(QLatin1Char('_'));
}

QString CAudioExportName::candidate(const QString& stem, int n, const QString& suffix) {
    return n <= 1 ? stem + suffix : QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(suffix);
}
