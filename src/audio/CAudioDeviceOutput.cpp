#include "audio/CAudioDeviceOutput.h"

#include "voice/CVoiceStream.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include <cstdio>
#include <cstdlib>

namespace {

QAudioFormat voiceFormat() {
    QAudioFormat f;
    f.setSampleRate(CVoiceStream::SAMPLE_RATE);
    f.setChannelCount(1);
    f.setSampleFormat(QAudioFormat::Int16);
    return f;
}

} // namespace

bool CAudioDeviceOutput::s_serverTouched = false;

CAudioDeviceOutput::CAudioDeviceOutput(int bufferMs)
    : m_bufferBytes(qsizetype(CVoiceStream::SAMPLE_RATE) * 2 * bufferMs / 1000) {}

CAudioDeviceOutput::~CAudioDeviceOutput() {
    stop();
}

bool CAudioDeviceOutput::start() {
    m_problem.clear();
    if (m_sink) {
        return true;
    }
    s_serverTouched = true;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        m_problem = QStringLiteral("音声の出力装置がありません。");
        return false;
    }
    if (!device.isFormatSupported(voiceFormat())) {
        m_problem = QStringLiteral("音声の出力装置が 8 kHz の音声を受け付けません。");
        return false;
    }
    m_sink = std::make_unique<QAudioSink>(device, voiceFormat());
    m_sink->setBufferSize(m_bufferBytes);
    m_sink->setVolume(m_volume);
    m_io = m_sink->start();
    if (!m_io || m_sink->error() != QAudio::NoError) {
        m_problem = QStringLiteral("音声の出力装置を開けませんでした。");
        m_sink.reset();
        m_io = nullptr;
        return false;
    }
    return true;
}

qint64 CAudioDeviceOutput::room() const {
    if (!m_sink || !m_io || m_sink->state() == QAudio::SuspendedState) {
        return 0;
    }
    return m_sink->bytesFree() / 2;
}

void CAudioDeviceOutput::write(const int16_t* samples, qint64 count) {
    if (m_io) {
        m_io->write(reinterpret_cast<const char*>(samples), count * 2);
    }
}

qint64 CAudioDeviceOutput::pending() const {
    if (!m_sink || m_sink->state() == QAudio::IdleState || m_sink->state() == QAudio::StoppedState) {
        return 0;
    }
    return std::max<qint64>(0, m_sink->bufferSize() - m_sink->bytesFree()) / 2;
}

void CAudioDeviceOutput::discard() {
    // Nothing queued, nothing to drop: a message played to its end goes on to the next one on the same stream.
    // Resetting a stream of the sound server leaves it with less of its buffer each time (playing slows to a
    // crawl after a few), so one with samples queued is replaced instead.
    if (!m_sink || pending() == 0) {
        return;
    }
    // What is queued goes with the stream: a new one starts empty, at the full buffer.
    const bool suspended = m_sink->state() == QAudio::SuspendedState;
    stop();
    if (start() && suspended) {
        m_sink->suspend();
    }
}

void CAudioDeviceOutput::setPaused(bool paused) {
    if (!m_sink) {
        return;
    }
    if (paused && m_sink->state() != QAudio::SuspendedState) {
        m_sink->suspend();
    } else if (!paused && m_sink->state() == QAudio::SuspendedState) {
        m_sink->resume();
    }
}

void CAudioDeviceOutput::stop() {
    if (m_sink) {
        m_sink->stop();
        m_sink.reset();
    }
    m_io = nullptr;
}

void CAudioDeviceOutput::setVolume(double volume) {
    m_volume = volume;
    if (m_sink) {
        m_sink->setVolume(volume);
    }
}

void CAudioDeviceOutput::endProcess(int status) {
    if (!s_serverTouched) {
        std::exit(status);
    }
    std::fflush(nullptr);
    std::_Exit(status);
}
