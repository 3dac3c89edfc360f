// Counting and loading the records of a download folder of 10,000 messages in 4 boxes, against a plain loop
// that opens each message file and reads its first 990 bytes. With "cold" the file cache is emptied before each
// side (needs root).
#include "CBenchRuns.h"
#include "store/CFileMng.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    QTextStream out(stdout);
    const bool cold = argc > 1 && std::strcmp(argv[1], "cold") == 0;
    if (cold && !CBenchRuns::dropCaches()) {
        out << "store-load: cannot empty the file cache (needs root)\n";
        return 2;
    }
    QTemporaryDir root;
    const int boxes = 4;
    const int perBox = 2500;
    QStringList boxFolders;
    QStringList messageFiles;
    FILESTS_INFO rec;
    rec.clear();
    FILESTS_INFO::setText(rec.callerName, QStringLiteral("山田太郎"));
    FILESTS_INFO::setText(rec.recDateTime, QStringLiteral("2026/12/08 09:15"));
    const QByteArray payload(256 + 2000, 'v');
    for (int b = 0; b < boxes; ++b) {
        const QString box =
            root.filePath(QStringLiteral("dl/%1/%2").arg(b % 2 ? "naisen" : "rusuroku").arg(b + 1, 4, 10, QChar('0')));
        QDir().mkpath(box);
        boxFolders << box;
        for (int i = 0; i < perBox; ++i) {
            const QString stem = QStringLiteral("20261208%1_%2_%3")
                                     .arg(i, 8, 10, QChar('0'))
                                     .arg(b + 1, 4, 10, QChar('0'))
                                     .arg(i % 10000, 4, 10, QChar('0'));
            for (const char* ext : {".vminf", ".vmdat"}) {
                QFile f(box + "/" + stem + ext);
                f.open(QIODevice::WriteOnly);
                f.write(reinterpret_cast<const char*>(&rec), sizeof rec);
                f.write(payload);
            }
            messageFiles << box + "/" + stem + ".vmdat";
        }
    }

    std::vector<double> ours;
    std::vector<double> base;
    size_t sink = 0;
    for (int round = 0; round < (cold ? 5 : 9); ++round) {
        if (cold) {
            CBenchRuns::dropCaches();
        }
        QElapsedTimer t;
        t.start();
        // As the list does it: each box folder listed once, counted, then loaded from that listing.
        int count = 0;
        std::vector<FILESTS_INFO> records;
        std::vector<CFileMng::BoxListing> listings;
        for (const auto& box : boxFolders) {
            listings.push_back(CFileMng::ListBox(box));
            count += listings.back().count;
        }
        records.reserve(static_cast<size_t>(count));
        for (const auto& listing : listings) {
            CFileMng::LoadRecords(listing, records);
        }
        ours.push_back(t.nsecsElapsed() / 1e9);
        sink += records.size();

        if (cold) {
            CBenchRuns::dropCaches();
        }
        t.restart();
        std::vector<char> buf(990);
        for (const auto& file : messageFiles) {
            const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
            if (fd >= 0) {
                sink += static_cast<size_t>(std::max<ssize_t>(0, ::read(fd, buf.data(), buf.size())));
                ::close(fd);
            }
        }
        base.push_back(t.nsecsElapsed() / 1e9);
    }
    const double o = CBenchRuns::median(ours);
    const double b = CBenchRuns::median(base);
    out << "messages=" << messageFiles.size() << " files=" << messageFiles.size() * 2 << " (sink " << sink << ")\n";
    out << QString::asprintf("store-load ratio=%.3f ours=%.4f baseline=%.4f%s\n", o / b, o, b,
                             cold ? " (cold cache)" : "");
    return 0;
}
