#include "operations/CFolderCheck.h"

#include "link/CBoxFetch.h"
#include "link/CFtpListing.h"
#include "platform/CCp932.h"
#include "store/BoxKind.h"
#include "store/CFileMng.h"
#include "store/CRecordBuilder.h"
#include "voice/CG729Decoder.h"
#include "voice/CVoiceMeasureCache.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

using Kind = CHECK_FINDING::Kind;

constexpr int kHeadBytes = FILESTS_INFO::VOICE_OFFSET; // record and unit header
constexpr int kStem = CFtpListing::kStemLength;
// Worded for kelda-cli; the window rewords its advice (CFolderCheckLogic::WindowAdvice).
const QString kFetchAgain = QStringLiteral("--unit と --repair でZUNOから取り直します");
const QString kDownloadAgain = QStringLiteral("このメッセージをダウンロードし直してください");
const QString kCheckPermissions = QStringLiteral("権限とファイルの種類を確かめてください");

// What one message file gave.
struct FileRead {
    bool readable = false;
    qint64 size = 0;
    int got = 0; // bytes of record and header read
    char head[kHeadBytes];
};

// Fills r in place (it is large); the bytes past what was read are zero.
void readHead(int dirFd, const QByteArray& name, FileRead& r) {
    r.readable = false;
    r.size = 0;
    r.got = 0;
    const int fd = ::openat(dirFd, name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return;
    }
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        qint64 got = 0;
        while (got < kHeadBytes) {
            const ssize_t n = ::pread(fd, r.head + got, size_t(kHeadBytes - got), got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                got = n < 0 ? -1 : got;
                break;
            }
            got += n;
        }
        if (got >= 0) {
            r.readable = true;
            r.size = st.st_size;
            r.got = int(got);
            std::memset(r.head + got, 0, size_t(kHeadBytes - got));
        }
    }
    ::close(fd);
}

template <std::size_t N> bool terminated(const char16_t (&field)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (field[i] == 0) {
            return true;
        }
    }
    return false;
}

template <std::size_t N> QStringView view(const char16_t (&field)[N]) {
    std::size_t n = 0;
    while (n < N && field[n] != 0) {
        ++n;
    }
    return QStringView(field, qsizetype(n));
}

bool digits(QStringView s, qsizetype at, int n, int lo, int hi) {
    int v = 0;
    for (int i = 0; i < n; ++i) {
        const QChar c = s[at + i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
        v = v * 10 + (c.unicode() - '0');
    }
    return v >= lo && v <= hi;
}

// "YYYY/MM/DD hh:mm", or empty (a unit header whose date could not be read gives none).
bool dateTimeForm(QStringView s) {
    if (s.isEmpty()) {
        return true;
    }
    return s.size() == 16 && s[4] == QLatin1Char('/') && s[7] == QLatin1Char('/') && s[10] == QLatin1Char(' ') &&
           s[13] == QLatin1Char(':') && digits(s, 0, 4, 0, 9999) && digits(s, 5, 2, 1, 12) && digits(s, 8, 2, 1, 31) &&
           digits(s, 11, 2, 0, 23) && digits(s, 14, 2, 0, 59);
}

// "hh:mm:ss".
bool lengthForm(QStringView s) {
    return s.size() == 8 && s[2] == QLatin1Char(':') && s[5] == QLatin1Char(':') && digits(s, 0, 2, 0, 99) &&
           digits(s, 3, 2, 0, 59) && digits(s, 6, 2, 0, 59);
}

// What is wrong with a record, or empty.
QString recordFault(const FILESTS_INFO& r) {
    QStringList faults;
    if (!(terminated(r.boxNo) && terminated(r.boxName) && terminated(r.callerNo) && terminated(r.callerName) &&
          terminated(r.recDateTime) && terminated(r.recTime) && terminated(r.title) && terminated(r.memo) &&
          terminated(r.filePath))) {
        faults << QStringLiteral("文字欄が終端されていません");
    } else {
        if (!dateTimeForm(view(r.recDateTime))) {
            faults << QStringLiteral("日時「%1」が日時の形式ではありません").arg(FILESTS_INFO::text(r.recDateTime));
        }
        if (!lengthForm(view(r.recTime))) {
            faults << QStringLiteral("録音時間「%1」が時間の形式ではありません").arg(FILESTS_INFO::text(r.recTime));
        }
    }
    if (r.flag > 1 || r.played > 1 || r.importStatus > 3 || r.protect > 1) {
        faults << QStringLiteral("状態の値が範囲外です(ﾌﾗｸﾞ%1 再生%2 取込%3 保護%4)")
                      .arg(int(r.flag))
                      .arg(int(r.played))
                      .arg(int(r.importStatus))
                      .arg(int(r.protect));
    }
    return faults.join(QStringLiteral("、"));
}

const FILESTS_INFO& recordOf(const FileRead& f) {
    return *reinterpret_cast<const FILESTS_INFO*>(f.head);
}

// The record's date text a download makes of a header's date: the unit's own form ("Tue, 08 Dec 2026 09:15:00
// GMT") read straight, anything else as the record builder reads it. Empty when there is none.
bool headerDate(const char* h, char (&out)[32]) {
    const char* d = h + 32;
    static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto num = [](const char* p, int n) {
        int v = 0;
        for (int i = 0; i < n; ++i) {
            v = v * 10 + (p[i] - '0');
        }
        return v;
    };
    if (d[3] == ',' && d[4] == ' ' && digit(d[5]) && digit(d[6]) && d[7] == ' ' && d[11] == ' ' && digit(d[12]) &&
        digit(d[13]) && digit(d[14]) && digit(d[15]) && d[16] == ' ' && digit(d[17]) && digit(d[18]) && d[19] == ':' &&
        digit(d[20]) && digit(d[21]) && (d[22] == ':' || d[22] == ' ')) {
        const char lower[4] = {char(d[8] | 0x20), char(d[9] | 0x20), char(d[10] | 0x20), 0};
        int month = 0;
        for (int i = 0; i < 12 && month == 0; ++i) {
            if (std::strcmp(lower, months[i]) == 0) {
                month = i + 1;
            }
        }
        const int day = num(d + 5, 2);
        const int hour = num(d + 17, 2);
        const int minute = num(d + 20, 2);
        if (month > 0 && day >= 1 && day <= 31 && hour <= 23 && minute <= 59) {
            // "YYYY/MM/DD hh:mm": the year's digits as written, the rest two digits each.
            char* o = out;
            std::memcpy(o, d + 12, 4);
            o += 4;
            const int values[4] = {month, day, hour, minute};
            const char separators[4] = {'/', '/', ' ', ':'};
            for (int i = 0; i < 4; ++i) {
                *o++ = separators[i];
                *o++ = char('0' + values[i] / 10);
                *o++ = char('0' + values[i] % 10);
            }
            *o = 0;
            return true;
        }
    }
    QByteArray date(d, 32);
    date.replace('\0', ' ');
    const QByteArray text = CRecordBuilder::FormatRecDateTime(CCp932::toUnicode(date.left(27))).toLatin1();
    std::snprintf(out, sizeof out, "%s", text.left(31).constData());
    return !text.isEmpty();
}

// Where the unit's header and the record of the same file disagree, or empty. Only facts no edit on the PC
// changes are compared: the recording's date and length, and for voice data whether it was played on the unit.
QString headerFault(const FileRead& f, bool voice) {
    const FILESTS_INFO& rec = recordOf(f);
    const char* h = f.head + FILESTS_INFO::SIZE;
    const auto byte = [h](int i) { return quint8(h[i]); };
    QStringList faults;
    char date[32];
    if (headerDate(h, date) && view(rec.recDateTime) != QLatin1StringView(date)) {
        faults << QStringLiteral("日時: 記録「%1」、ヘッダ「%2」")
                      .arg(FILESTS_INFO::text(rec.recDateTime), QString::fromLatin1(date));
    }
    const quint32 tenths = quint32(byte(130)) << 24 | quint32(byte(131)) << 16 | quint32(byte(132)) << 8 | byte(133);
    const quint32 s = tenths / 10;
    char length[32];
    const quint32 parts[3] = {s / 3600 >= 100 ? 99 : s / 3600, s / 3600 >= 100 ? 59 : s % 3600 / 60,
                              s / 3600 >= 100 ? 59 : s % 60};
    for (int i = 0; i < 3; ++i) {
        length[i * 3] = char('0' + parts[i] / 10);
        length[i * 3 + 1] = char('0' + parts[i] % 10);
        length[i * 3 + 2] = i < 2 ? ':' : 0;
    }
    if (view(rec.recTime) != QLatin1StringView(length)) {
        faults << QStringLiteral("録音時間: 記録「%1」、ヘッダ「%2」")
                      .arg(FILESTS_INFO::text(rec.recTime), QString::fromLatin1(length));
    }
    // Deleted on the unit (3) says nothing of the header; anything else must be what the header made of it.
    const int played = (byte(129) & 0x01) ? 1 : 2;
    if (voice && rec.importStatus != 3 && rec.importStatus != played) {
        faults << QStringLiteral("取込: 記録%1、ヘッダからは%2").arg(int(rec.importStatus)).arg(played);
    }
    return faults.join(QStringLiteral("、"));
}

// Where the two files of one message disagree, or empty: their unit headers' date, callers, length and box, and
// their records' date and length.
QString pairFault(const FileRead& info, const FileRead& voice) {
    QStringList faults;
    const auto same = [&](int from, int to) {
        return std::memcmp(info.head + FILESTS_INFO::SIZE + from, voice.head + FILESTS_INFO::SIZE + from,
                           size_t(to - from)) == 0;
    };
    if (!same(32, 128) || !same(130, 134) || !same(136, 140)) {
        faults << QStringLiteral("ZUNOのヘッダが別の録音のものです");
    }
    const FILESTS_INFO& a = recordOf(info);
    const FILESTS_INFO& b = recordOf(voice);
    if (view(a.recDateTime) != view(b.recDateTime) || view(a.recTime) != view(b.recTime)) {
        faults << QStringLiteral("記録の日時・録音時間が違います");
    }
    return faults.join(QStringLiteral("、"));
}

quint32 le32(const char* p) {
    return quint32(quint8(p[0])) | quint32(quint8(p[1])) << 8 | quint32(quint8(p[2])) << 16 |
           quint32(quint8(p[3])) << 24;
}

enum class Wav { Matches, Incomplete, Mismatch, Unreadable };

Wav checkWav(int dirFd, const QByteArray& name, qint64 frames) {
    const int fd = ::openat(dirFd, name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return Wav::Unreadable;
    }
    struct stat st;
    char h[CG729Decoder::WAV_HEADER_BYTES];
    qint64 got = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        got = ::pread(fd, h, sizeof h, 0);
    }
    ::close(fd);
    if (got < 0) {
        return Wav::Unreadable;
    }
    const qint64 size = st.st_size;
    if (got < qint64(sizeof h) || std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WAVE", 4) != 0 ||
        std::memcmp(h + 36, "data", 4) != 0 || le32(h + 4) != quint64(size - 8) ||
        le32(h + 40) != quint64(size - CG729Decoder::WAV_HEADER_BYTES)) {
        return Wav::Incomplete;
    }
    return le32(h + 40) == quint64(frames * CG729Decoder::FRAME_SAMPLES * 2) ? Wav::Matches : Wav::Mismatch;
}

struct Entry {
    QByteArray raw;
    bool dir;
};

std::vector<Entry> entries(const QString& folder, bool* opened) {
    std::vector<Entry> out;
    DIR* d = ::opendir(QFile::encodeName(folder).constData());
    *opened = d != nullptr;
    if (!d) {
        return out;
    }
    while (dirent* e = ::readdir(d)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) {
            continue;
        }
        bool dir = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st;
            dir = ::fstatat(::dirfd(d), n, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        out.push_back({QByteArray(n), dir});
    }
    ::closedir(d);
    return out;
}

// The files of one message in a box folder, by what the name ends in (names of the folder's listing).
struct Stem {
    const QByteArray* info = nullptr;
    const QByteArray* voice = nullptr;
    const QByteArray* wav = nullptr;
};

bool endsWith(std::string_view n, std::string_view suffix) {
    return n.size() >= suffix.size() && n.substr(n.size() - suffix.size()) == suffix;
}

// A message file name of the unit's form, on the name's bytes (the form is ASCII only): the same rule as the
// link's for names of a listing.
bool messageName(std::string_view n) {
    if (n.size() != size_t(CFtpListing::kNameLength) || !(endsWith(n, ".vmdat") || endsWith(n, ".vminf"))) {
        return false;
    }
    for (int i = 0; i < kStem; ++i) {
        const unsigned char c = static_cast<unsigned char>(n[size_t(i)]);
        if (c <= 0x20 || c >= 0x7f || c == '/' || c == '\\' || c == '.' || c == ':' || c == '*' || c == '?') {
            return false;
        }
    }
    return true;
}

const QString kRemoveAdvice = QStringLiteral("不要です。--repair で消去します");

} // namespace

std::array<int, int(CHECK_FINDING::Kind::KindCount)> CFolderCheck::Report::counts() const {
    std::array<int, int(Kind::KindCount)> c{};
    for (const CHECK_FINDING& f : findings) {
        ++c[int(f.kind)];
    }
    return c;
}

void CFolderCheck::Report::add(Kind kind, const QString& path, const QString& problem, const QString& advice,
                               bool repairable) {
    CHECK_FINDING f;
    f.kind = kind;
    f.path = path;
    f.problem = problem;
    f.advice = advice;
    f.repairable = repairable;
    findings.push_back(std::move(f));
}

CFolderCheck::Report CFolderCheck::Run(const QString& downloadFolder, const Progress& progress, bool indexMessages) {
    Report report;
    report.indexMessages = indexMessages;
    QStringList boxes;
    for (const BoxKind kind : kBoxKinds) {
        const QString kindFolder = CFileMng::Join(downloadFolder, boxKindDir(kind));
        bool opened = false;
        for (const Entry& e : entries(kindFolder, &opened)) {
            const QString path = CFileMng::Join(kindFolder, QFile::decodeName(e.raw));
            if (e.dir) {
                boxes << path;
            } else {
                report.add(Kind::Stray, path, QStringLiteral("ボックスフォルダの外にあるファイルです"),
                           QStringLiteral("KELDAは使いません。必要なら別の場所へ移してください"));
            }
        }
        if (!opened) {
            report.add(Kind::Unreadable, kindFolder, QStringLiteral("フォルダを読めません"),
                       QStringLiteral("フォルダの有無と権限を確かめてください"));
        }
    }
    for (int i = 0; i < boxes.size(); ++i) {
        if (progress && !progress(i, int(boxes.size()))) {
            report.cancelled = true;
            return report;
        }
        CheckBoxFolder(boxes[i], report);
    }
    if (progress) {
        progress(int(boxes.size()), int(boxes.size()));
    }
    return report;
}

void CFolderCheck::CheckBoxFolder(const QString& boxFolder, Report& report) {
    ++report.boxFolders;
    const QString boxName = boxFolder.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty);
    if (!CFtpListing::isBoxNumber(boxName)) {
        report.add(Kind::BoxFolderName, boxFolder,
                   QStringLiteral("ZUNOにありえないボックスフォルダ名です(4文字まで、空白・「,」なし)"),
                   QStringLiteral("ボックスフォルダ名称を変更してください"));
    }
    const QByteArray folderPath = QFile::encodeName(boxFolder);
    const int dirFd = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool opened = false;
    const std::vector<Entry> all = entries(boxFolder, &opened);
    if (dirFd < 0 || !opened) {
        if (dirFd >= 0) {
            ::close(dirFd);
        }
        report.add(Kind::Unreadable, boxFolder, QStringLiteral("ボックスフォルダを読めません"),
                   QStringLiteral("フォルダの権限を確かめてください"));
        return;
    }

    bool infIni = false;
    // Paths are made only for what is reported: a sound folder of thousands of messages builds none.
    const auto pathOf = [&boxFolder](const QByteArray& raw) {
        return CFileMng::Join(boxFolder, QFile::decodeName(raw));
    };
    std::unordered_map<std::string_view, Stem> stems;
    stems.reserve(all.size() / 2 + 1);
    std::vector<std::string_view> order; // stems in directory order, so that findings come in the listing's order
    const auto stemOf = [&](const QByteArray& raw) -> Stem& {
        const std::string_view key(raw.constData(), size_t(kStem));
        auto [it, added] = stems.try_emplace(key);
        if (added) {
            order.push_back(key);
        }
        return it->second;
    };
    const QString elsewhere = QStringLiteral("KELDAは使いません。必要なら別の場所へ移してください");
    for (const Entry& e : all) {
        const std::string_view n(e.raw.constData(), size_t(e.raw.size()));
        if (e.dir) {
            report.add(Kind::Stray, pathOf(e.raw), QStringLiteral("ボックスフォルダの中のフォルダです"), elsewhere);
            continue;
        }
        if (n == "inf.ini") {
            infIni = true;
            continue;
        }
        if (n == CVoiceMeasureCache::FILE_NAME) {
            continue; // the measurements of the voice data, rebuilt whenever needed
        }
        const bool voice = endsWith(n, ".vmdat");
        const bool messageExt = voice || endsWith(n, ".vminf");
        if (messageExt && messageName(n)) {
            Stem& st = stemOf(e.raw);
            (voice ? st.voice : st.info) = &e.raw;
            continue;
        }
        if (n.size() == size_t(kStem) + 4 && endsWith(n, ".wav")) {
            stemOf(e.raw).wav = &e.raw;
            continue;
        }
        // Temporary files of the program's own writes: a record rewrite or a download in progress, a conversion
        // staging its frames or writing its WAV, an import's backup of the box name.
        if (n.substr(0, 7) == ".kelda-" && endsWith(n, ".ini")) {
            if (CBoxFetch::isLiveReceiving(QFile::decodeName(e.raw))) {
                continue; // a download of this machine is writing it now
            }
            report.add(Kind::Leftover, pathOf(e.raw), QStringLiteral("書込み中に中断された一時ファイルです"),
                       kRemoveAdvice, true);
            continue;
        }
        if (endsWith(n, ".wav.part") || (n.size() == size_t(kStem) + 4 && endsWith(n, ".tmp"))) {
            report.add(Kind::Leftover, pathOf(e.raw), QStringLiteral("中断されたWAV変換の一時ファイルです"),
                       kRemoveAdvice, true);
            continue;
        }
        if (n == "inf.tmp") {
            report.add(Kind::Leftover, pathOf(e.raw),
                       QStringLiteral("中断されたインポートが残したボックス名称の控えです"),
                       QStringLiteral("ボックス名称を確かめ、正しければこのファイルを消去してください"));
            continue;
        }
        if (endsWith(n, ".wav")) {
            continue; // a WAV file the user named: no message's, but a WAV
        }
        report.add(Kind::Stray, pathOf(e.raw),
                   messageExt ? QStringLiteral("ZUNOのファイル名の形式ではないメッセージファイルです")
                              : QStringLiteral("メッセージ・WAV・inf.iniのどれでもないファイルです"),
                   elsewhere);
    }
    if (!infIni) {
        report.add(Kind::InfIni, CFileMng::InfIniPath(boxFolder), QStringLiteral("inf.iniがありません"),
                   QStringLiteral("ボックス名称を編集して登録し直してください"));
    } else {
        const int fd = ::openat(dirFd, "inf.ini", O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat st;
        char probe;
        const bool readable = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::pread(fd, &probe, 1, 0) >= 0;
        if (fd >= 0) {
            ::close(fd);
        }
        if (!readable) {
            report.add(Kind::InfIni, CFileMng::InfIniPath(boxFolder), QStringLiteral("inf.iniを読めません"),
                       QStringLiteral("権限を確かめるか、ボックス名称を編集して登録し直してください"));
        }
    }

    if (report.indexMessages) {
        report.byStem.reserve(report.byStem.size() + qsizetype(order.size()));
    }
    for (const std::string_view stemRaw : order) {
        const Stem& s = stems[stemRaw];
        if (!s.info && !s.voice) {
            continue; // a WAV file without a message: not checked
        }
        ++report.messages;
        LocalMessage local;
        local.boxFolder = boxFolder;
        local.info = s.info != nullptr;
        local.voice = s.voice != nullptr;
        const std::size_t before = report.findings.size();

        // Each file on its own: readable, a whole record, its size, its header against its record.
        FileRead files[2];
        bool whole[2] = {false, false};
        for (int v = 0; v < 2; ++v) {
            const QByteArray* raw = v ? s.voice : s.info;
            if (!raw) {
                continue;
            }
            FileRead& f = files[v];
            readHead(dirFd, *raw, f);
            const QString path = f.readable && f.size >= kHeadBytes ? QString() : pathOf(*raw);
            if (!f.readable) {
                report.add(Kind::Unreadable, path, QStringLiteral("メッセージファイルを読めません(一覧に出ません)"),
                           kCheckPermissions);
                continue;
            }
            if (v) {
                local.voiceSize = f.size;
            }
            if (f.size < FILESTS_INFO::SIZE) {
                report.add(Kind::Cut, path,
                           QStringLiteral("録音情報(990バイト)に満たないファイルです(%1バイト)").arg(f.size),
                           v ? kFetchAgain : kDownloadAgain, v != 0);
                continue;
            }
            const QString fault = recordFault(recordOf(f));
            if (!fault.isEmpty()) {
                report.add(Kind::BadRecord, pathOf(*raw), QStringLiteral("録音情報が壊れています: %1").arg(fault),
                           QStringLiteral("kelda-cli info で確かめ、録音情報を編集し直してください"));
            }
            if (f.size < kHeadBytes) {
                report.add(Kind::Cut, path, QStringLiteral("ZUNOのヘッダが欠けています(%1バイト)").arg(f.size),
                           v ? kFetchAgain : kDownloadAgain, v != 0);
                continue;
            }
            if (v && (f.size - kHeadBytes) % CG729Decoder::FRAME_BYTES != 0) {
                report.add(Kind::Cut, pathOf(*raw),
                           QStringLiteral("音声データが10バイトのフレームで終わっていません(%1バイト余り)")
                               .arg((f.size - kHeadBytes) % CG729Decoder::FRAME_BYTES),
                           kFetchAgain, true);
                continue;
            }
            whole[v] = true;
            if (fault.isEmpty()) {
                const QString disagree = headerFault(f, v != 0);
                if (!disagree.isEmpty()) {
                    report.add(Kind::HeaderMismatch, pathOf(*raw),
                               QStringLiteral("ZUNOのヘッダと録音情報が合いません: %1").arg(disagree),
                               QStringLiteral("kelda-cli info で確かめ、必要ならダウンロードし直してください"));
                }
            }
        }
        // The two files are compared only when each is sound on its own: one fault, one finding.
        if (whole[0] && whole[1] && report.findings.size() == before) {
            const QString disagree = pairFault(files[0], files[1]);
            if (!disagree.isEmpty()) {
                report.add(Kind::PairMismatch, pathOf(*s.voice),
                           QStringLiteral(".vminfと.vmdatが別のメッセージを示しています: %1").arg(disagree),
                           QStringLiteral("どちらが正しいか確かめ、違う方をダウンロードし直してください"));
            }
        }
        local.voiceSound = whole[1] && report.findings.size() == before;

        // The WAV file against the voice data it should have been made from; a cut voice file is fetched first.
        if (s.wav && whole[1]) {
            const qint64 frames = (files[1].size - kHeadBytes) / CG729Decoder::FRAME_BYTES;
            switch (checkWav(dirFd, *s.wav, frames)) {
            case Wav::Matches:
                break;
            case Wav::Unreadable:
                report.add(Kind::Unreadable, pathOf(*s.wav), QStringLiteral("WAVファイルを読めません"),
                           kCheckPermissions);
                break;
            case Wav::Incomplete:
                report.add(Kind::WavIncomplete, pathOf(*s.wav),
                           QStringLiteral("WAVファイルのヘッダの長さがファイルの大きさと合いません(変換の中断)"),
                           QStringLiteral("--repair で変換し直します"), true);
                break;
            case Wav::Mismatch:
                report.add(
                    Kind::WavMismatch, pathOf(*s.wav),
                    QStringLiteral("WAVファイルの長さが音声データの%1フレームと合いません(別の版から変換)").arg(frames),
                    QStringLiteral("--repair で変換し直します"), true);
                break;
            }
        }
        if (report.indexMessages) {
            const QString stem = QString::fromLatin1(stemRaw.data(), kStem);
            if (!report.byStem.contains(stem)) {
                report.byStem.insert(stem, local);
            }
        }
    }
    ::close(dirFd);
}

bool CFolderCheck::WavMatchesVoice(const QString& voiceFile) {
    const qint64 size = QFileInfo(voiceFile).size();
    const QString wav = voiceFile.left(voiceFile.size() - 6) + QLatin1String(".wav");
    if (!voiceFile.endsWith(QLatin1String(".vmdat")) || size < kHeadBytes) {
        return false;
    }
    return checkWav(AT_FDCWD, QFile::encodeName(wav), (size - kHeadBytes) / CG729Decoder::FRAME_BYTES) == Wav::Matches;
}
