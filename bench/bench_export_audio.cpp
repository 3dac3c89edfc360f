// Export of one hour of voice data (360,000 frames) to Opus against encoding the same samples, already decoded,
// with the encoder library alone at the same settings.
#include "CBenchRuns.h"
#include "CSampleUnit.h"
#include "platform/CProgressView.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"
#include "voice/CAudioExport.h"
#include "voice/COpusFileWriter.h"
#include "voice/CVoiceStream.h"

#include <opusenc.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// The machine is shared with other work: the processor time this process spends is compared, not wall time.
double cpuNow() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

class NullView : public CProgressView {
public:
    void setText(const QString&) override {}
    void setCounterText(const QString&) override {}
    void setRange(int, int) override {}
    void setPosition(int) override {}
    void repaint() override {}
    void close() override {}
};

// A windowed run's event handling: the queue is looked into at most once a millisecond.
class BenchUi : public CUserInterface {
public:
    MsgResult messageBox(const QString&, const QString&, MsgIcon, MsgButtons) override { return MsgResult::Ok; }
    std::unique_ptr<CProgressView> createProgressView(const ProgressLook&) override {
        return std::make_unique<NullView>();
    }
    void dispatchPendingEvents(int) override {
        if (m_lastPoll.isValid() && m_lastPoll.nsecsElapsed() < 1000000) {
            return;
        }
        m_lastPoll.start();
        QCoreApplication::processEvents();
    }
    void sleepMs(int) override {}
    void setMainWindowEnabled(bool) override {}
    void activateMainWindow() override {}
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    QString chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    bool openWithDefaultApplication(const QString&) override { return true; }

private:
    QElapsedTimer m_lastPoll;
};

// The least an export has to do once the samples are there: hand them to the encoder and write its pages.
double baseline(const std::vector<int16_t>& pcm, const QString& path) {
    const double start = cpuNow();
    OggOpusComments* comments = ope_comments_create();
    int error = 0;
    OggOpusEnc* enc = ope_encoder_create_file(QFile::encodeName(path).constData(), comments, 8000, 1, 0, &error);
    if (!enc) {
        std::fprintf(stderr, "the encoder could not be made: %s\n", ope_strerror(error));
        std::exit(1);
    }
    ope_encoder_ctl(enc, OPUS_SET_BITRATE(COpusFileWriter::BITRATE));
    ope_encoder_ctl(enc, OPUS_SET_SIGNAL(OPUS_SIGNAL_VOICE));
    ope_encoder_ctl(enc, OPUS_SET_BANDWIDTH(OPUS_BANDWIDTH_NARROWBAND));
    ope_encoder_write(enc, pcm.data(), static_cast<int>(pcm.size()));
    ope_encoder_drain(enc);
    ope_encoder_destroy(enc);
    ope_comments_destroy(comments);
    return cpuNow() - start;
}

double ours(BenchUi& ui, const FILESTS_INFO& row, const QString& folder) {
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    CAudioExport::Options o;
    o.folder = folder;
    const double start = cpuNow();
    const CAudioExport::Outcome out = CAudioExport::Run(ui, {row}, o);
    const double s = cpuNow() - start;
    if (out.result != CAudioExport::Result::Completed) {
        std::fprintf(stderr, "the export failed\n");
        std::exit(1);
    }
    return s;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int frames = 360000;
    if (argc > 1) {
        frames = std::max(1, std::atoi(argv[1]));
    }
    QTemporaryDir dir;
    const QString voiceFile = dir.filePath("naisen/201/2026120109000000_201__1000.vmdat");
    QDir().mkpath(QFileInfo(voiceFile).path());
    QElapsedTimer gen;
    gen.start();
    CSampleUnit::Message m;
    m.extension = true;
    m.boxNo = "201";
    m.recorded = QDateTime(QDate(2026, 12, 1), QTime(9, 0));
    m.callerNo = "03-9721-2867";
    m.frames = frames;
    if (!CSampleUnit::writeLocalVoiceFile(voiceFile, m, CSampleUnit::voiceFrames(20261209, frames))) {
        std::fprintf(stderr, "cannot write the sample file\n");
        return 1;
    }
    FILESTS_INFO row;
    row.clear();
    CFileMng::ReadRecord(voiceFile, row);
    FILESTS_INFO::setText(row.filePath, voiceFile);
    CVoiceStream stream;
    stream.load(voiceFile);
    stream.decodeUpTo(stream.totalFrames());
    const std::vector<int16_t> pcm(stream.samples(), stream.samples() + stream.decodedSamples());
    std::printf("sample: %d frames (%.1f min of speech) made in %.1f s\n", frames, frames / 6000.0,
                static_cast<double>(gen.elapsed()) / 1000);

    BenchUi ui;
    std::vector<double> base, mine;
    // The two alternate, so that neither gains from a warmer machine.
    for (int round = 0; round < 3; ++round) {
        base.push_back(baseline(pcm, dir.filePath("baseline.opus")));
        mine.push_back(ours(ui, row, dir.filePath("out")));
        std::printf("round %d (processor time): encoder alone %.3f s, export %.3f s\n", round + 1, base.back(),
                    mine.back());
    }
    const QStringList made = QDir(dir.filePath("out")).entryList(QDir::Files);
    std::printf("export: %s, %lld bytes; encoder alone: %lld bytes\n", qPrintable(made.value(0)),
                static_cast<long long>(QFileInfo(dir.filePath("out/" + made.value(0))).size()),
                static_cast<long long>(QFileInfo(dir.filePath("baseline.opus")).size()));
    const double b = CBenchRuns::median(base);
    const double o = CBenchRuns::median(mine);
    std::printf("export-audio ratio=%.3f ours=%.3f baseline=%.3f\n", o / b, o, b);
    return 0;
}
