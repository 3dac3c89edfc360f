#include "support/CFifoWatch.h"

#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

bool CFifoWatch::make(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

qint64 CFifoWatch::msTaken(const QString& fifo, const std::function<void()>& step, int releaseAfterMs) {
    const QByteArray path = QFile::encodeName(fifo);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        using namespace std::chrono_literals;
        for (int waited = 0; waited < releaseAfterMs && !done; waited += 10) {
            std::this_thread::sleep_for(10ms);
        }
        // Opening the writing end wakes a reader waiting in its open, and closing it gives that reader an end of
        // file (without a reader that open fails at once); opening the reading end wakes a waiting writer.
        while (!done) {
            for (int mode : {O_WRONLY, O_RDONLY}) {
                const int fd = ::open(path.constData(), mode | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    ::close(fd);
                }
            }
            std::this_thread::sleep_for(10ms);
        }
    });
    // A writer let go finds no reader left: that must not end the test program.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    QElapsedTimer timer;
    timer.start();
    step();
    const qint64 ms = timer.elapsed();
    done = true;
    writer.join();
    std::signal(SIGPIPE, previous);
    return ms;
}
