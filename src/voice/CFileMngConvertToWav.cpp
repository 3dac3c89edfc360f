// The conversion driver of the store: lives with the decoder it drives.
#include "store/CFileMng.h"

#include "platform/CProgress.h"
#include "voice/CG729Decoder.h"
#include "voice/CWavPath.h"

#include <QFile>
#include <QFileInfo>

bool CFileMng::ConvertToWav(const QString& vmdatFile, CUserInterface* ui, CProgress* progress) {
    // A path that is not a voice-data file would make the staging file the source itself and truncate it.
    const QString tmpPath = CWavPath::tmpFor(vmdatFile);
    const QString wavPath = CWavPath::wavForTmp(tmpPath);
    if (tmpPath.isEmpty() || wavPath.isEmpty()) {
        return false;
    }

    QFile source(vmdatFile);
    if (!source.open(QIODevice::ReadOnly)) {
        return false;
    }
    const qint64 length = source.size();
    if (length < FILESTS_INFO::VOICE_OFFSET) {
        return false;
    }
    if (!source.seek(FILESTS_INFO::VOICE_OFFSET)) {
        return false;
    }
    const QByteArray frames = source.read(length - FILESTS_INFO::VOICE_OFFSET);
    source.close();
    if (frames.size() != length - FILESTS_INFO::VOICE_OFFSET) {
        return false;
    }

    if (progress) {
        progress->setStepTotal(frames.size() / CG729Decoder::FRAME_BYTES);
    }

    {
        QFile tmp(tmpPath);
        if (!tmp.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return false;
        }
        const bool written = tmp.write(frames) == frames.size() && tmp.flush();
        tmp.close();
        if (!written) {
            // A staging file cut short by a full disk would decode into a shortened WAV reported as complete.
            QFile::remove(tmpPath);
            return false;
        }
    }

    // The WAV file takes its name only when it is finished: a run killed half-way must not leave a file that
    // looks converted (conversion and playback take an existing WAV file as done). The ".wav" inside the name
    // keeps a leftover out of every message count.
    const QString partPath = wavPath + QStringLiteral(".part");
    const QByteArray tmpName = QFile::encodeName(tmpPath);
    const int rc = CG729Decoder::Run(tmpName, tmpName, QFile::encodeName(partPath), ui, progress);
    QFile::remove(tmpPath);
    if (rc == CG729Decoder::Done) {
        QFile::remove(wavPath);
        if (QFile::rename(partPath, wavPath)) {
            return true;
        }
    }
    // Cancelled, written incompletely or never opened: nothing of this call remains.
    QFile::remove(partPath);
    return false;
}

bool CFileMng::WavIsCurrent(const QString& vmdatFile) {
    const QString wavPath = CWavPath::wavFor(vmdatFile);
    return !wavPath.isEmpty() && QFileInfo(wavPath).lastModified() > QFileInfo(vmdatFile).lastModified() &&
           WavIsComplete(vmdatFile);
}

bool CFileMng::WavIsComplete(const QString& vmdatFile) {
    const QString wavPath = CWavPath::wavFor(vmdatFile);
    const QFileInfo voice(vmdatFile);
    const QFileInfo wav(wavPath);
    if (wavPath.isEmpty() || !voice.isFile() || !wav.isFile() || voice.size() < FILESTS_INFO::VOICE_OFFSET) {
        return false;
    }
    const qint64 frames = (voice.size() - FILESTS_INFO::VOICE_OFFSET) / CG729Decoder::FRAME_BYTES;
    const qint64 dataSize = frames * CG729Decoder::FRAME_SAMPLES * 2;
    if (wav.size() != CG729Decoder::WAV_HEADER_BYTES + dataSize) {
        return false;
    }
    QFile file(wavPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    // A decoder stopped half-way leaves its placeholder sizes in the header.
    uint8_t expected[CG729Decoder::WAV_HEADER_BYTES];
    CG729Decoder::makeWavHeader(expected, quint32(dataSize), quint32(dataSize + 36));
    return file.read(CG729Decoder::WAV_HEADER_BYTES) ==
           QByteArray(reinterpret_cast<const char*>(expected), CG729Decoder::WAV_HEADER_BYTES);
}
