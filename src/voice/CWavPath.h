#pragma once

#include <QString>

// Names of the files a conversion makes beside a voice-data file. Only the file's own extension is replaced, so
// that a folder whose name happens to contain ".vmdat" does not send the files elsewhere.
class CWavPath {
public:
    // The staging file of a conversion: "x.vmdat" -> "x.tmp"; empty when the path is not a voice-data file.
    static QString tmpFor(const QString& voiceFile);
    // The WAV file of a message file: "x.vmdat" or "x.vminf" -> "x.wav"; empty for any other name.
    static QString wavFor(const QString& messageFile);
    // The WAV file that belongs to a staging file: "x.tmp" -> "x.wav"; empty for any other name.
    static QString wavForTmp(const QString& tmpFile);

private:
    static QString replaceSuffix(const QString& path, const QString& from, const QString& to);
};
