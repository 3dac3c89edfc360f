#include "voice/CVoicePlayer.h"

#include "store/CFileMng.h"
#include "voice/CVoiceOutput.h"

#include <SoundTouch.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int FRAME_SAMPLES = 80;
// Frames decoded ahead of what playing needs in one step: a long message is decoded within seconds of starting
// (the level strip wants all of it) while the first samples wait only for the frames they come from.
constexpr int DECODE_AHEAD_FRAMES = 100;
// Source samples fed to the time stretch at a time.
constexpr qint64 STRETCH_CHUNK = 400;

} // namespace

CVoicePlayer::CVoicePlayer(CVoiceOutput& output, QObject* parent)
    : QObject(parent), m_output(output), m_stretch(std::make_unique<soundtouch::SoundTouch>()) {
    m_stretch->setSampleRate(CVoiceStream::SAMPLE_RATE);
    m_stretch->setChannels(1);
    connect(&m_timer, &QTimer::timeout, this, &CVoicePlayer::pump);
}

CVoicePlayer::~CVoicePlayer() {
    if (m_started) {
        m_output.stop();
    }
}

CVoicePlayer::OpenResult CVoicePlayer::open(const FILESTS_INFO& row) {
    close();
    m_row = row;
    m_path = FILESTS_INFO::text(row.filePath);
    OpenResult result = OpenResult::Ready;
    switch (m_stream.load(m_path)) {
    case CVoiceStream::LoadResult::Whole:
        break;
    case CVoiceStream::LoadResult::DamagedTail:
        result = OpenResult::Damaged;
        break;
    case CVoiceStream::LoadResult::NoVoiceData:
        return OpenResult::NoVoiceData;
    case CVoiceStream::LoadResult::Unreadable:
        return OpenResult::Unreadable;
    }
    if (m_stream.totalFrames() == 0) {
        return result;
    }
    setState(State::Stopped);
    return result;
}

void CVoicePlayer::close() {
    stop();
    m_stream.clear();
    m_path.clear();
    m_row.clear();
    m_written = m_heardBefore = m_writtenAtDiscard = 0;
    m_markDone = false;
    m_figures = CVoiceMeasure::Figures();
    m_hasFigures = false;
    m_gain = 1.0f;
    setState(State::Empty);
}

void CVoicePlayer::resetPipeline() {
    m_stretch->clear();
    m_flushed = false;
    m_endPending = -1;
    if (m_started) {
        m_heardBefore += (m_written - m_writtenAtDiscard) - m_output.pending();
        m_output.discard();
        m_writtenAtDiscard = m_written;
    }
}

void CVoicePlayer::setState(State s) {
    if (m_state == s) {
        return;
    }
    m_state = s;
    if (s == State::Playing && m_pumpMs > 0) {
        m_timer.start(m_pumpMs);
    } else if (s != State::Playing) {
        m_timer.stop();
    }
    Q_EMIT stateChanged();
}

bool CVoicePlayer::play() {
    if (m_state == State::Empty || m_state == State::Playing) {
        return m_state == State::Playing;
    }
    if (!m_started) {
        if (!m_output.start()) {
            return false;
        }
        m_started = true;
        m_writtenAtDiscard = m_written;
    }
    if (m_state == State::Finished) {
        resetPipeline();
        m_readSample = 0;
    }
    m_output.setPaused(false);
    m_endPending = -1; // a pause does not count as the queue standing still
    setState(State::Playing);
    pump();
    return true;
}

void CVoicePlayer::pause() {
    if (m_state != State::Playing) {
        return;
    }
    m_output.setPaused(true);
    setState(State::Paused);
}

void CVoicePlayer::stop() {
    if (m_state == State::Empty) {
        return;
    }
    resetPipeline();
    if (m_started) {
        m_output.setPaused(false);
    }
    m_readSample = 0;
    setState(State::Stopped);
    Q_EMIT positionChanged();
}

void CVoicePlayer::seekToFrame(int frame) {
    if (m_state == State::Empty) {
        return;
    }
    frame = std::clamp(frame, 0, m_stream.totalFrames());
    resetPipeline();
    m_readSample = qint64(frame) * FRAME_SAMPLES;
    if (m_state == State::Finished) {
        setState(State::Stopped);
    }
    Q_EMIT positionChanged();
}

void CVoicePlayer::setSpeed(double speed) {
    speed = std::clamp(speed, 0.5, 2.0);
    if (speed == m_speed) {
        return;
    }
    // What is queued at the old speed is dropped and playing goes on from the place the listener hears.
    const int at = positionFrame();
    m_speed = speed;
    m_stretch->setTempo(speed);
    if (m_state != State::Empty) {
        resetPipeline();
        m_readSample = qint64(at) * FRAME_SAMPLES;
    }
}

void CVoicePlayer::setVolume(double volume) {
    m_output.setVolume(std::clamp(volume, 0.0, 1.0));
}

void CVoicePlayer::setFigures(const CVoiceMeasure::Figures& figures) {
    m_figures = figures;
    m_hasFigures = true;
    setLevelling(m_levelling);
}

void CVoicePlayer::setLevelling(bool on) {
    m_levelling = on;
    m_gain = static_cast<float>(std::pow(10.0, gainDb() / 20.0));
}

double CVoicePlayer::gainDb() const {
    return m_levelling && m_hasFigures ? CVoiceMeasure::levellingGainDb(m_figures) : 0.0;
}

int CVoicePlayer::resumeFrameFor(int leftAt, int totalFrames) {
    if (leftAt >= totalFrames || leftAt <= RESUME_BACK_FRAMES) {
        return 0;
    }
    return leftAt - RESUME_BACK_FRAMES;
}

void CVoicePlayer::applyGain(int16_t* samples, qint64 count) const {
    for (qint64 i = 0; i < count; ++i) {
        const float v = std::clamp(static_cast<float>(samples[i]) * m_gain, -32768.0f, 32767.0f);
        samples[i] = static_cast<int16_t>(std::lrint(v));
    }
}

qint64 CVoicePlayer::runBeforeJump(qint64 wanted) {
    if (!m_skipSilence || !m_hasFigures) {
        return wanted;
    }
    // The gap keeps half of what is left of it at each end, so speech never loses its onset or its tail.
    const qint64 keep = qint64(CVoiceMeasure::GAP_KEPT_FRAMES / 2) * FRAME_SAMPLES;
    for (const auto& [from, to] : m_figures.gaps) {
        const qint64 jumpFrom = qint64(from) * FRAME_SAMPLES + keep;
        const qint64 jumpTo = qint64(to) * FRAME_SAMPLES - keep;
        if (m_readSample >= jumpFrom && m_readSample < jumpTo) {
            m_readSample = jumpTo;
            continue;
        }
        if (m_readSample < jumpFrom) {
            return std::min(wanted, jumpFrom - m_readSample);
        }
    }
    return wanted;
}

bool CVoicePlayer::sourceDone() const {
    return m_readSample >= m_stream.totalSamples() && (m_speed == 1.0 || (m_flushed && m_stretch->numSamples() == 0));
}

qint64 CVoicePlayer::feedNormal(qint64 room) {
    const qint64 n = std::min(runBeforeJump(room), m_stream.totalSamples() - m_readSample);
    if (n <= 0) {
        return 0;
    }
    m_stream.decodeUpTo(static_cast<int>((m_readSample + n + FRAME_SAMPLES - 1) / FRAME_SAMPLES));
    if (m_gain != 1.0f) {
        m_intOut.assign(m_stream.samples() + m_readSample, m_stream.samples() + m_readSample + n);
        applyGain(m_intOut.data(), n);
        m_output.write(m_intOut.data(), n);
    } else {
        m_output.write(m_stream.samples() + m_readSample, n);
    }
    m_readSample += n;
    return n;
}

qint64 CVoicePlayer::feedStretched(qint64 room) {
    const qint64 total = m_stream.totalSamples();
    while (m_stretch->numSamples() < static_cast<uint>(room) && !m_flushed) {
        if (m_readSample >= total) {
            m_stretch->flush();
            m_flushed = true;
            break;
        }
        const qint64 n = std::min(runBeforeJump(STRETCH_CHUNK), total - m_readSample);
        if (n <= 0) {
            continue; // the jump reached the end: flushed on the next round
        }
        m_stream.decodeUpTo(static_cast<int>((m_readSample + n + FRAME_SAMPLES - 1) / FRAME_SAMPLES));
        m_floatIn.resize(static_cast<size_t>(n));
        const int16_t* src = m_stream.samples() + m_readSample;
        for (qint64 i = 0; i < n; ++i) {
            m_floatIn[static_cast<size_t>(i)] = static_cast<float>(src[i]) * m_gain / 32768.0f;
        }
        m_stretch->putSamples(m_floatIn.data(), static_cast<uint>(n));
        m_readSample += n;
    }
    const uint n = std::min<uint>(static_cast<uint>(room), m_stretch->numSamples());
    if (n == 0) {
        return 0;
    }
    m_floatOut.resize(n);
    m_intOut.resize(n);
    const uint got = m_stretch->receiveSamples(m_floatOut.data(), n);
    for (uint i = 0; i < got; ++i) {
        const float v = std::clamp(m_floatOut[i] * 32768.0f, -32768.0f, 32767.0f);
        m_intOut[i] = static_cast<int16_t>(std::lrint(v));
    }
    m_output.write(m_intOut.data(), got);
    return got;
}

void CVoicePlayer::pump() {
    if (m_state != State::Playing) {
        return;
    }
    qint64 room = m_output.room();
    while (room > 0) {
        const qint64 n = m_speed == 1.0 ? feedNormal(room) : feedStretched(room);
        if (n <= 0) {
            break;
        }
        m_written += n;
        room -= n;
    }
    // Decoding runs ahead of playing so that the whole message is soon decoded (seeking forward and the level
    // strip need it), a bounded chunk per step so that no step holds up the sound.
    m_stream.decodeUpTo(std::max(m_stream.decodedFrames(), static_cast<int>(m_readSample / FRAME_SAMPLES)) +
                        DECODE_AHEAD_FRAMES);
    checkMark(false);
    if (sourceDone() && endHeard()) {
        checkMark(true);
        setState(State::Finished);
    }
    Q_EMIT positionChanged();
}

bool CVoicePlayer::endHeard() {
    const qint64 pending = m_output.pending();
    if (pending == 0) {
        return true;
    }
    if (pending != m_endPending) {
        m_endPending = pending;
        m_endClock.start();
        return false;
    }
    return m_endClock.elapsed() >= m_endStallMs;
}

qint64 CVoicePlayer::heardMs() const {
    const qint64 pending = m_started ? m_output.pending() : 0;
    const qint64 samples = m_heardBefore + (m_written - m_writtenAtDiscard) - pending;
    return samples * 1000 / CVoiceStream::SAMPLE_RATE;
}

int CVoicePlayer::positionFrame() const {
    if (m_state == State::Finished) {
        return m_stream.totalFrames();
    }
    // What is queued but not heard yet, and what the stretch holds, lie behind the listener's place.
    const qint64 queued =
        (m_started ? m_output.pending() : 0) +
        (m_speed == 1.0 ? 0 : static_cast<qint64>(m_stretch->numUnprocessedSamples() + m_stretch->numSamples()));
    const qint64 at = m_readSample - static_cast<qint64>(static_cast<double>(queued) * m_speed);
    return static_cast<int>(std::clamp<qint64>(at, 0, m_stream.totalSamples()) / FRAME_SAMPLES);
}

void CVoicePlayer::checkMark(bool atEnd) {
    if (m_markDone || (!atEnd && heardMs() < MARK_AFTER_MS)) {
        return;
    }
    m_markDone = true;
    if (m_row.played == 1) {
        Q_EMIT marked(MarkResult::AlreadyPlayed, m_row);
        return;
    }
    FILESTS_INFO rec = m_row;
    rec.played = 1;
    if (CFileMng::RewriteRecord(rec, m_path) != CFileMng::WriteResult::Written) {
        Q_EMIT marked(MarkResult::WriteFailed, m_row);
        return;
    }
    m_row = rec;
    Q_EMIT marked(MarkResult::Written, m_row);
}

QString CVoicePlayer::clockText(qint64 ms) {
    const qint64 seconds = std::max<qint64>(0, ms) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
