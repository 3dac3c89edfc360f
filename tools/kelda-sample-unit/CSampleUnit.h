#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// Sample messages of the voice-mail unit: 256-byte unit headers, message files with real G.729 Annex A voice data,
// whole box trees as the unit serves them, and local download folders as the program keeps them. Deterministic
// for a given seed.
class CSampleUnit {
public:
    struct Message {
        bool extension = false; // false: answering-machine box ("rusuroku"), true: extension box ("naisen")
        QString boxNo;          // at most 4 characters
        QString stem;           // 26 characters
        QDateTime recorded;     // written as an RFC 1123 date text, as is
        QString callerName;     // CP932 in the header, at most 32 bytes
        QString callerNo;
        bool playedOnUnit = false;
        bool protectedOnUnit = false;
        int frames = 0; // 10 ms each
        uint64_t voiceSeed = 0;
        bool femaleVoice = false;
        bool infoOnly = false; // local download folders: only the ".vminf" was taken
    };

    struct Options {
        uint64_t seed = 1;
        int messages = 40;
        int answeringBoxes = 3;
        int extensionBoxes = 4;
        double seconds = 0; // 0: lengths vary between 3 and 15 seconds
        double infoOnlyShare = 0.25;
        bool local = false; // a local download folder (records prepended) instead of the unit's tree
    };

    // The stem rule: 16 characters, "_" at index 16, the box number padded to four characters with "_", "_", then
    // a serial that fills 26 characters. The padding keeps the box number alone in the four characters that
    // begin at index 17, so that every reading of the name finds the same box.
    static QString makeStem(const QDateTime& recorded, int sequence, const QString& boxNo, int serial);
    // The 256-byte header: date text at 32..63, caller name 64..95 and number 96..127 in CP932, status bits at
    // 129 (bit 0 played, bit 1 protected), length in tenths big-endian at 130..133, box number at 136..139.
    static QByteArray unitHeader(const Message& m);
    static QString rfc1123(const QDateTime& t);
    // Voice data of the given number of frames, in the unit's word order.
    static QByteArray voiceFrames(uint64_t seed, int frames, bool femaleVoice = false);

    // The plan of a sample set: which messages go where. Same options, same plan.
    static std::vector<Message> plan(const Options& o);
    // Writes the plan below root: root/rusuroku/<box>/<stem>.vminf|.vmdat (and, when local, records prepended,
    // voice files left out for information-only messages and box names in "inf.ini"). Returns the files written,
    // or an empty list after a write failure (error holds why).
    static QStringList writeTree(const QString& root, const Options& o, QString* error = nullptr);
    // One message's files in a box folder. The ".vminf" always; the ".vmdat" unless info-only (local).
    static bool writeMessage(const QString& boxFolder, const Message& m, bool local, QStringList* written = nullptr);
    // A unit file: header + payload.
    static bool writeUnitFile(const QString& path, const QByteArray& header, const QByteArray& payload);
    // A local ".vmdat" holding exactly the given frames: a record in front (built as a download builds it).
    static bool writeLocalVoiceFile(const QString& path, const Message& m, const QByteArray& frames);
};
