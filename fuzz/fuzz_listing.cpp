// The unit's listings: whatever a listing holds, every name taken from it is a message name or a box number of
// the accepted forms, so nothing from the wire can name a path outside its folder.
#include "link/CFtpListing.h"
#include "platform/CCp932.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = CCp932::toUnicode(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const QStringList lines = CFtpListing::normalisedLines(text);
    for (const QString& line : lines) {
        if (line.isEmpty() || line.contains(QLatin1Char('\r'))) {
            std::abort();
        }
        const QString name = CFtpListing::longName(line);
        if (!name.isEmpty() && (!CFtpListing::isMessageName(name) || name.contains(QLatin1Char('/')) ||
                                name.contains(QLatin1Char('\\')) || name.startsWith(QLatin1Char('.')))) {
            std::abort();
        }
    }
    for (const QString& box : CFtpListing::boxNumbers(text)) {
        if (!CFtpListing::isBoxNumber(box) || box.contains(QLatin1Char('/')) || box == QLatin1String("..") ||
            box == QLatin1String(".") || box.isEmpty() || box.size() > 4) {
            std::abort();
        }
    }
    const int counted = CFtpListing::countLines(text, [] {});
    if (counted != lines.size()) {
        std::abort();
    }
    return 0;
}
