#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

// The import of an extension phone book into the box names of a download folder's extension boxes ("naisen"):
// the name a line gives (the last one CImportLineReader finds in it) is written as "NAME" of its box's
// "inf.ini", unquoted. A line is taken only when its box number names an existing box folder directly below
// "naisen" and its name keeps the box name rule (the one the box name editor applies); any other line is skipped
// and counted with its reason, so the answering-machine boxes and every folder outside "naisen" stay untouched
// and no name is stored other than as given. Cancelled or failed runs put back every "inf.ini" they changed.
class CNameImport {
public:
    enum class Result {
        Completed,
        Cancelled,   // every change taken back
        Unreadable,  // the file cannot be opened: nothing written
        WriteFailed, // a box could not be backed up or written: every change taken back
    };
    struct Outcome {
        Result result = Result::Unreadable;
        int namesWritten = 0;
        int linesTaken = 0;      // lines whose name was written
        int linesSkipped = 0;    // every line skipped, for whatever reason below (blank lines are not counted)
        int skippedNoBox = 0;    // a name, but no box folder of that number below "naisen"
        int skippedNoName = 0;   // no name field ended by ","
        int skippedTooLong = 0;  // the name is longer than the box name rule allows
        int skippedNotCp932 = 0; // the name holds a character CP932 lacks
        QStringList failed;      // box folders that could not be written or restored
    };

    explicit CNameImport(const QString& downloadFolder);

    // Polled before each line and each write, and once more before the run is made final.
    std::function<bool()> cancelled;
    // After each line: lines done.
    std::function<void(int linesDone)> progress;

    // The progress range of a file of that many bytes.
    static int ProgressMax(qint64 fileSize) { return static_cast<int>(fileSize / 25); }

    Outcome run(const QString& csvFile);
    Outcome runBytes(QByteArrayView data);

private:
    QString m_naisen;
};
