// kelda-sample-unit: sample messages with real voice data, for the unit simulator, tests and benchmarks.
#include "CSampleUnit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

const char* const kUsage =
    "usage: kelda-sample-unit --out DIR [options]\n"
    "       kelda-sample-unit --file PATH --frames N [options]\n"
    "\n"
    "Makes sample voice-mail messages: \".vminf\" and \".vmdat\" files with 256-byte unit headers and G.729\n"
    "Annex A voice data encoded from generated speech-like audio. The same seed gives the same files.\n"
    "\n"
    "  --out DIR         write a box tree: DIR/rusuroku/NN and DIR/naisen/NNN, one folder per box\n"
    "  --seed N          seed of everything generated (default 1)\n"
    "  --messages N      number of messages spread over the boxes (default 40)\n"
    "  --seconds S       length of every message in seconds (default: 3 to 15 seconds each)\n"
    "  --boxes A,E       answering-machine and extension boxes (default 3,4)\n"
    "  --local           write a local download folder instead of the unit's tree: every file gets its\n"
    "                    990-byte record in front, boxes get names in \"inf.ini\", and some messages are\n"
    "                    information only (no \".vmdat\")\n"
    "  --info-only F     share of information-only messages with --local (0..1, default 0.25)\n"
    "  --file PATH       write one \".vmdat\" file of --frames frames (with --local: record in front)\n"
    "  --frames N        frames (10 ms each) of the single file\n"
    "  --quiet           print nothing but errors\n"
    "  --help            this text\n";

bool takeValue(const QStringList& args, int& i, QString& value) {
    if (i + 1 >= args.size()) {
        std::fprintf(stderr, "kelda-sample-unit: %s needs a value\n", qPrintable(args[i]));
        return false;
    }
    value = args[++i];
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    CSampleUnit::Options o;
    QString out, file;
    int frames = -1;
    bool quiet = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        QString v;
        bool ok = true;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == QLatin1String("--local")) {
            o.local = true;
        } else if (a == QLatin1String("--quiet")) {
            quiet = true;
        } else if (a == QLatin1String("--out")) {
            ok = takeValue(args, i, out);
        } else if (a == QLatin1String("--file")) {
            ok = takeValue(args, i, file);
        } else if (a == QLatin1String("--seed") && (ok = takeValue(args, i, v))) {
            o.seed = v.toULongLong(&ok);
        } else if (a == QLatin1String("--messages") && (ok = takeValue(args, i, v))) {
            o.messages = v.toInt(&ok);
            ok = ok && o.messages >= 0;
        } else if (a == QLatin1String("--seconds") && (ok = takeValue(args, i, v))) {
            o.seconds = v.toDouble(&ok);
            ok = ok && o.seconds > 0 && o.seconds <= 100 * 3600;
        } else if (a == QLatin1String("--frames") && (ok = takeValue(args, i, v))) {
            frames = v.toInt(&ok);
            ok = ok && frames >= 0;
        } else if (a == QLatin1String("--info-only") && (ok = takeValue(args, i, v))) {
            o.infoOnlyShare = v.toDouble(&ok);
            ok = ok && o.infoOnlyShare >= 0 && o.infoOnlyShare <= 1;
        } else if (a == QLatin1String("--boxes") && (ok = takeValue(args, i, v))) {
            const QStringList parts = v.split(QLatin1Char(','));
            bool okA = false, okE = false;
            if (parts.size() == 2) {
                o.answeringBoxes = parts[0].toInt(&okA);
                o.extensionBoxes = parts[1].toInt(&okE);
            }
            ok = okA && okE && o.answeringBoxes >= 0 && o.extensionBoxes >= 0 && o.answeringBoxes <= 99 &&
                 o.extensionBoxes <= 99;
        } else {
            std::fprintf(stderr, "kelda-sample-unit: unknown argument %s\n%s", qPrintable(a), kUsage);
            return 2;
        }
        if (!ok) {
            std::fprintf(stderr, "kelda-sample-unit: bad value for %s\n", qPrintable(a));
            return 2;
        }
    }

    if (!file.isEmpty()) {
        if (frames < 0) {
            std::fprintf(stderr, "kelda-sample-unit: --file needs --frames\n");
            return 2;
        }
        CSampleUnit::Message m;
        m.boxNo = QStringLiteral("01");
        m.recorded = QDateTime(QDate(2026, 12, 1), QTime(9, 30, 0));
        m.callerName = QStringLiteral("山田太郎");
        m.callerNo = QStringLiteral("03-1234-5678");
        m.frames = frames;
        m.voiceSeed = o.seed;
        const QByteArray voice = CSampleUnit::voiceFrames(o.seed, frames);
        const bool written = o.local ? CSampleUnit::writeLocalVoiceFile(file, m, voice)
                                     : CSampleUnit::writeUnitFile(file, CSampleUnit::unitHeader(m), voice);
        if (!written) {
            std::fprintf(stderr, "kelda-sample-unit: cannot write %s\n", qPrintable(file));
            return 1;
        }
        if (!quiet) {
            std::printf("%s: %d frames\n", qPrintable(file), frames);
        }
        return 0;
    }
    if (out.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    QString error;
    const QStringList written = CSampleUnit::writeTree(QDir(out).absolutePath(), o, &error);
    if (written.isEmpty() && o.messages > 0) {
        std::fprintf(stderr, "kelda-sample-unit: %s\n", qPrintable(error));
        return 1;
    }
    if (!quiet) {
        std::printf("%lld files written below %s\n", static_cast<long long>(written.size()),
                    qPrintable(QDir(out).absolutePath()));
    }
    return 0;
}
