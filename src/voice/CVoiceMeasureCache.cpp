#include "voice/CVoiceMeasureCache.h"

#include "store/CDurableFile.h"
#include "voice/CVoiceStream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>

namespace {

// The first line names the layout; a file of another layout is measured anew.
const QByteArray kHeader = "# kelda voice measurements 1";

QByteArray number(double v) {
    return std::isfinite(v) ? QByteArray::number(v, 'f', 2) : QByteArray("-inf");
}

double toNumber(const QByteArray& s, bool& ok) {
    if (s == "-inf") {
        ok = true;
        return -HUGE_VAL;
    }
    return s.toDouble(&ok);
}

} // namespace

CVoiceMeasureCache::CVoiceMeasureCache(const QString& boxFolder) : m_folder(boxFolder) {}

QString CVoiceMeasureCache::pathIn(const QString& boxFolder) {
    return QDir(boxFolder).filePath(QString::fromLatin1(FILE_NAME));
}

QString CVoiceMeasureCache::nameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

bool CVoiceMeasureCache::stamp(const QString& path, qint64& size, qint64& mtimeMs) {
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return false;
    }
    size = st.st_size;
    mtimeMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return true;
}

void CVoiceMeasureCache::load() {
    m_entries.clear();
    m_dirtyFigures.clear();
    m_dirtyResume.clear();
    m_changed = false;
    QFile file(pathIn(m_folder));
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.isEmpty() || lines.first() != kHeader) {
        return;
    }
    // name, size, time, measured, loudness, peak, speech ms, total ms, gaps "a-b,c-d", resume frame
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split('\t');
        if (f.size() != 10) {
            continue;
        }
        Entry e;
        bool ok[8] = {};
        e.size = f[1].toLongLong(&ok[0]);
        e.mtimeMs = f[2].toLongLong(&ok[1]);
        e.measured = f[3] == "1";
        e.figures.loudnessLufs = toNumber(f[4], ok[2]);
        e.figures.peakDbfs = toNumber(f[5], ok[3]);
        e.figures.speechMs = f[6].toLongLong(&ok[4]);
        e.figures.totalMs = f[7].toLongLong(&ok[5]);
        ok[6] = true;
        for (const QByteArray& gap : f[8].split(',')) {
            if (gap.isEmpty()) {
                continue;
            }
            const QList<QByteArray> ends = gap.split('-');
            bool a = false;
            bool b = false;
            const int from = ends.size() == 2 ? ends[0].toInt(&a) : 0;
            const int to = ends.size() == 2 ? ends[1].toInt(&b) : 0;
            ok[6] = ok[6] && a && b && from < to;
            e.figures.gaps.emplace_back(from, to);
        }
        e.resumeFrame = f[9].toInt(&ok[7]);
        if (std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; }) && e.resumeFrame >= 0) {
            m_entries.insert(QString::fromUtf8(f[0]), e);
        }
    }
}

CVoiceMeasureCache::SaveResult CVoiceMeasureCache::save() {
    if (!m_changed) {
        return SaveResult::Unchanged;
    }
    const QHash<QString, Entry> mine = m_entries;
    const QSet<QString> figuresChanged = m_dirtyFigures;
    const QSet<QString> resumeChanged = m_dirtyResume;
    load();
    for (const QString& name : figuresChanged) {
        const Entry& m = mine[name];
        Entry& e = m_entries[name];
        // The place another holder kept stays, as long as it was kept in the same voice data.
        const bool sameData = e.size == m.size && e.mtimeMs == m.mtimeMs;
        const int resume = resumeChanged.contains(name) ? m.resumeFrame : (sameData ? e.resumeFrame : 0);
        e = m;
        e.resumeFrame = resume;
    }
    for (const QString& name : resumeChanged) {
        if (figuresChanged.contains(name)) {
            continue;
        }
        const Entry& m = mine[name];
        Entry& e = m_entries[name];
        if (e.size == m.size && e.mtimeMs == m.mtimeMs) {
            e.resumeFrame = m.resumeFrame;
        } else {
            e = m;
        }
    }
    // The lines of messages deleted or moved away since go, so that the file stays as long as the folder's list.
    const QDir dir(m_folder);
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        it = QFileInfo::exists(dir.filePath(it.key())) ? std::next(it) : m_entries.erase(it);
    }
    QByteArray out = kHeader + '\n';
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        const Entry& e = it.value();
        QByteArray gaps;
        for (const auto& [from, to] : e.figures.gaps) {
            gaps += (gaps.isEmpty() ? "" : ",") + QByteArray::number(from) + '-' + QByteArray::number(to);
        }
        out += it.key().toUtf8() + '\t' + QByteArray::number(e.size) + '\t' + QByteArray::number(e.mtimeMs) + '\t' +
               (e.measured ? "1" : "0") + '\t' + number(e.figures.loudnessLufs) + '\t' + number(e.figures.peakDbfs) +
               '\t' + QByteArray::number(e.figures.speechMs) + '\t' + QByteArray::number(e.figures.totalMs) + '\t' +
               gaps + '\t' + QByteArray::number(e.resumeFrame) + '\n';
    }
    // Put in place the one way every file of a box folder is: whole, or the old cache stays.
    if (!CDurableFile::WriteWhole(pathIn(m_folder), out)) {
        return SaveResult::Failed;
    }
    return SaveResult::Written;
}

const CVoiceMeasure::Figures* CVoiceMeasureCache::kept(const QString& fileName) const {
    const auto it = m_entries.constFind(fileName);
    return it != m_entries.cend() && it->measured ? &it->figures : nullptr;
}

std::optional<CVoiceMeasure::Figures> CVoiceMeasureCache::valid(const QString& path) const {
    const auto it = m_entries.constFind(nameOf(path));
    qint64 size = 0;
    qint64 mtime = 0;
    if (it == m_entries.cend() || !it->measured || !stamp(path, size, mtime) || size != it->size ||
        mtime != it->mtimeMs) {
        return std::nullopt;
    }
    return it->figures;
}

std::optional<CVoiceMeasure::Figures> CVoiceMeasureCache::measure(const QString& path) {
    qint64 size = 0;
    qint64 mtime = 0;
    if (!stamp(path, size, mtime)) {
        return std::nullopt;
    }
    CVoiceStream stream;
    const CVoiceStream::LoadResult loaded = stream.load(path);
    // Voice data of no whole frame measures as silence: an empty call.
    if (loaded == CVoiceStream::LoadResult::Unreadable) {
        return std::nullopt;
    }
    const CVoiceMeasure::Figures f = CVoiceMeasure::measure(stream);
    put(path, size, mtime, f);
    return f;
}

std::optional<CVoiceMeasure::Figures> CVoiceMeasureCache::obtain(const QString& path) {
    if (auto f = valid(path)) {
        return f;
    }
    return measure(path);
}

void CVoiceMeasureCache::put(const QString& path, qint64 size, qint64 mtimeMs, const CVoiceMeasure::Figures& figures) {
    Entry& e = m_entries[nameOf(path)];
    // Where the listener stopped belongs to the voice data it was heard in.
    if (e.size != size || e.mtimeMs != mtimeMs) {
        e.resumeFrame = 0;
    }
    e.size = size;
    e.mtimeMs = mtimeMs;
    e.measured = true;
    e.figures = figures;
    m_dirtyFigures.insert(nameOf(path));
    m_changed = true;
}

int CVoiceMeasureCache::resumeFrame(const QString& path) const {
    const auto it = m_entries.constFind(nameOf(path));
    qint64 size = 0;
    qint64 mtime = 0;
    if (it == m_entries.cend() || !stamp(path, size, mtime) || size != it->size || mtime != it->mtimeMs) {
        return 0;
    }
    return it->resumeFrame;
}

void CVoiceMeasureCache::setResumeFrame(const QString& path, int frame) {
    qint64 size = 0;
    qint64 mtime = 0;
    if (!stamp(path, size, mtime)) {
        return;
    }
    Entry& e = m_entries[nameOf(path)];
    if (e.size != size || e.mtimeMs != mtime) {
        e = Entry{};
        e.size = size;
        e.mtimeMs = mtime;
    }
    frame = std::max(0, frame);
    if (e.resumeFrame != frame) {
        e.resumeFrame = frame;
        m_dirtyResume.insert(nameOf(path));
        m_changed = true;
    }
}
