#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

class QIODevice;
struct OggOpusComments;
struct OggOpusEnc;

// Encodes 16-bit mono PCM into an Ogg Opus stream on an open device, at a bit rate made for speech, with text tags.
// The device is only written to; opening, syncing and naming the file is the caller's business.
class COpusFileWriter {
public:
    // About 120 KB a minute: a message of a few minutes still fits any mail.
    static constexpr int BITRATE = 16000;

    explicit COpusFileWriter(QIODevice& out);
    ~COpusFileWriter();
    COpusFileWriter(const COpusFileWriter&) = delete;
    COpusFileWriter& operator=(const COpusFileWriter&) = delete;

    // Tags by name (upper case ASCII), values in any script; empty values are left out. False when the encoder
    // could not be set up.
    bool open(int sampleRate, const std::vector<std::pair<QByteArray, QString>>& tags);
    // False once the encoder failed or the device refused bytes; what follows is then lost.
    bool write(const int16_t* samples, int count);
    // Encodes what is buffered and writes the stream's last page. False when anything of the stream was lost.
    bool finish();

private:
    static int writeOut(void* self, const unsigned char* bytes, int length);
    static int closeOut(void* self);
    void release();

    QIODevice& m_out;
    OggOpusComments* m_comments = nullptr;
    OggOpusEnc* m_encoder = nullptr;
    bool m_failed = false;
};
