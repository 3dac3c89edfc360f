#pragma once

#include "voice/CVoiceMeasure.h"
#include "voice/CVoiceStream.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class CVoiceMeasureCache;

// Measures a list's voice files in the background of its window, on the window's own thread: each step, run from
// the event loop between events, decodes and measures at most STEP_FRAMES frames, so the window never waits
// longer than a step. The figures of a file whose folder's cache holds them valid are told from there, without
// decoding (so a list opens without reading any cache, and its column fills in within its first steps); each
// figure measured is kept in that cache, written every SAVE_EVERY files and when the run ends (or is stopped). It takes
// no folder lock: it only reads the message files, and a file that vanishes or changes under it is measured again the
// next time.
class CMeasureRun : public QObject {
    Q_OBJECT
public:
    // About 5 ms of work on a slow machine.
    static constexpr int STEP_FRAMES = 400;
    static constexpr int SAVE_EVERY = 200;

    explicit CMeasureRun(QObject* parent = nullptr);
    ~CMeasureRun() override;

    // Starts over with these files (what was running is stopped, its figures kept).
    void start(const QStringList& paths);
    void stop();
    bool running() const { return m_index < m_paths.size(); }
    // One step; the timer runs it, tests call it themselves. False when nothing is left.
    bool step();
    // 0: a timer runs the steps (the default); otherwise the caller steps.
    void setManual(bool manual) { m_manual = manual; }
    // Asked before each step the timer runs: while it says no (an operation or a dialog has the window), the run
    // waits, looking again every WAIT_MS, and writes nothing into the folders.
    void setMayWork(std::function<bool()> mayWork) { m_mayWork = std::move(mayWork); }
    static constexpr int WAIT_MS = 200;

Q_SIGNALS:
    void measured(const QString& path, const CVoiceMeasure::Figures& figures);
    void finished();

private:
    CVoiceMeasureCache& cacheOf(const QString& path);
    void saveAll();
    void nextFile();

    QStringList m_paths;
    qsizetype m_index = 0;
    QHash<QString, std::shared_ptr<CVoiceMeasureCache>> m_caches;
    // The file being measured.
    CVoiceStream m_stream;
    std::unique_ptr<CVoiceMeasure> m_measure;
    int m_frame = 0;
    qint64 m_size = 0;
    qint64 m_mtimeMs = 0;
    bool m_open = false;
    bool m_manual = false;
    std::function<bool()> m_mayWork;
    int m_unsaved = 0;
    QTimer m_timer;
};
