// The check of a download folder of 10,000 messages (four boxes of 2,500; most with their voice data, some with
// a WAV file) against the least any such check must do: reading every message file's record and looking at the
// size of every file. Then the check alone over 100,000 messages.

#include "CBenchRuns.h"
#include "operations/CFolderCheck.h"
#include "store/CFileMng.h"
#include "support/CSampleFolder.h"
#include "voice/CG729Decoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// perBox messages in each of boxes answering-machine boxes: four in five with voice data (both files), every
// fourth of those with a WAV file made to match.
void makeFolder(const QString& folder, int boxes, int perBox) {
    QDir().mkpath(folder + "/naisen");
    for (int b = 0; b < boxes; ++b) {
        const QString boxNo = QStringLiteral("%1").arg(b + 1, 2, 10, QChar('0'));
        const QString box = folder + "/rusuroku/" + boxNo;
        QDir().mkpath(box);
        CFileMng::SetBoxName(box, QString());
        for (int k = 0; k < perBox; ++k) {
            CSampleFolder::Message m;
            m.dateTime = QStringLiteral("2026/%1/%2 %3:%4")
                             .arg(1 + k % 12, 2, 10, QChar('0'))
                             .arg(1 + k % 28, 2, 10, QChar('0'))
                             .arg(k % 24, 2, 10, QChar('0'))
                             .arg(k % 60, 2, 10, QChar('0'));
            m.importStatus = 1 + (k % 2);
            m.voice = false;
            const QString info = CSampleFolder::writeMessage(box, boxNo, b * perBox + k + 1, m);
            if (k % 5 == 4) {
                continue;
            }
            m.voice = true;
            const QString voice = CSampleFolder::writeMessage(box, boxNo, b * perBox + k + 1, m);
            if (k % 4 == 0) {
                // 10 frames of voice data: 1,600 bytes of samples.
                uint8_t h[CG729Decoder::WAV_HEADER_BYTES];
                CG729Decoder::makeWavHeader(h, 1600, 1636);
                QFile wav(voice.left(voice.size() - 6) + ".wav");
                wav.open(QIODevice::WriteOnly);
                wav.write(reinterpret_cast<const char*>(h), sizeof h);
                wav.write(QByteArray(1600, '\0'));
            }
            Q_UNUSED(info);
        }
    }
}

// Every file of every box folder looked at (its size), and the record of every message file read.
int readAndStat(const QString& folder) {
    int files = 0;
    for (const QString& kind : {QStringLiteral("rusuroku"), QStringLiteral("naisen")}) {
        QStringList boxes;
        CFileMng::ListSubfolders(folder + '/' + kind, boxes);
        for (const QString& box : boxes) {
            const QByteArray path = QFile::encodeName(box);
            DIR* d = opendir(path.constData());
            const int dirFd = dirfd(d);
            while (dirent* e = readdir(d)) {
                if (e->d_name[0] == '.') {
                    continue;
                }
                struct stat st;
                fstatat(dirFd, e->d_name, &st, 0);
                ++files;
                const size_t n = strlen(e->d_name);
                if (n > 6 && (strcmp(e->d_name + n - 6, ".vmdat") == 0 || strcmp(e->d_name + n - 6, ".vminf") == 0)) {
                    char rec[FILESTS_INFO::SIZE];
                    const int fd = openat(dirFd, e->d_name, O_RDONLY | O_CLOEXEC);
                    if (fd >= 0) {
                        [[maybe_unused]] const ssize_t got = read(fd, rec, sizeof rec);
                        close(fd);
                    }
                }
            }
            closedir(d);
        }
    }
    return files;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;

    const QString big = dir.filePath("big");
    makeFolder(big, 20, 5000);
    CFolderCheck::Run(big); // warm the cache
    std::vector<double> bigRuns;
    int bigMessages = 0;
    size_t bigFindings = 0;
    for (int r = 0; r < 3; ++r) {
        QElapsedTimer t;
        t.start();
        const CFolderCheck::Report report = CFolderCheck::Run(big);
        bigRuns.push_back(t.nsecsElapsed() / 1e9);
        bigMessages = report.messages;
        bigFindings = report.findings.size();
    }
    out << "verify: " << bigMessages << " messages checked in " << QString::number(CBenchRuns::median(bigRuns), 'f', 3)
        << " s (warm cache), " << bigFindings << " findings" << Qt::endl;
    QDir(big).removeRecursively();

    const QString folder = dir.filePath("dl");
    makeFolder(folder, 4, 2500);
    readAndStat(folder);
    CFolderCheck::Run(folder);
    const int runs = 7;
    std::vector<double> ours;
    std::vector<double> baseline;
    int messages = 0;
    size_t findings = 0;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        readAndStat(folder);
        baseline.push_back(t.nsecsElapsed() / 1e9);
        t.restart();
        const CFolderCheck::Report report = CFolderCheck::Run(folder);
        ours.push_back(t.nsecsElapsed() / 1e9);
        messages = report.messages;
        findings = report.findings.size();
    }
    if (messages != 10000 || findings != 0) {
        out << "verify: expected 10000 sound messages, checked " << messages << " with " << findings << " findings"
            << Qt::endl;
        return 1;
    }
    const double o = CBenchRuns::median(ours);
    const double b = CBenchRuns::median(baseline);
    out << "verify ratio=" << QString::number(o / b, 'f', 2) << " ours=" << QString::number(o, 'f', 4)
        << " baseline=" << QString::number(b, 'f', 4) << Qt::endl;
    return 0;
}
