#include "store/CFileMng.h"

#include "platform/CPrivateProfile.h"
#include "platform/CRegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace {

enum class EntryType { Dir, Regular, Other };

struct Entry {
    QByteArray raw; // the name as the file system holds it; the checks on names only look for ASCII pieces
    bool isDir;
    QString name() const { return QFile::decodeName(raw); }
};

// Calls visit(name, type) for every entry of a folder in directory order, "." and ".." left out; a link is
// taken for what it points to.
template <typename Visit> void forEachEntry(const QString& folder, Visit visit) {
    const QByteArray path = QFile::encodeName(folder);
    DIR* d = opendir(path.constData());
    if (!d) {
        return;
    }
    while (dirent* e = readdir(d)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) {
            continue;
        }
        EntryType type = e->d_type == DT_DIR   ? EntryType::Dir
                         : e->d_type == DT_REG ? EntryType::Regular
                                               : EntryType::Other;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st;
            if (::fstatat(dirfd(d), n, &st, 0) == 0) {
                type = S_ISDIR(st.st_mode)   ? EntryType::Dir
                       : S_ISREG(st.st_mode) ? EntryType::Regular
                                             : EntryType::Other;
            }
        }
        visit(n, type);
    }
    closedir(d);
}

std::vector<Entry> listEntries(const QString& folder) {
    std::vector<Entry> out;
    forEachEntry(folder, [&](const char* n, EntryType type) {
        out.push_back({QByteArray(n), type == EntryType::Dir});
    });
    return out;
}

bool endsWithNoCase(const QString& name, QLatin1String suffix) {
    return name.endsWith(suffix, Qt::CaseInsensitive);
}

constexpr std::string_view kVminf = ".vminf";
constexpr std::string_view kVmdat = ".vmdat";

bool has(std::string_view name, std::string_view piece) {
    return name.find(piece) != std::string_view::npos;
}

// The voice file's name beside an information file's, as the file system holds both.
void twinOf(std::string_view vminfName, std::string& twin) {
    twin.assign(vminfName);
    for (size_t at = twin.find(kVminf); at != std::string::npos; at = twin.find(kVminf, at + kVmdat.size())) {
        twin.replace(at, kVminf.size(), kVmdat);
    }
}

bool canOpenForWriting(const QByteArray& path) {
    // Non-blocking: a named pipe put in the file's place since it was read must not hold the write.
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
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
    // A symbolic link is written through: the file it names gets the new content and the link stays a link.
    char* real = ::realpath(QFile::encodeName(file).constData(), nullptr);
    if (!real) {
        return false;
    }
    const QByteArray path(real);
    std::free(real);
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
        if (ok && CFileMng::writeSteps) {
            CFileMng::writeSteps(CFileMng::WriteStep::DataSynced, tmpl);
        }
    }
    ok = (::close(fd) == 0) && ok;
    if (ok) {
        ok = ::rename(tmpl.constData(), path.constData()) == 0;
        if (ok && CFileMng::writeSteps) {
            CFileMng::writeSteps(CFileMng::WriteStep::Renamed, tmpl);
        }
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

std::function<void(CFileMng::WriteStep, const QByteArray&)> CFileMng::writeSteps;

QString CFileMng::BoxFolderOf(const QString& messageFile) {
    // The directory the file is named in, whatever the length of its name.
    return QFileInfo(messageFile).absolutePath() + QLatin1Char('/');
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

CFileMng::BoxListing CFileMng::ListBox(const QString& boxFolder) {
    BoxListing out;
    out.folder = boxFolder;
    // The names go into one buffer, each ended by its NUL: a folder of thousands of messages costs no allocation
    // per name, and a load opens them straight from there.
    struct Item {
        qsizetype at;
        size_t size;
        EntryType type;
    };
    std::vector<Item> entries;
    forEachEntry(boxFolder, [&](const char* n, EntryType type) {
        const size_t size = std::strlen(n);
        entries.push_back({out.names.size(), size, type});
        out.names.append(n, static_cast<qsizetype>(size + 1));
    });
    auto nameOf = [&](const Item& f) { return std::string_view(out.names.constData() + f.at, f.size); };
    // Only the voice files can be an information file's twin (directories named like one included).
    std::unordered_set<std::string_view> voiceNames;
    voiceNames.reserve(entries.size() / 2 + 1);
    for (const Item& f : entries) {
        if (has(nameOf(f), kVmdat)) {
            voiceNames.insert(nameOf(f));
        }
    }
    std::string twin;
    out.messages.reserve(entries.size());
    for (const Item& f : entries) {
        if (f.type == EntryType::Dir) {
            continue;
        }
        const std::string_view name = nameOf(f);
        // An information file whose voice file is there is represented by that one.
        bool represented = false;
        if (has(name, kVminf)) {
            twinOf(name, twin);
            represented = voiceNames.count(twin) != 0;
        }
        if (!represented && !has(name, ".wav") && !has(name, ".ini")) {
            ++out.count;
        }
        if (has(name, kVmdat) || (has(name, kVminf) && !represented)) {
            out.messages.push_back({f.at, f.type == EntryType::Regular});
        }
    }
    return out;
}

CFileMng::LoadOutcome CFileMng::LoadRecords(const QString& boxFolder, std::vector<FILESTS_INFO>& dest) {
    return LoadRecords(ListBox(boxFolder), dest);
}

CFileMng::LoadOutcome CFileMng::LoadRecords(const BoxListing& listing, std::vector<FILESTS_INFO>& dest) {
    const std::vector<BoxListing::Message>& messages = listing.messages;
    if (messages.empty()) {
        return {};
    }
    // Files are opened relative to the folder: the kernel then looks up one name per file, not the whole path.
    const int folderFd = ::open(QFile::encodeName(listing.folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        return {0, static_cast<int>(messages.size())};
    }
    // The box name is the same for every message of the folder: read "inf.ini" once.
    const QString boxName = GetBoxName(listing.folder);
    // Read straight into the destination (callers reserve it from the count); what cannot be read gives its slot
    // to the next file.
    const size_t first = dest.size();
    dest.resize(first + messages.size());
    size_t k = 0;
    int unreadable = 0;
    for (const BoxListing::Message& m : messages) {
        const char* raw = listing.names.constData() + m.at;
        FILESTS_INFO& r = dest[first + k];
        r.clear();
        // A file listed as a regular one needs no second look; opened without waiting, even a named pipe put in its
        // place since the listing only reads as empty.
        const int fd = m.regular ? ::openat(folderFd, raw, O_RDONLY | O_CLOEXEC | O_NONBLOCK)
                                 : CRegularFile::openForReading(raw, folderFd);
        if (fd < 0) {
            ++unreadable;
            continue;
        }
        const qint64 got = CRegularFile::readFully(fd, reinterpret_cast<char*>(&r), sizeof(FILESTS_INFO));
        ::close(fd);
        if (got < 0) {
            ++unreadable;
            continue;
        }
        const QString name = QFile::decodeName(raw);
        FILESTS_INFO::setText(r.filePath, Join(listing.folder, name));
        FILESTS_INFO::setText(r.boxNo, BoxNoFromName(name));
        FILESTS_INFO::setText(r.boxName, boxName);
        ++k;
    }
    ::close(folderFd);
    dest.resize(first + k);
    return {static_cast<int>(k), unreadable};
}

int CFileMng::CountMessages(const QString& folder) {
    return ListBox(folder).count;
}

CFileMng::ReadOutcome CFileMng::ReadRecord(const QString& file, FILESTS_INFO& rec) {
    rec.clear();
    const qint64 n = CRegularFile::readHead(file, reinterpret_cast<char*>(&rec), sizeof(FILESTS_INFO));
    if (n < 0) {
        rec.clear();
        return {};
    }
    return {true, static_cast<int>(n)};
}

CFileMng::WriteResult CFileMng::RewriteRecord(FILESTS_INFO& rec, const QString& file) {
    QByteArray old;
    if (!CRegularFile::readAll(file, old)) {
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
    if (!CRegularFile::readAll(file, old)) {
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
                FILESTS_INFO read;
                read.clear();
                if (CRegularFile::readHead(Join(boxFolder, e.name()), reinterpret_cast<char*>(&read),
                                           sizeof(FILESTS_INFO)) < 0) {
                    return FirstRecord::Unreadable;
                }
                rec = read;
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
