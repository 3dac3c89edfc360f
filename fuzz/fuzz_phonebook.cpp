// The extension phone book reader over any bytes: lines never exceed their length and always move the reading
// on, every field keeps within its length, and no line end is ever part of a name.
#include "admin/CImportLineReader.h"

#include <QByteArrayView>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    qsizetype pos = CImportLineReader::SkipHeader(bytes);
    if (pos < 0 || pos > bytes.size()) {
        std::abort();
    }
    std::size_t lines = 0;
    for (;;) {
        const qsizetype before = pos;
        const QByteArrayView line = CImportLineReader::NextLine(bytes, pos);
        if (line.isEmpty()) {
            break;
        }
        // Every line moves the reading on and stays within the file and its length limit.
        if (pos <= before || pos > bytes.size() || line.size() > CImportLineReader::LINE_BYTES) {
            std::abort();
        }
        const CImportLineReader::Line parsed = CImportLineReader::ParseLine(line);
        if (parsed.boxNo.size() > CImportLineReader::FIELD_CHARS) {
            std::abort();
        }
        if (parsed.namesExact.size() != parsed.names.size() || (parsed.blank && !parsed.names.isEmpty())) {
            std::abort();
        }
        for (const QString& name : parsed.names) {
            if (name.size() > CImportLineReader::FIELD_CHARS || name.contains(QLatin1Char(',')) ||
                name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n'))) {
                std::abort();
            }
        }
        ++lines;
    }
    // The whole-file reader agrees with reading line by line.
    if (CImportLineReader::Parse(bytes).size() != lines) {
        std::abort();
    }
    return 0;
}
