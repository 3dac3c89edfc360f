#include "store/CMoveJournal.h"

#include "platform/CRegularFile.h"
#include "store/CDurableFile.h"
#include "store/CFileCopy.h"
#include "store/CFileMng.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdlib>
#include <unistd.h>

const QString CMoveJournal::kFileName = QStringLiteral(".kelda-moving.ini");

namespace {

const QLatin1String kTempPattern(".kelda-moving-XXXXXX.tmp");
constexpr qint64 kMostNoteBytes = 64 * 1024;

// A box folder as the note names it: relative to the download folder (a list window may show the boxes of another
// download folder than the one a move goes into, so it may lead out of it).
bool isBoxFolder(const QString& relative) {
    return !relative.isEmpty() && !relative.startsWith(QLatin1Char('/')) && !relative.contains(QChar(0));
}

// A message file's name in a box folder: no separator, no way up, and only the files a move takes.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0)) && name.size() > 6 &&
           (name.endsWith(QLatin1String(".vminf")) || name.endsWith(QLatin1String(".vmdat")) ||
            name.endsWith(QLatin1String(".wav")));
}

void removeLeftoverTemps(const QString& downloadFolder) {
    const QStringList temps =
        QDir(downloadFolder)
            .entryList({QStringLiteral(".kelda-moving-*.tmp")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& t : temps) {
        QFile::remove(CFileMng::Join(downloadFolder, t));
    }
}

} // namespace

void CMoveJournal::Step() {
    static const int killAfter = qEnvironmentVariableIntValue("KELDA_TEST_KILL_AFTER_STEP");
    static int steps = 0;
    if (killAfter > 0 && ++steps == killAfter) {
        ::kill(::getpid(), SIGKILL);
    }
}

bool CMoveJournal::Begin(const QString& downloadFolder, const Entry& entry) {
    QByteArray text = entry.kind == Kind::Move ? "move\n" : "copy\n";
    text += entry.source.toUtf8() + '\n' + entry.target.toUtf8() + '\n';
    for (const QString& f : entry.files) {
        text += f.toUtf8() + '\n';
    }
    QByteArray temp = QFile::encodeName(CFileMng::Join(downloadFolder, kTempPattern));
    const int fd = ::mkstemps(temp.data(), 4);
    if (fd < 0) {
        return false;
    }
    // The note is on the disk before the first file goes: after a power cut it still tells a split message.
    bool ok =
        CDurableFile::WriteAll(fd, text.constData(), static_cast<size_t>(text.size())) && CDurableFile::SyncData(fd);
    ok = ::close(fd) == 0 && ok;
    Step();
    // The note takes its name only when whole: a note cut by a kill never tells a move that was not meant.
    if (!ok || !CDurableFile::RenameOnly(temp, QFile::encodeName(CFileMng::Join(downloadFolder, kFileName)),
                                         CDurableFile::Name::Replace)) {
        ::unlink(temp.constData());
        return false;
    }
    const bool synced = CDurableFile::SyncFolder(QFile::encodeName(downloadFolder));
    Step();
    if (!synced) {
        // A note not known to be on the disk guards nothing: the message stays where it is.
        QFile::remove(CFileMng::Join(downloadFolder, kFileName));
    }
    return synced;
}

void CMoveJournal::End(const QString& downloadFolder) {
    QFile::remove(CFileMng::Join(downloadFolder, kFileName));
    Step();
}

bool CMoveJournal::Read(const QString& downloadFolder, Entry& entry) {
    QByteArray content;
    const QString path = CFileMng::Join(downloadFolder, kFileName);
    if (QFileInfo(path).size() > kMostNoteBytes || !CRegularFile::readAll(path, content)) {
        return false;
    }
    if (!content.endsWith('\n')) {
        return false;
    }
    content.chop(1);
    const QStringList lines = QString::fromUtf8(content).split(QLatin1Char('\n'));
    if (lines.size() < 3 || (lines[0] != QLatin1String("move") && lines[0] != QLatin1String("copy")) ||
        !isBoxFolder(lines[1]) || !isBoxFolder(lines[2])) {
        return false;
    }
    entry.kind = lines[0] == QLatin1String("move") ? Kind::Move : Kind::Copy;
    entry.source = lines[1];
    entry.target = lines[2];
    entry.files = lines.mid(3);
    for (const QString& f : entry.files) {
        if (!isPlainName(f)) {
            return false;
        }
    }
    return true;
}

bool CMoveJournal::Recover(const QString& downloadFolder) {
    removeLeftoverTemps(downloadFolder);
    const QString path = CFileMng::Join(downloadFolder, kFileName);
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        return true;
    }
    Entry entry;
    if (!Read(downloadFolder, entry)) {
        // Not a note this program wrote whole: nothing can be finished from it.
        QFile::remove(path);
        return true;
    }
    const QString source = CFileMng::Join(downloadFolder, entry.source);
    const QString target = CFileMng::Join(downloadFolder, entry.target);
    bool finished = true;
    if (QFileInfo(source).isDir() && QFileInfo(target).isDir()) {
        for (const QString& name : entry.files) {
            const QString from = CFileMng::Join(source, name);
            const QString to = CFileMng::Join(target, name);
            if (!QFileInfo(from).isFile()) {
                continue; // moved before the interruption, or gone since
            }
            // The run had settled every question before it wrote the note: what it names replaces what is there.
            const bool ok =
                entry.kind == Kind::Move ? CFileCopy::Move(from, to, true) : CFileCopy::Copy(from, to, true);
            finished = finished && ok;
        }
    }
    if (finished) {
        QFile::remove(path);
    }
    return finished;
}
