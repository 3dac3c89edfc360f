#pragma once

#include <QString>

#include <functional>

// Runs a step beside a named pipe that nothing writes to. Should the step wait on the pipe, a writer comes
// after a while and lets it go, so that a test fails on the time taken instead of hanging.
class CFifoWatch {
public:
    // Makes the named pipe (false when it cannot be made).
    static bool make(const QString& path);
    // Milliseconds the step took; a step that waited on the pipe takes at least releaseAfterMs.
    static qint64 msTaken(const QString& fifo, const std::function<void()>& step, int releaseAfterMs = 2000);
};
