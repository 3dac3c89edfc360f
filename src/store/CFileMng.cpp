#include "store/CFileMng.h"

#include "platform/CPrivateProfile.h"

#include <QFile>
#include <QSet>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Entry {
    QByteArray raw; // the name as the file system holds it; the checks on names only look for ASCII pieces
    bool isDir;
    QString name() const { return QFile::decodeName(raw); }
};

// Directory order, as the platform lists it; "." and ".." left out.
std::vector<Entry> listEntries(const QString& folder) {
    std::vector<Entry> out;
    const QByteArray path = QFile::encodeName(folder);
    DIR* d = opendir(path.constData());
    if (!d) {
        return out;
    }
    while (dirent* e = readdir(d)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) {
            continue;
        }
        bool isDir = false;
        if (e->d_type == DT_DIR) {
            isDir = true;
        } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st;
            const QByteArray full = path + '/' + n;
            isDir = ::stat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        out.push_back({QByteArray(n), isDir});
    }
    closedir(d);
    return out;
}

bool endsWithNoCase(const QString& name, QLatin1String suffix) {
    return name.endsWith(suffix, Qt::CaseInsensitive);
}

constexpr const char* kVminf = ".vminf";
constexpr const char* kVmdat = ".vmdat";

// The voice file's name beside an information file's, as the file system holds both.
QByteArray rawTwinOf(const QByteArray& vminfName) {
    QByteArray t = vminfName;
    return t.replace(kVminf, kVmdat);
}

// The voice files of a folder listing: only these can be an information file's twin.
QSet<QByteArray> voiceNamesOf(const std::vector<Entry>& entries) {
    QSet<QByteArray> names;
    names.reserve(static_cast<qsizetype>(entries.size() / 2 + 1));
    for (const auto& e : entries) {
        if (e.raw.contains(kVmdat)) {
            names.insert(e.raw);
        }
    }
    return names;
}

bool readAll(const QString& file, QByteArray& content) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    content = f.readAll();
    return f.error() == QFile::NoError;
}

bool canOpenForWriting(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

bool writeFully(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Replaces a file's content without ever leaving it half-written: the new content goes to a temporary file in
// the same folder, which is then renamed over the original. The temporary name contains ".ini" so that, should a
// crash leave it behind, no message count or list takes it for a message.
bool replaceContent(const QString& file, const QByteArray& head, const char* rest, size_t restSize, bool sync) {
    const QByteArray path = QFile::encodeName(file);
    struct stat st;
    if (::stat(path.constData(), &st) != 0) {
        return false;
    }
    const qsizetype slash = path.lastIndexOf('/');
    QByteArray tmpl = (slash >= 0 ? path.left(slash + 1) : QByteArray()) + ".kelda-XXXXXX.ini";
    const int fd = ::mkstemps(tmpl.data(), 4);
    if (fd < 0) {
        return false;
    }
    bool ok = writeFully(fd, head.constData(), static_cast<size_t>(head.size())) && writeFully(fd, rest, restSize);
    ok = ok && ::fchmod(fd, st.st_mode & 07777) == 0;
    if (ok && sync) {
        ok = ::fdatasync(fd) == 0;
    }
    ok = (::close(fd) == 0) && ok;
    if (ok) {
        ok = ::rename(tmpl.constData(), path.constData()) == 0;
    }
    if (!ok) {
        ::unlink(tmpl.constData());
    }
    return ok;
}

} // namespace

QString CFileMng::Join(const QString& folder, const QString& name) {
    if (folder.endsWith('/')) {
        return folder + name;
    }
    return folder + '/' + name;
}

QString CFileMng::BoxFolderOf(const QString& messageFile) {
    return messageFile.left(std::max<qsizetype>(0, messageFile.size() - 32));
}

QString CFileMng::BoxNoFromName(const QString& fileName) {
    if (fileName.size() <= 16 || fileName[16] != '_') {
        return QString();
    }
    qsizetype end = fileName.indexOf('_', 17);
    if (end < 0) {
        end = fileName.size();
    }
    return fileName.mid(17, std::min<qsizetype>(end - 17, 4));
}

QString CFileMng::InfIniPath(const QString& boxFolder) {
    return Join(boxFolder, QStringLiteral("inf.ini"));
}

CFileMng::LoadOutcome CFileMng::LoadRecords(const QString& boxFolder, std::vector<FILESTS_INFO>& dest) {
    const std::vector<Entry> entries = listEntries(boxFolder);
    const QSet<QByteArray> voiceNames = voiceNamesOf(entries);

    std::vector<const Entry*> messages;
    messages.reserve(entries.size());
    for (const auto& e : entries) {
        if (e.isDir) {
            continue;
        }
        if (e.raw.contains(kVmdat)) {
            messages.push_back(&e);
        } else if (e.raw.contains(kVminf) && !voiceNames.contains(rawTwinOf(e.raw))) {
            messages.push_back(&e);
        }
    }

    if (messages.empty()) {
        return {};
    }
    // Files are opened relative to the folder: the kernel then looks up one name per file, not the whole path.
    const int folderFd = ::open(QFile::encodeName(boxFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        return {0, 1};
    }
    // The box name is the same for every message of the folder: read "inf.ini" once.
    const QString boxName = GetBoxName(boxFolder);
    // Read straight into the destination (callers reserve it from the count); a failure takes the box back out.
    const size_t first = dest.size();
    dest.resize(first + messages.size());
    for (size_t k = 0; k < messages.size(); ++k) {
        FILESTS_INFO& r = dest[first + k];
        r.clear();
        const QString name = messages[k]->name();
        const QString full = Join(boxFolder, name);
        // Non-blocking, so that a named pipe called like a message reads as an empty one instead of hanging the load.
        const int fd = ::openat(folderFd, messages[k]->raw.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            ::close(folderFd);
            dest.resize(first);
            return {0, 1};
        }
        char* buf = reinterpret_cast<char*>(&r);
        size_t got = 0;
        while (got < sizeof(FILESTS_INFO)) {
            const ssize_t n = ::read(fd, buf + got, sizeof(FILESTS_INFO) - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += static_cast<size_t>(n);
        }
        ::close(fd);
        FILESTS_INFO::setText(r.filePath, full);
        FILESTS_INFO::setText(r.boxNo, BoxNoFromName(name));
        FILESTS_INFO::setText(r.boxName, boxName);
    }
    ::close(folderFd);
    return {static_cast<int>(messages.size()), 0};
}

int CFileMng::CountMessages(const QString& folder) {
    const std::vector<Entry> entries = listEntries(folder);
    const QSet<QByteArray> voiceNames = voiceNamesOf(entries);
    int count = 0;
    for (const auto& e : entries) {
        if (e.isDir || e.raw.contains(".wav") || e.raw.contains(".ini")) {
            continue;
        }
        if (e.raw.contains(kVminf) && voiceNames.contains(rawTwinOf(e.raw))) {
            continue;
        }
        ++count;
    }
    return count;
}

CFileMng::ReadOutcome CFileMng::ReadRecord(const QString& file, FILESTS_INFO& rec) {
    rec.clear();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    const qint64 n = f.read(reinterpret_cast<char*>(&rec), sizeof(FILESTS_INFO));
    return {true, n < 0 ? 0 : static_cast<int>(n)};
}

CFileMng::WriteResult CFileMng::RewriteRecord(FILESTS_INFO& rec, const QString& file) {
    QByteArray old;
    if (!readAll(file, old)) {
        return WriteResult::Unreadable;
    }
    FILESTS_INFO::setText(rec.boxName, GetBoxName(BoxFolderOf(file)));
    if (!canOpenForWriting(QFile::encodeName(file))) {
        return WriteResult::Unwritable;
    }
    const QByteArray head(reinterpret_cast<const char*>(&rec), sizeof(FILESTS_INFO));
    // A file shorter than the record keeps nothing after it; it never gets a negative remainder.
    const qsizetype restSize = std::max<qsizetype>(0, old.size() - static_cast<qsizetype>(sizeof(FILESTS_INFO)));
    const char* rest = old.constData() + (old.size() - restSize);
    return replaceContent(file, head, rest, static_cast<size_t>(restSize), true) ? WriteResult::Written
                                                                                 : WriteResult::Unwritable;
}

CFileMng::WriteResult CFileMng::PrependRecord(const QString& file, const FILESTS_INFO& rec) {
    QByteArray old;
    if (!readAll(file, old)) {
        return WriteResult::Unreadable;
    }
    if (!canOpenForWriting(QFile::encodeName(file))) {
        return WriteResult::Unwritable;
    }
    const QByteArray head(reinterpret_cast<const char*>(&rec), sizeof(FILESTS_INFO));
    return replaceContent(file, head, old.constData(), static_cast<size_t>(old.size()), false)
               ? WriteResult::Written
               : WriteResult::Unwritable;
}

bool CFileMng::FileExists(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

CFileMng::FolderMessages CFileMng::FolderHasMessages(const QString& downloadFolder) {
    FolderMessages result = FolderMessages::NoBoxFolders;
    for (const auto& kind : listEntries(downloadFolder)) {
        if (!kind.isDir ||
            !(kind.name().contains(QLatin1String("naisen")) || kind.name().contains(QLatin1String("rusuroku")))) {
            continue;
        }
        QStringList boxes;
        ListSubfolders(Join(downloadFolder, kind.name()), boxes);
        for (const auto& box : boxes) {
            result = FolderMessages::NoMessages;
            if (CountMessages(box) >= 1) {
                return FolderMessages::HasMessages;
            }
        }
    }
    return result;
}

bool CFileMng::IsDownloadFolder(const QString& folder) {
    bool naisen = false;
    bool rusuroku = false;
    for (const auto& e : listEntries(folder)) {
        if (!e.isDir) {
            continue;
        }
        naisen = naisen || e.name().contains(QLatin1String("naisen"));
        rusuroku = rusuroku || e.name().contains(QLatin1String("rusuroku"));
    }
    return naisen && rusuroku;
}

void CFileMng::DeleteWavFiles(const QString& folder) {
    for (const auto& e : listEntries(folder)) {
        if (!e.isDir && endsWithNoCase(e.name(), QLatin1String(".wav")) && e.name().contains(QLatin1String(".wav"))) {
            QFile::remove(Join(folder, e.name()));
        }
    }
}

bool CFileMng::HasWavFiles(const QString& folder) {
    for (const auto& e : listEntries(folder)) {
        if (endsWithNoCase(e.name(), QLatin1String(".wav"))) {
            return true;
        }
    }
    return false;
}

CFileMng::FirstRecord CFileMng::ReadFirstRecord(const QString& boxFolder, FILESTS_INFO& rec) {
    const std::vector<Entry> entries = listEntries(boxFolder);
    for (QLatin1String ext : {QLatin1String(".vminf"), QLatin1String(".vmdat")}) {
        for (const auto& e : entries) {
            if (endsWithNoCase(e.name(), ext)) {
                QFile f(Join(boxFolder, e.name()));
                if (!f.open(QIODevice::ReadOnly)) {
                    return FirstRecord::Unreadable;
                }
                rec.clear();
                f.read(reinterpret_cast<char*>(&rec), sizeof(FILESTS_INFO));
                return FirstRecord::Read;
            }
        }
    }
    return FirstRecord::NoneFound;
}

QString CFileMng::GetBoxName(const QString& boxFolder) {
    return CPrivateProfile::getString(InfIniPath(boxFolder), QStringLiteral("INF"), QStringLiteral("NAME")).left(19);
}

bool CFileMng::SetBoxName(const QString& boxFolder, const QString& name) {
    return CPrivateProfile::writeString(InfIniPath(boxFolder), QStringLiteral("INF"), QStringLiteral("NAME"),
                                        QStringLiteral("\"%1\"").arg(name));
}

bool CFileMng::SetMake(const QString& boxFolder, const QString& value) {
    return CPrivateProfile::writeString(InfIniPath(boxFolder), QStringLiteral("INF"), QStringLiteral("MAKE"), value);
}

CFileMng::Make CFileMng::GetMake(const QString& boxFolder) {
    switch (CPrivateProfile::getInt(InfIniPath(boxFolder), QStringLiteral("INF"), QStringLiteral("MAKE"), 0)) {
    case 0:
        return Make::None;
    case 1:
        return Make::ByUser;
    case 2:
        return Make::Pending;
    default:
        return Make::Other;
    }
}

bool CFileMng::IsMakePending(const QString& boxFolder) {
    return GetMake(boxFolder) == Make::Pending;
}

void CFileMng::ListSubfolders(const QString& folder, QStringList& list) {
    list.clear();
    for (const auto& e : listEntries(folder)) {
        if (e.isDir) {
            list << Join(folder, e.name());
        }
    }
}
