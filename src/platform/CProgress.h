#pragma once

// What a running step reports about how far it has come. The step is handed the window that follows it (or
// nothing, then it runs silently); each window turns the reports into what it shows. The cancel button is not
// part of it: the transfer and decoding loops read the program's cancel flag.
class CProgress {
public:
    // The two lines a download window shows while a message is in hand.
    enum class Phase { Downloading, Converting };

    virtual ~CProgress() = default;

    // The size of the step in hand (kilobytes of a file, frames of a conversion): the bar's end.
    virtual void setStepTotal(long long total) = 0;
    // How far the step in hand is, in the unit of its total; out of range (-1) stands for the end.
    virtual void setStepDone(long long done) = 0;
    // The next file of the run begins: the file counter moves on and the bar starts again.
    virtual void nextFile() = 0;
    // What is being done with the file in hand.
    virtual void setPhase(Phase phase) = 0;
    // One file of a run counted by files is done: the counter is shown on the bar, then moves on.
    virtual void countFile() = 0;
    // A message (or, counted by files, an information file) was brought from the unit by this run, not found
    // already on the PC: what a run that stops early says it brought.
    virtual void messageReceived() {}
};
