#pragma once

#include <QString>
#include <QStringList>

class CKeldaSession;

// Builds download folders with message files for tests, benchmarks and screenshots: each message is a record
// followed by a zeroed unit header and a few bytes, named the way the unit names its files.
class CSampleFolder {
public:
    struct Message {
        bool voice = true; // ".vmdat"; otherwise an information-only ".vminf"
        int importStatus = 2;
        int flag = 0;
        int played = 0;
        int protect = 0;
        QString dateTime; // "2026/12/08 10:15"
        QString recTime = QStringLiteral("00:00:12");
        QString callerNo = QStringLiteral("0312345678");
        QString callerName;
        // The name carries the box number padded to four characters with "_", as the unit names the messages of
        // boxes with shorter numbers; otherwise the number runs straight on into the serial.
        bool paddedBox = false;
    };

    // Writes one message file into boxFolder (created when missing) and returns its full path.
    static QString writeMessage(const QString& boxFolder, const QString& boxNo, int seq, const Message& m);
    // root/name/rusuroku/<box> and root/name/naisen/<box>, each box with perBox messages of varied content.
    static QString makeDownloadFolder(const QString& root, const QString& name, const QStringList& rusuroku,
                                      const QStringList& naisen, int perBox);
    // Points the first list window of doc at the download folder root/dl showing boxes ("留守録BOX：01"), with
    // the default columns.
    static void showFirstList(CKeldaSession& doc, const QString& root, const QString& boxes);
};
