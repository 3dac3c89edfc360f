#include "cli/CCliPlay.h"

#include "audio/CAudioDeviceOutput.h"
#include "cli/CCliCommands.h"
#include "cli/CConsoleUi.h"
#include "platform/CCancelFlag.h"
#include "store/CFileMng.h"
#include "voice/CVoiceMeasureCache.h"
#include "voice/CVoicePlayer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

namespace {

// How much longer than the message itself playing may take before the device counts as stuck.
constexpr int SLACK_MS = 10000;

enum class Played { ToTheEnd, Partly, Nothing, NoDevice };

struct PlayOptions {
    double speed = 1.0;
    bool normalize = false;
    bool skipSilence = false;
};

Played playOne(CConsoleUi& ui, CVoicePlayer& player, CAudioDeviceOutput& output, const QString& file,
               const PlayOptions& options) {
    const double speed = options.speed;
    FILESTS_INFO row;
    row.clear();
    // The record's played byte decides whether the mark is due; the file is played where it is.
    CFileMng::ReadRecord(file, row);
    FILESTS_INFO::setText(row.filePath, QFileInfo(file).absoluteFilePath());
    const CVoicePlayer::OpenResult opened = player.open(row);
    if (opened == CVoicePlayer::OpenResult::NoVoiceData) {
        ui.note(QStringLiteral("kelda-cli: %1: no voice data to play").arg(file));
        return Played::Nothing;
    }
    if (opened == CVoicePlayer::OpenResult::Unreadable) {
        ui.note(QStringLiteral("kelda-cli: %1: cannot be read").arg(file));
        return Played::Nothing;
    }
    if (player.totalFrames() == 0) {
        ui.note(QStringLiteral("kelda-cli: %1: damaged, no whole voice frame to play").arg(file));
        return Played::Nothing;
    }
    if (options.normalize || options.skipSilence) {
        CVoiceMeasureCache cache(QFileInfo(file).absolutePath());
        cache.load();
        if (const auto figures = cache.obtain(QFileInfo(file).absoluteFilePath())) {
            player.setFigures(*figures);
            cache.save();
        }
    }
    player.setLevelling(options.normalize);
    player.setSkipSilence(options.skipSilence);
    player.setSpeed(speed);
    if (!player.play()) {
        ui.note(QStringLiteral("kelda-cli: no sound device to play on (%1)").arg(output.problem()));
        return Played::NoDevice;
    }
    bool markFailed = false;
    const QMetaObject::Connection marking = QObject::connect(
        &player, &CVoicePlayer::marked, [&markFailed](CVoicePlayer::MarkResult r, const FILESTS_INFO&) {
            markFailed = r == CVoicePlayer::MarkResult::WriteFailed;
        });
    QEventLoop loop;
    QObject::connect(&player, &CVoicePlayer::stateChanged, &loop, [&] {
        if (player.state() != CVoicePlayer::State::Playing) {
            loop.quit();
        }
    });
    QTimer watch;
    QElapsedTimer clock;
    clock.start();
    const qint64 limit = static_cast<qint64>(static_cast<double>(player.durationMs()) / speed) + SLACK_MS;
    bool stuck = false;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        stuck = clock.elapsed() > limit;
        if (CCancelFlag::isSet() || stuck) {
            player.stop();
            loop.quit();
        }
    });
    watch.start(50);
    if (player.state() == CVoicePlayer::State::Playing) {
        loop.exec();
    }
    QObject::disconnect(marking);
    if (markFailed) {
        ui.note(QStringLiteral("kelda-cli: %1: played, but its record could not be marked played").arg(file));
    }
    if (player.state() != CVoicePlayer::State::Finished) {
        ui.note(stuck ? QStringLiteral("kelda-cli: %1: the sound device stopped taking samples").arg(file)
                      : QStringLiteral("kelda-cli: %1: cancelled").arg(file));
        return Played::Partly;
    }
    // The sound server still holds the last moments: wait for them before the next file or the exit.
    QEventLoop tail;
    QTimer::singleShot(CAudioDeviceOutput::TAIL_MS, &tail, &QEventLoop::quit);
    tail.exec();
    if (player.damagedBytes() > 0) {
        ui.note(QStringLiteral("kelda-cli: %1: played up to %2 s; the %3 bytes after it are damaged")
                    .arg(file)
                    .arg(static_cast<double>(player.durationMs()) / 1000.0, 0, 'f', 2)
                    .arg(player.damagedBytes()));
        return Played::Partly;
    }
    return markFailed ? Played::Partly : Played::ToTheEnd;
}

} // namespace

QString CCliPlay::help() {
    return QStringLiteral(
        "Usage: kelda-cli play FILE... [--speed S] [--normalize] [--skip-silence]\n"
        "\n"
        "Plays the voice data of the message files FILE (.vmdat) on the default sound device, one after the\n"
        "other, without writing a WAV file. A message heard for two seconds or to its end is marked played in\n"
        "its record, as the list's play command marks it.\n"
        "  --speed S       playing speed from 0.5 to 2 (1 by default); the pitch stays as it is\n"
        "  --normalize     levels the loudness (EBU R128) to -18 LUFS, as the player bar's 音量を揃える: by at\n"
        "                  most +20 dB, and never so much that the highest sample would clip (a limit on\n"
        "                  the sample peak, not the true peak)\n"
        "  --skip-silence  stretches of more than 0.5 s without speech are shortened to 0.3 s; every stretch\n"
        "                  of speech is played\n"
        "The measurements are made once per message and kept in the box folder's \"kelda-voice.ini\".\n"
        "A damaged file plays up to its damage and is reported. Exit status 0 when every file played to its end,\n"
        "1 when a file has no (whole) voice data, could not be played to its end, or no sound device exists.\n");
}

int CCliPlay::run() {
    CCliCommands& c = m_commands;
    if (!c.onlyOptions()) {
        return CCliCommands::Usage;
    }
    if (c.m_args.operands.isEmpty()) {
        return c.usage(QStringLiteral("play needs a message file FILE"));
    }
    PlayOptions options;
    options.normalize = c.m_args.given.contains(QStringLiteral("normalize"));
    options.skipSilence = c.m_args.given.contains(QStringLiteral("skip-silence"));
    double& speed = options.speed;
    if (c.m_args.given.contains(QStringLiteral("speed"))) {
        bool ok = false;
        speed = c.m_args.values.value(QStringLiteral("speed")).toDouble(&ok);
        if (!ok || speed < 0.5 || speed > 2.0) {
            return c.usage(QStringLiteral("--speed needs a number from 0.5 to 2"));
        }
    }
    CAudioDeviceOutput output(CAudioDeviceOutput::CONSOLE_BUFFER_MS);
    CVoicePlayer player(output);
    int status = CCliCommands::Ok;
    for (const QString& file : c.m_args.operands) {
        const Played played = playOne(c.m_ui, player, output, file, options);
        if (played != Played::ToTheEnd) {
            status = CCliCommands::Failed;
        }
        if (played == Played::NoDevice || CCancelFlag::isSet()) {
            break;
        }
    }
    player.close();
    return status;
}
