#pragma once

#include "store/FILESTS_INFO.h"
#include "voice/CVoiceMeasure.h"
#include "voice/CVoiceStream.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

class CVoiceOutput;

namespace soundtouch {
class SoundTouch;
}

// Plays one message's voice data on an output: decodes it in chunks as playing needs, changes the speed with the
// pitch kept, seeks by frame and pauses. A message played here is marked played as the play command marks it (the
// record's played byte, rewritten in its file) once it has been heard for two seconds or to its end, whichever
// comes first, and only once; a message only opened is not marked. Given a message's figures, it can level its
// loudness and shorten its long silences; the position it tells is always the message's own time.
class CVoicePlayer : public QObject {
    Q_OBJECT

public:
    enum class State { Empty, Stopped, Playing, Paused, Finished };
    enum class OpenResult {
        Ready,       // every frame plays
        Damaged,     // the whole frames play, the rest of the file is damaged
        NoVoiceData, // information only, or no frame: nothing to play
        Unreadable,  // the voice file cannot be read
    };
    // How the played mark went when it was due.
    enum class MarkResult { Written, AlreadyPlayed, WriteFailed };

    static constexpr int MARK_AFTER_MS = 2000;
    // Every sample handed over, a message has ended once the output's queue is empty, or once it has stopped
    // going down for this long: a sound server that never reports the last few samples heard does not keep the
    // player at the end of the message for ever.
    static constexpr int END_STALL_MS = 1000;
    // A message resumed plays on from this far before where it was left.
    static constexpr int RESUME_BACK_FRAMES = 200;
    static constexpr double SPEEDS[] = {0.75, 1.0, 1.25, 1.5, 2.0};

    explicit CVoicePlayer(CVoiceOutput& output, QObject* parent = nullptr);
    ~CVoicePlayer() override;

    // Takes a row of the list; its file is read, nothing is decoded or played yet. Stops what was playing.
    OpenResult open(const FILESTS_INFO& row);
    void close();
    // False when the output has no device; the state is then unchanged.
    bool play();
    void pause();
    void stop();
    void seekToFrame(int frame);
    void setSpeed(double speed);
    void setVolume(double volume);
    // The measured figures of the loaded message (open() forgets them): the levelling gain and the gaps come
    // from them.
    void setFigures(const CVoiceMeasure::Figures& figures);
    bool hasFigures() const { return m_hasFigures; }
    // 音量を揃える: the levelling gain applied to what is played.
    void setLevelling(bool on);
    bool levelling() const { return m_levelling; }
    double gainDb() const;
    // 無音を飛ばす: every gap of the figures is shortened to GAP_KEPT_FRAMES while playing.
    void setSkipSilence(bool on) { m_skipSilence = on; }
    bool skipSilence() const { return m_skipSilence; }
    // Where a message left at the given frame resumes: RESUME_BACK_FRAMES before it, from the start when that is
    // within the first of them or the message was heard to its end.
    static int resumeFrameFor(int leftAt, int totalFrames);

    // One step of playing: decodes ahead and fills the output as far as it takes samples. A timer calls it while
    // playing; tests call it themselves.
    void pump();
    // The timer's period in milliseconds (0: no timer, the caller pumps).
    void setPumpInterval(int ms) { m_pumpMs = ms; }
    void setEndStallMs(int ms) { m_endStallMs = ms; }

    State state() const { return m_state; }
    double speed() const { return m_speed; }
    const FILESTS_INFO& row() const { return m_row; }
    const CVoiceStream& stream() const { return m_stream; }
    qint64 damagedBytes() const { return m_stream.damagedBytes(); }
    int totalFrames() const { return m_stream.totalFrames(); }
    // Where the listener is in the message, in frames of the voice data.
    int positionFrame() const;
    qint64 positionMs() const { return qint64(positionFrame()) * 10; }
    qint64 durationMs() const { return qint64(totalFrames()) * 10; }
    // Milliseconds of output heard since the message was opened (pauses not counted).
    qint64 heardMs() const;
    // "m:ss" of a time in milliseconds, as the player bar shows elapsed and total time.
    static QString clockText(qint64 ms);

Q_SIGNALS:
    void positionChanged();
    void stateChanged();
    // The played mark fell due; the row is as now on disk when the result is Written.
    void marked(CVoicePlayer::MarkResult result, const FILESTS_INFO& row);

private:
    void resetPipeline();
    void setState(State s);
    void checkMark(bool atEnd);
    // Whether the output has played out what it holds at the end of the message (see END_STALL_MS).
    bool endHeard();
    qint64 feedNormal(qint64 room);
    qint64 feedStretched(qint64 room);
    bool sourceDone() const;
    // How many source samples from the read position may be handed on before a gap is to be jumped over, after
    // jumping one that starts here.
    qint64 runBeforeJump(qint64 wanted);
    void applyGain(int16_t* samples, qint64 count) const;

    CVoiceOutput& m_output;
    CVoiceStream m_stream;
    FILESTS_INFO m_row{};
    QString m_path;
    State m_state = State::Empty;
    double m_speed = 1.0;
    std::unique_ptr<soundtouch::SoundTouch> m_stretch;
    bool m_flushed = false;
    qint64 m_readSample = 0;  // next source sample to hand on
    qint64 m_written = 0;     // output samples handed over since open
    qint64 m_heardBefore = 0; // output samples heard before the last discard
    qint64 m_writtenAtDiscard = 0;
    bool m_markDone = false;
    bool m_started = false;
    int m_pumpMs = 20;
    int m_endStallMs = END_STALL_MS;
    qint64 m_endPending = -1; // the output's queue when it last went down at the end
    QElapsedTimer m_endClock;
    QTimer m_timer;
    std::vector<float> m_floatIn;
    std::vector<float> m_floatOut;
    std::vector<int16_t> m_intOut;
    CVoiceMeasure::Figures m_figures;
    bool m_hasFigures = false;
    bool m_levelling = false;
    bool m_skipSilence = false;
    float m_gain = 1.0f;
};
