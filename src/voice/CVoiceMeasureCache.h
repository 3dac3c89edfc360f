#pragma once

#include "voice/CVoiceMeasure.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

// The measurements of a box folder's messages, and where each was stopped part-way, in one file beside them
// (FILE_NAME). Nothing in it is needed: a missing or unreadable file is an empty cache, and every figure is
// measured again from the voice data. A figure counts only while its message file has the size and the
// modification time it had when it was measured. Written under a temporary name and renamed into place; it is
// not synced, as losing it costs only a measurement.
class CVoiceMeasureCache {
public:
    // Ends in ".ini", so that neither a message count nor a list load takes it for a message.
    static constexpr const char* FILE_NAME = "kelda-voice.ini";

    enum class SaveResult { Written, Unchanged, Failed };

    struct Entry {
        qint64 size = -1;
        qint64 mtimeMs = 0;
        bool measured = false;
        CVoiceMeasure::Figures figures;
        int resumeFrame = 0; // 0: plays from the start
    };

    explicit CVoiceMeasureCache(const QString& boxFolder);
    // Reads the file; what cannot be read is left out.
    void load();
    SaveResult save();

    QString boxFolder() const { return m_folder; }
    static QString pathIn(const QString& boxFolder);

    // The figures kept for a message file (by its name in the folder) whatever its state now: what a list shows
    // before it has looked at the files.
    const CVoiceMeasure::Figures* kept(const QString& fileName) const;
    // The figures of a message file when they were measured on the file as it is now.
    std::optional<CVoiceMeasure::Figures> valid(const QString& path) const;
    // Measures a message file (decoding its voice data) and keeps the figures. Empty when it cannot be read.
    std::optional<CVoiceMeasure::Figures> measure(const QString& path);
    // The valid figures, or measured now.
    std::optional<CVoiceMeasure::Figures> obtain(const QString& path);
    void put(const QString& path, qint64 size, qint64 mtimeMs, const CVoiceMeasure::Figures& figures);

    int resumeFrame(const QString& path) const;
    void setResumeFrame(const QString& path, int frame);

    // The size and modification time a figure is held to; false when the file is not there.
    static bool stamp(const QString& path, qint64& size, qint64& mtimeMs);

private:
    static QString nameOf(const QString& path);

    QString m_folder;
    QHash<QString, Entry> m_entries;
    // What changed since the load, the figures and the resume place apart: a save writes only these over what the
    // file holds then, so that two holders of one folder's cache (the background measuring and the player) do not
    // undo each other, not even in one message's line.
    QSet<QString> m_dirtyFigures;
    QSet<QString> m_dirtyResume;
    bool m_changed = false;
};
