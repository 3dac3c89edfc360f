// The conversion driver of the store: lives with the decoder it drives.
#include "store/CFileMng.h"

#include "platform/CProgressDlg.h"
#include "voice/CG729Decoder.h"
#include "voice/CWavPath.h"

#include <QFile>

int CFileMng::ConvertToWav(const QString& vmdatFile, CUserInterface* ui) {
    // A path that is not a voice-data file would make the staging file the source itself and truncate it.
    const QString tmpPath = CWavPath::tmpFor(vmdatFile);
    const QString wavPath = CWavPath::wavForTmp(tmpPath);
    if (tmpPath.isEmpty() || wavPath.isEmpty()) {
        return 0;
    }

    QFile source(vmdatFile);
    if (!source.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const qint64 length = source.size();
    if (length < FILESTS_INFO::VOICE_OFFSET) {
        return 0;
    }
    if (!source.seek(FILESTS_INFO::VOICE_OFFSET)) {
        return 0;
    }
    const QByteArray frames = source.read(length - FILESTS_INFO::VOICE_OFFSET);
    source.close();
    if (frames.size() != length - FILESTS_INFO::VOICE_OFFSET) {
        return 0;
    }

    if (CProgressDlg* progress = CG729Decoder::findProgressWindow(ui)) {
        progress->post(PRG_FRAMETOTAL, frames.size() / CG729Decoder::FRAME_BYTES);
    }

    {
        QFile tmp(tmpPath);
        if (!tmp.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        const bool written = tmp.write(frames) == frames.size() && tmp.flush();
        tmp.close();
        if (!written) {
            // A staging file cut short by a full disk would decode into a shortened WAV reported as complete.
            QFile::remove(tmpPath);
            return 0;
        }
    }

    const QByteArray tmpName = QFile::encodeName(tmpPath);
    const int rc = CG729Decoder::Run(tmpName, tmpName, QFile::encodeName(wavPath), ui);
    QFile::remove(tmpPath);
    switch (rc) {
    case CG729Decoder::Done:
        return 1;
    case CG729Decoder::OpenFailed:
        // The decoder made no output; a WAV file already there is not this call's to remove.
        return 0;
    default:
        // Cancelled or written incompletely: no half-made WAV file may look like a finished one.
        QFile::remove(wavPath);
        return 0;
    }
}
