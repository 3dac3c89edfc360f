#include "store/CFileMng.h"

#include "platform/CRegularFile.h"
#include "store/BoxKind.h"
#include "store/CDurableFile.h"
#include "store/CPrivateProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class EntryType : uint8_t { Dir, Regular, Other };

struct Entry {
    QByteArray raw; // the name as the file system holds it; the checks on names only look for ASCII pieces
    bool isDir;
    QString name() const { return QFile::decodeName(raw); }
};

// Calls visit(name, type) for every entry of a folder in directory order, "." and ".." left out; a link is
// taken for what it points to. The entries are read a buffer at a time straight from the kernel: a box folder of
// thousands of messages costs a handful of calls and no library call per name.
template <typename Visit> void forEachEntry(const QString& folder, Visit visit) {
    const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return;
    }
    alignas(dirent64) char buf[32768];
    for (;;) {
        const ssize_t got = ::getdents64(dirFd, buf, sizeof buf);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* e = reinterpret_cast<const dirent64*>(buf + at);
            at += e->d_reclen;
            const char* n = e->d_name;
            if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) {
                continue;
            }
            EntryType type = e->d_type == DT_DIR   ? EntryType::Dir
                             : e->d_type == DT_REG ? EntryType::Regular
                                                   : EntryType::Other;
            if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
                struct stat st;
                if (::fstatat(dirFd, n, &st, 0) == 0) {
                    type = S_ISDIR(st.st_mode)   ? EntryType::Dir
                           : S_ISREG(st.st_mode) ? EntryType::Regular
                                                 : EntryType::Other;
                }
            }
            visit(n, type);
        }
    }
    ::close(dirFd);
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

// The pieces a name is told by, wherever in the name they stand.
enum : unsigned { kHasVmdat = 1, kHasVminf = 2, kHasWav = 4, kHasIni = 8 };

unsigned piecesOf(std::string_view name) {
    unsigned pieces = 0;
    for (size_t dot = name.find('.'); dot != std::string_view::npos; dot = name.find('.', dot + 1)) {
        const std::string_view from = name.substr(dot);
        if (from.starts_with(kVmdat)) {
            pieces |= kHasVmdat;
        } else if (from.starts_with(kVminf)) {
            pieces |= kHasVminf;
        } else if (from.starts_with(".wav")) {
            pieces |= kHasWav;
        } else if (from.starts_with(".ini")) {
            pieces |= kHasIni;
        }
    }
    return pieces;
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

// Replaces a file's content without ever leaving it half-written, and on the disk before the call returns (see
// CDurableFile). A symbolic link is written through: the file it names gets the new content and the link stays a
// link.
bool replaceContent(const QString& file, const QByteArray& head, const char* rest, size_t restSize) {
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
    return CDurableFile::WriteWhole(path, head.constData(), static_cast<size_t>(head.size()), rest, restSize,
                                    st.st_mode & 07777);
}

// Fills a text field with a text and then another, cut to fit with its NUL, the rest zero.
template <std::size_t N>
void putText(char16_t (&field)[N], std::u16string_view text, std::u16string_view more = std::u16string_view()) {
    size_t at = 0;
    for (const std::u16string_view piece : {text, more}) {
        const size_t n = std::min(piece.size(), N - 1 - at);
        if (n == 0) {
            continue; // an empty piece may have no storage at all, which memcpy must not be given
        }
        std::memcpy(field + at, piece.data(), n * sizeof(char16_t));
        at += n;
    }
    std::memset(field + at, 0, (N - at) * sizeof(char16_t));
}

// A file name as the file system holds it, as text, into out (room for size units). Names in plain ASCII, as the
// unit gives them, are the same in every encoding and are widened as they stand; false for any other name.
bool widenAscii(const char* raw, size_t size, char16_t* out) {
    unsigned char all = 0;
    for (size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(raw[i]);
        all |= c;
        out[i] = c;
    }
    return all < 0x80;
}

// The box number in a message file's name, as BoxNoFromName finds it.
std::u16string_view boxNoOfName(std::u16string_view name) {
    if (name.size() <= 16 || name[16] != u'_') {
        return {};
    }
    size_t end = name.find(u'_', 17);
    if (end == std::u16string_view::npos) {
        end = name.size();
    }
    return name.substr(17, std::min<size_t>(end - 17, 4));
}

} // namespace

QString CFileMng::Join(const QString& folder, const QString& name) {
    if (folder.endsWith('/')) {
        return folder + name;
    }
    return folder + '/' + name;
}

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
    // per name, and a load opens them straight from there. The pieces of a name that decide what it is are
    // looked for once, as it is listed.
    struct Item {
        qsizetype at;
        uint32_t size; // a name is at most a few hundred bytes
        EntryType type;
        uint8_t pieces;
    };
    std::vector<Item> entries;
    size_t voices = 0;
    // The size the file system gives a folder is most often about what its names take: a hint, so that the buffer
    // seldom grows while a folder of thousands is read.
    struct stat st;
    if (::stat(QFile::encodeName(boxFolder).constData(), &st) == 0 && st.st_size > 0) {
        const qsizetype hint = std::min<qsizetype>(st.st_size, qsizetype(64) << 20);
        out.names.reserve(hint);
        entries.reserve(static_cast<size_t>(hint) / 40);
    }
    forEachEntry(boxFolder, [&](const char* n, EntryType type) {
        const size_t size = std::strlen(n);
        const unsigned pieces = piecesOf(std::string_view(n, size));
        voices += (pieces & kHasVmdat) != 0;
        entries.push_back({out.names.size(), static_cast<uint32_t>(size), type, static_cast<uint8_t>(pieces)});
        out.names.append(n, static_cast<qsizetype>(size + 1));
    });
    auto nameOf = [&](const Item& f) { return std::string_view(out.names.constData() + f.at, f.size); };
    // Only the voice files can be an information file's twin (directories named like one included). They go into
    // an open table of entry numbers: no allocation per name.
    std::vector<uint32_t> table(std::bit_ceil(voices * 2 + 2), 0);
    const size_t mask = table.size() - 1;
    const std::hash<std::string_view> hash;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].pieces & kHasVmdat) {
            size_t slot = hash(nameOf(entries[i])) & mask;
            while (table[slot] != 0) {
                slot = (slot + 1) & mask;
            }
            table[slot] = static_cast<uint32_t>(i + 1);
        }
    }
    auto isVoiceName = [&](std::string_view name) {
        for (size_t slot = hash(name) & mask; table[slot] != 0; slot = (slot + 1) & mask) {
            if (nameOf(entries[table[slot] - 1]) == name) {
                return true;
            }
        }
        return false;
    };
    std::string twin;
    out.messages.reserve(entries.size());
    for (const Item& f : entries) {
        if (f.type == EntryType::Dir) {
            continue;
        }
        // An information file whose voice file is there is represented by that one.
        bool represented = false;
        if (f.pieces & kHasVminf) {
            twinOf(nameOf(f), twin);
            represented = isVoiceName(twin);
        }
        if (!represented && !(f.pieces & (kHasWav | kHasIni))) {
            ++out.count;
        }
        if ((f.pieces & kHasVmdat) || ((f.pieces & kHasVminf) && !represented)) {
            out.messages.push_back({f.at, f.type == EntryType::Regular});
        }
    }
    return out;
}

CFileMng::LoadOutcome CFileMng::LoadRecords(const QString& boxFolder, std::vector<FILESTS_INFO>& dest) {
    return LoadRecords(ListBox(boxFolder), dest);
}

CFileMng::LoadOutcome CFileMng::LoadRecords(const BoxListing& listing, std::vector<FILESTS_INFO>& dest) {
    return LoadRecords(listing, dest, LoadStep());
}

CFileMng::LoadOutcome CFileMng::LoadRecords(const BoxListing& listing, std::vector<FILESTS_INFO>& dest,
                                            const LoadStep& step) {
    const std::vector<BoxListing::Message>& messages = listing.messages;
    if (messages.empty()) {
        return {};
    }
    // Files are opened relative to the folder: the kernel then looks up one name per file, not the whole path.
    const int folderFd = ::open(QFile::encodeName(listing.folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        return {0, static_cast<int>(messages.size())};
    }
    // What every record of the folder shares is made once: the box name from "inf.ini" and the folder part of
    // the path.
    FILESTS_INFO shared;
    shared.clear();
    FILESTS_INFO::setText(shared.boxName, GetBoxName(listing.folder));
    const std::u16string prefix = Join(listing.folder, QString()).toStdU16String();
    // A message of the unit shows the number of the box folder it is in, as it shows that folder's name: one
    // moved or copied from another box carries the first box's number in its file name.
    const QString folderName = QFileInfo(QDir::cleanPath(listing.folder)).fileName();
    const std::u16string folderBoxNo = folderName.size() >= 1 && folderName.size() < qsizetype(std::size(shared.boxNo))
                                           ? folderName.toStdU16String()
                                           : std::u16string();
    const auto boxNoOf = [&folderBoxNo](std::u16string_view fromName) {
        return fromName.empty() || folderBoxNo.empty() ? fromName : std::u16string_view(folderBoxNo);
    };
    // Room for every listed file at once (callers that know the count reserve it), growing at least twofold so
    // that loading box after box into one array seldom copies it.
    const size_t first = dest.size();
    if (dest.capacity() < first + messages.size()) {
        dest.reserve(std::max(first + messages.size(), first * 2));
    }
    // Only the records are read, not the messages: a load leaves the files' access times alone, which also spares
    // the file system an inode write per file on the first load of a day. A file of another owner refuses that
    // wish, and the load then stops making it.
    int regularFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOATIME;
    std::u16string name;
    constexpr size_t pathRoom = std::size(FILESTS_INFO{}.filePath) - 1;
    int loaded = 0;
    int unreadable = 0;
    for (size_t done = 0; done < messages.size(); ++done) {
        if (step && done > 0 && done % LOAD_STEP == 0) {
            step(loaded);
        }
        const BoxListing::Message& m = messages[done];
        const char* raw = listing.names.constData() + m.at;
        // A file listed as a regular one needs no second look; opened without waiting, even a named pipe put in its
        // place since the listing only reads as empty.
        int fd = m.regular ? ::openat(folderFd, raw, regularFlags) : CRegularFile::openForReading(raw, folderFd);
        if (fd < 0 && m.regular && errno == EPERM && (regularFlags & O_NOATIME)) {
            regularFlags &= ~O_NOATIME;
            fd = ::openat(folderFd, raw, regularFlags);
        }
        if (fd < 0) {
            ++unreadable;
            continue;
        }
        // The read fills the record where it stands; only what a short file leaves is zeroed.
        FILESTS_INFO& r = dest.emplace_back(FILESTS_INFO::Unfilled{});
        const qint64 got = CRegularFile::readFully(fd, reinterpret_cast<char*>(&r), sizeof(FILESTS_INFO));
        ::close(fd);
        if (got < 0) {
            dest.pop_back();
            ++unreadable;
            continue;
        }
        if (got < static_cast<qint64>(sizeof(FILESTS_INFO))) {
            std::memset(reinterpret_cast<char*>(&r) + got, 0, sizeof(FILESTS_INFO) - static_cast<size_t>(got));
        }
        // The path is the folder's, then the name: an ASCII name that fits is widened straight into its place.
        const size_t size = std::strlen(raw);
        if (prefix.size() + size <= pathRoom && widenAscii(raw, size, r.filePath + prefix.size())) {
            std::memcpy(r.filePath, prefix.data(), prefix.size() * sizeof(char16_t));
            std::memset(r.filePath + prefix.size() + size, 0, (pathRoom + 1 - prefix.size() - size) * sizeof(char16_t));
            putText(r.boxNo, boxNoOf(boxNoOfName(std::u16string_view(r.filePath + prefix.size(), size))));
        } else {
            const QString decoded = QFile::decodeName(raw);
            name.assign(reinterpret_cast<const char16_t*>(decoded.utf16()), static_cast<size_t>(decoded.size()));
            putText(r.filePath, prefix, name);
            putText(r.boxNo, boxNoOf(boxNoOfName(name)));
        }
        std::memcpy(r.boxName, shared.boxName, sizeof r.boxName);
        ++loaded;
    }
    ::close(folderFd);
    return {loaded, unreadable};
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
    return replaceContent(file, head, rest, static_cast<size_t>(restSize)) ? WriteResult::Written
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
    return replaceContent(file, head, old.constData(), static_cast<size_t>(old.size())) ? WriteResult::Written
                                                                                        : WriteResult::Unwritable;
}

bool CFileMng::FileExists(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

CFileMng::FolderMessages CFileMng::FolderHasMessages(const QString& downloadFolder) {
    FolderMessages result = FolderMessages::NoBoxFolders;
    for (const auto& kind : listEntries(downloadFolder)) {
        if (!kind.isDir || !(kind.name().contains(boxKindDir(BoxKind::Extension)) ||
                             kind.name().contains(boxKindDir(BoxKind::AnsweringMachine)))) {
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
        naisen = naisen || e.name().contains(boxKindDir(BoxKind::Extension));
        rusuroku = rusuroku || e.name().contains(boxKindDir(BoxKind::AnsweringMachine));
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
