#include "voice/CMeasureRun.h"

#include "voice/CVoiceMeasureCache.h"

#include <QFileInfo>

#include <algorithm>

CMeasureRun::CMeasureRun(QObject* parent) : QObject(parent) {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_mayWork && !m_mayWork()) {
            m_timer.setInterval(WAIT_MS);
            return;
        }
        m_timer.setInterval(0);
        if (!step()) {
            m_timer.stop();
        }
    });
}

CMeasureRun::~CMeasureRun() {
    saveAll();
}

void CMeasureRun::start(const QStringList& paths) {
    stop();
    m_paths = paths;
    m_index = 0;
    if (!m_manual && !m_paths.isEmpty()) {
        m_timer.start();
    }
}

void CMeasureRun::stop() {
    m_timer.stop();
    m_paths.clear();
    m_index = 0;
    m_open = false;
    m_stream.clear();
    m_measure.reset();
    saveAll();
}

void CMeasureRun::saveAll() {
    for (const auto& cache : std::as_const(m_caches)) {
        cache->save();
    }
    m_caches.clear();
}

CVoiceMeasureCache& CMeasureRun::cacheOf(const QString& path) {
    const QString folder = QFileInfo(path).path();
    std::shared_ptr<CVoiceMeasureCache>& cache = m_caches[folder];
    if (!cache) {
        cache = std::make_shared<CVoiceMeasureCache>(folder);
        cache->load();
    }
    return *cache;
}

void CMeasureRun::nextFile() {
    m_open = false;
    m_stream.clear();
    ++m_index;
}

bool CMeasureRun::step() {
    int budget = STEP_FRAMES;
    while (budget > 0 && m_index < m_paths.size()) {
        const QString& path = m_paths[m_index];
        if (!m_open) {
            CVoiceMeasureCache& cache = cacheOf(path);
            // A file whose figures hold costs a look at its size and time, not a measurement.
            if (const auto kept = cache.valid(path)) {
                const QString done = path;
                nextFile();
                --budget;
                Q_EMIT measured(done, *kept);
                continue;
            }
            if (!CVoiceMeasureCache::stamp(path, m_size, m_mtimeMs) ||
                m_stream.load(path) == CVoiceStream::LoadResult::Unreadable) {
                nextFile();
                --budget;
                continue;
            }
            m_measure = std::make_unique<CVoiceMeasure>();
            m_frame = 0;
            m_open = true;
        }
        const int to = std::min(m_stream.totalFrames(), m_frame + budget);
        m_stream.decodeUpTo(to);
        m_measure->add(m_stream.samples() + qint64(m_frame) * 80, qint64(to - m_frame) * 80);
        budget -= to - m_frame;
        m_frame = to;
        if (m_frame >= m_stream.totalFrames()) {
            const CVoiceMeasure::Figures f = m_measure->finish();
            cacheOf(path).put(path, m_size, m_mtimeMs, f);
            const QString done = path;
            nextFile();
            // A run over thousands of messages keeps what it measured from time to time, not only at its end.
            if (++m_unsaved >= SAVE_EVERY) {
                m_unsaved = 0;
                saveAll();
            }
            Q_EMIT measured(done, f);
        }
    }
    if (m_index >= m_paths.size()) {
        if (!m_paths.isEmpty()) {
            m_paths.clear();
            m_index = 0;
            saveAll();
            Q_EMIT finished();
        }
        return false;
    }
    return true;
}
