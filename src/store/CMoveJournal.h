#pragma once

#include <QString>
#include <QStringList>

// A message moved or copied between two box folders goes file by file; a program killed between two files would
// leave it split between the boxes. So before the first file goes, what is about to happen is written down in the
// download folder, and the note is removed once every file has arrived. The next operation on the download folder
// that finds a note finishes what it says (a move is completed, a copy copied again), so that the message is whole
// in one box folder. Only one note exists at a time: the folder lock lets one operation change the folder.
class CMoveJournal {
public:
    enum class Kind { Move, Copy };
    struct Entry {
        Kind kind = Kind::Move;
        QString source;    // box folder the files come from, relative to the download folder ("rusuroku/0001")
        QString target;    // box folder they go to, relative as well
        QStringList files; // file names, in the order they go
    };

    static const QString kFileName;

    // Writes the note for one message, whole or not at all. False when it cannot be written: the message must then
    // stay where it is.
    static bool Begin(const QString& downloadFolder, const Entry& entry);
    // The message has arrived (or was taken back): the note goes.
    static void End(const QString& downloadFolder);
    // Finishes what a note left by an interrupted run says, and removes it; the caller holds the folder's lock.
    // False when a file could not be finished (the note then stays, for the next try).
    static bool Recover(const QString& downloadFolder);
    // The note of the download folder; false when there is none or it is not one this program wrote.
    static bool Read(const QString& downloadFolder, Entry& entry);

    // A test seam: each step of a move or copy (note written, file moved, note removed) counts; with the
    // environment variable KELDA_TEST_KILL_AFTER_STEP=N the program kills itself right after the N-th step, as a
    // power cut or kill -9 would end it.
    static void Step();
};
