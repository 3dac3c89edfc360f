#include "list/CListModel.h"

#include "voice/CVoiceMeasureCache.h"

#include <QHash>

#include <memory>

namespace {

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash > 0 ? path.left(slash) : QString();
}

bool isVoicePath(const FILESTS_INFO& rec) {
    return CListColumns::field(&rec, offsetof(FILESTS_INFO, filePath), std::size(FILESTS_INFO{}.filePath))
        .endsWith(QLatin1String(".vmdat"), Qt::CaseInsensitive);
}

} // namespace

QStringView CListModel::recordText(const CListColumns::Column& def, size_t record) const {
    if (def.source == CListColumns::Source::Measure) {
        return record < m_speechTexts.size() ? QStringView(m_speechTexts[record]) : QStringView();
    }
    return CListColumns::text(def, m_records[record], m_rootPrefix);
}

void CListModel::setSpeech(size_t record, qint64 ms) {
    if (record >= m_speechMs.size()) {
        return;
    }
    m_speechMs[record] = ms;
    m_speechTexts[record] = ms < 0 ? QString() : QStringLiteral("%1").arg(double(ms) / 1000.0, 7, 'f', 1);
}

qint64 CListModel::speechMs(int recordIndex) const {
    return recordIndex >= 0 && static_cast<size_t>(recordIndex) < m_speechMs.size()
               ? m_speechMs[static_cast<size_t>(recordIndex)]
               : -1;
}

void CListModel::forgetMeasures() {
    m_recordOfPath.clear();
    m_speechMs.assign(m_records.size(), -1);
    m_speechTexts.assign(m_records.size(), QString());
}

void CListModel::setFigures(const QString& path, const CVoiceMeasure::Figures& figures) {
    if (m_recordOfPath.isEmpty()) {
        m_recordOfPath.reserve(m_loaded);
        for (int i = 0; i < m_loaded; ++i) {
            if (isVoicePath(m_records[static_cast<size_t>(i)])) {
                m_recordOfPath.insert(FILESTS_INFO::text(m_records[static_cast<size_t>(i)].filePath), i);
            }
        }
    }
    const auto it = m_recordOfPath.constFind(path);
    if (it != m_recordOfPath.cend()) {
        setSpeech(static_cast<size_t>(it.value()), figures.speechMs);
    }
}

QStringList CListModel::voicePaths() const {
    QStringList out;
    for (int i = 0; i < m_loaded; ++i) {
        if (isVoicePath(m_records[static_cast<size_t>(i)])) {
            out << FILESTS_INFO::text(m_records[static_cast<size_t>(i)].filePath);
        }
    }
    return out;
}

int CListModel::measureNow() {
    QHash<QString, std::shared_ptr<CVoiceMeasureCache>> caches;
    int failed = 0;
    for (int i = 0; i < m_loaded; ++i) {
        if (!isVoicePath(m_records[static_cast<size_t>(i)])) {
            continue;
        }
        const QString path = FILESTS_INFO::text(m_records[static_cast<size_t>(i)].filePath);
        std::shared_ptr<CVoiceMeasureCache>& cache = caches[folderOf(path)];
        if (!cache) {
            cache = std::make_shared<CVoiceMeasureCache>(folderOf(path));
            cache->load();
        }
        const std::optional<CVoiceMeasure::Figures> f = cache->obtain(path);
        setSpeech(static_cast<size_t>(i), f ? f->speechMs : -1);
        failed += f ? 0 : 1;
    }
    for (const auto& cache : caches) {
        cache->save();
    }
    return failed;
}
