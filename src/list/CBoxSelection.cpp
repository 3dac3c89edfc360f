#include "list/CBoxSelection.h"

#include "store/BoxKind.h"

QString CBoxSelection::build(const QStringList& rusurokuBoxes, const QStringList& naisenBoxes) {
    QString text;
    if (!rusurokuBoxes.isEmpty()) {
        text += QStringLiteral("留守録BOX：");
        for (const auto& b : rusurokuBoxes) {
            text += b + ',';
        }
    }
    if (!naisenBoxes.isEmpty()) {
        if (!text.isEmpty()) {
            text += QStringLiteral("  ");
        }
        text += QStringLiteral("内線BOX：");
        for (const auto& b : naisenBoxes) {
            text += b + ',';
        }
    }
    if (text.endsWith(',')) {
        text.chop(1);
    }
    return text;
}

std::vector<CBoxSelection::Box> CBoxSelection::parse(const QString& text) {
    std::vector<Box> boxes;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype sep = -1;
        for (qsizetype k = pos; k < text.size(); ++k) {
            if (text[k] == u':' || text[k] == u'：') {
                sep = k;
                break;
            }
        }
        if (sep < 0) {
            break;
        }
        const bool naisen = text.mid(pos, sep - pos).contains(QStringLiteral("内線"));
        qsizetype end = text.indexOf(u' ', sep + 1);
        if (end < 0) {
            end = text.size();
        }
        const QStringList pieces = text.mid(sep + 1, end - sep - 1).split(u',');
        for (const auto& p : pieces) {
            if (!p.trimmed().isEmpty()) {
                boxes.push_back({naisen, p});
            }
        }
        pos = end;
    }
    return boxes;
}

QString CBoxSelection::kindDirectory(bool naisen) {
    return boxKindDir(boxKindOf(naisen));
}

QStringList CBoxSelection::boxFolders(const QString& downloadFolder, const QString& text) {
    QStringList out;
    QString base = downloadFolder;
    if (base.endsWith('/')) {
        base.chop(1);
    }
    for (const auto& b : parse(text)) {
        out << base + '/' + kindDirectory(b.naisen) + '/' + b.boxNo;
    }
    return out;
}
