#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

// The import of an extension phone book into the box names of a download folder's extension boxes ("naisen"):
// each name a line gives (CImportLineReader) is written as "NAME" of its box's "inf.ini", unquoted. A line is
// taken only when its box number names an existing box folder directly below "naisen"; any other line is
// skipped, so the answering-machine boxes and every folder outside "naisen" stay untouched. Cancelled or failed
// runs put back every "inf.ini" they changed.
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
        int linesSkipped = 0; // lines with a name but no box folder of that number
        QStringList failed;   // box folders that could not be written or restored
    };

    explicit CNameImport(const QString& downloadFolder);

    // Polled before each line and each write.
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
