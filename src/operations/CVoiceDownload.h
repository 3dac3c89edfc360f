#pragma once

#include <QString>
#include <QStringList>

class CFtpMng;
class CUserInterface;

// "音声ﾃﾞｰﾀﾀﾞｳﾝﾛｰﾄﾞ": fetches the voice data of the rows selected in a list window, typically messages first
// downloaded as recording information only.
class CVoiceDownload {
public:
    // Where a row's voice file lives, from the record's file path.
    struct Target {
        QString name;      // "<stem>.vmdat"
        QString boxFolder; // local box folder
        QString boxNo;
        QString unitDir;  // "/naisen/NNNN" or "/rusuroku/NNNN"
        QString unitPath; // unitDir + "/" + name
    };
    static Target TargetOf(const QString& filePath);

    struct Outcome {
        bool reload = false;   // the list window should reload its records
        bool complete = false; // every file came, and the completion message said so
    };

    // Runs the download over the selected rows' file paths, in list order, and reports by message boxes.
    static Outcome RunVoiceDownload(CUserInterface& ui, CFtpMng& ftp, const QStringList& selectedFilePaths);
};
