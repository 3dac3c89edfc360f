#include "voice/CG729Decoder.h"

#include "platform/CCancelFlag.h"
#include "platform/CProgress.h"
#include "platform/CUserInterface.h"

extern "C" {
#include <bcg729/decoder.h>
}

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct DecoderChannelDeleter {
    void operator()(bcg729DecoderChannelContextStruct* ctx) const { closeBcg729DecoderChannel(ctx); }
};
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

void put32(uint8_t* p, quint32 v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

void put16(uint8_t* p, quint16 v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void writeBanner(const QByteArray& input, const QByteArray& output) {
    std::printf("\n************ TOLKA-ZUNO 8.0 KBIT/S SPEECH DECODER  ************\n\n");
    std::printf("------------------- Fixed point C simulation ----------------\n\n");
    std::printf("-----------------          Version 1.1        ---------------\n\n");
    std::printf("Input bitstream file  :   %s\n", input.constData());
    std::printf("Synthesis speech file :   %s\n", output.constData());
}

} // namespace

void CG729Decoder::makeWavHeader(uint8_t h[WAV_HEADER_BYTES], quint32 dataSize, quint32 riffSize) {
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, riffSize);
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    put32(h + 16, 16);
    put16(h + 20, 1);     // PCM
    put16(h + 22, 1);     // mono
    put32(h + 24, 8000);  // samples per second
    put32(h + 28, 16000); // bytes per second
    put16(h + 32, 2);     // block alignment
    put16(h + 34, 16);    // bits per sample
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, dataSize);
}

int CG729Decoder::Run(const QByteArray& programName, const QByteArray& inputPath, const QByteArray& outputPath,
                      CUserInterface* ui, CProgress* progress) {
    CCancelFlag::clear();
    const bool talk = ui && ui->verbose();
    if (talk) {
        writeBanner(inputPath, outputPath);
    }

    FilePtr in(std::fopen(inputPath.constData(), "rb"));
    if (!in) {
        if (talk) {
            std::printf("%s - Error opening file  %s !!\n", programName.constData(), inputPath.constData());
        }
        return OpenFailed;
    }
    FilePtr out(std::fopen(outputPath.constData(), "wb"));
    if (!out) {
        if (talk) {
            std::printf("%s - Error opening file  %s !!\n", programName.constData(), outputPath.constData());
        }
        return OpenFailed;
    }
    // Both streams get large buffers: the frame loop then costs one library call per frame, not a system call.
    std::setvbuf(in.get(), nullptr, _IOFBF, 1 << 16);
    std::setvbuf(out.get(), nullptr, _IOFBF, 1 << 16);

    uint8_t header[WAV_HEADER_BYTES];
    makeWavHeader(header, PLACEHOLDER_DATA_SIZE, PLACEHOLDER_RIFF_SIZE);
    bool writeOk = std::fwrite(header, 1, sizeof(header), out.get()) == sizeof(header);

    std::unique_ptr<bcg729DecoderChannelContextStruct, DecoderChannelDeleter> channel(initBcg729DecoderChannel());

    uint8_t stored[FRAME_BYTES];
    uint8_t rfc[FRAME_BYTES];
    int16_t samples[FRAME_SAMPLES];
    quint32 frames = 0;
    while (writeOk && std::fread(stored, 1, FRAME_BYTES, in.get()) == FRAME_BYTES) {
        if (talk) {
            std::printf("Frame =%u\r", frames);
        }
        toRfc3551(stored, rfc);
        bcg729Decoder(channel.get(), rfc, FRAME_BYTES, isErased(stored) ? 1 : 0, 0, 0, samples);
        // The WAV file is little-endian; so is every machine the program is built for.
        writeOk = std::fwrite(samples, sizeof(int16_t), FRAME_SAMPLES, out.get()) == FRAME_SAMPLES;
        ++frames;
        if (progress) {
            progress->setStepDone(frames);
        }
        if (ui) {
            ui->dispatchPendingEvents(1);
        }
        if (CCancelFlag::isSet()) {
            return Cancelled;
        }
    }
    if (talk) {
        std::fflush(stdout);
    }
    if (!writeOk) {
        return WriteFailed;
    }

    const quint32 dataSize = frames * FRAME_SAMPLES * 2;
    makeWavHeader(header, dataSize, dataSize + 36);
    if (std::fseek(out.get(), 0, SEEK_SET) != 0 ||
        std::fwrite(header, 1, sizeof(header), out.get()) != sizeof(header)) {
        return WriteFailed;
    }
    // A failed flush (full disk) would otherwise go unnoticed until the close, and end in a cut file.
    if (std::fflush(out.get()) != 0) {
        return WriteFailed;
    }
    std::FILE* f = out.release();
    return std::fclose(f) == 0 ? Done : WriteFailed;
}
