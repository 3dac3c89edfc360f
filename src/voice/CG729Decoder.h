#pragma once

#include <QByteArray>

#include <cstdint>

class CUserInterface;
class CProgress;

// Decodes a file of bare G.729 Annex A speech frames (the unit's word order) into a WAV file: 8 kHz, 16-bit
// mono PCM. A decoder channel is set up afresh for every call, so a file always decodes the same way whatever
// was decoded before it. Runs on the user-interface thread: after each frame it reports progress, dispatches one
// pending event and reads the program-wide cancel flag.
class CG729Decoder {
public:
    enum Result {
        Done = 0,         // every frame decoded, the WAV header carries the final sizes
        Cancelled = 1,    // stopped on the cancel flag; the WAV file keeps its placeholder sizes
        OpenFailed = -1,  // input not readable or output not creatable; no output was made
        WriteFailed = -2, // the output could not be written completely (disk full); the output is incomplete
    };

    static constexpr int FRAME_BYTES = 10;
    static constexpr int FRAME_SAMPLES = 80;
    static constexpr int WAV_HEADER_BYTES = 44;
    // Sizes the header carries while decoding is still under way.
    static constexpr quint32 PLACEHOLDER_RIFF_SIZE = 16036;
    static constexpr quint32 PLACEHOLDER_DATA_SIZE = 16000;

    // The banner and per-frame lines go to standard output only when the user interface asks for them.
    // programName is only used in the error line. Paths are in the file system's own encoding. progress: told the
    // frames decoded (null: told nothing).
    static int Run(const QByteArray& programName, const QByteArray& inputPath, const QByteArray& outputPath,
                   CUserInterface* ui, CProgress* progress);

    // The unit stores each 16-bit word low byte first; the decoder wants the octet order of RFC 3551.
    static void toRfc3551(const uint8_t stored[FRAME_BYTES], uint8_t rfc[FRAME_BYTES]) {
        for (int i = 0; i < FRAME_BYTES; i += 2) {
            rfc[i] = stored[i + 1];
            rfc[i + 1] = stored[i];
        }
    }
    // A frame with an all-zero word is what the unit writes for a lost frame: it is concealed, not decoded.
    static bool isErased(const uint8_t frame[FRAME_BYTES]) {
        for (int i = 0; i < FRAME_BYTES; i += 2) {
            if (frame[i] == 0 && frame[i + 1] == 0) {
                return true;
            }
        }
        return false;
    }
    // The 44-byte header of a PCM WAV file of the given data size (riff size = data size + 36 unless given).
    static void makeWavHeader(uint8_t header[WAV_HEADER_BYTES], quint32 dataSize, quint32 riffSize);
};
