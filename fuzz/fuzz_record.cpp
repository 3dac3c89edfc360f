// Building a record from a unit header: any 256 bytes give a record whose text fields stay within their widths
// and whose date and length texts have their fixed forms.
#include "store/CRecordBuilder.h"
#include "store/FILESTS_INFO.h"

#include <QByteArray>
#include <QRegularExpression>

#include <cstdint>
#include <cstdlib>

namespace {

template <std::size_t N> void requireTerminated(const char16_t (&field)[N]) {
    if (field[N - 1] != 0) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    // The first byte chooses the kind of file and whether a record was there before.
    const bool isVoice = data[0] & 1;
    const bool fresh = data[0] & 2;
    const QByteArray header(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    FILESTS_INFO rec;
    rec.clear();
    if (!fresh) {
        FILESTS_INFO::setText(rec.title, QStringLiteral("kept"));
        rec.flag = 1;
    }
    CRecordBuilder::ApplyHeader(rec, header, fresh, isVoice);
    static_assert(sizeof(FILESTS_INFO) == FILESTS_INFO::SIZE);
    requireTerminated(rec.boxNo);
    requireTerminated(rec.boxName);
    requireTerminated(rec.callerNo);
    requireTerminated(rec.callerName);
    requireTerminated(rec.recDateTime);
    requireTerminated(rec.recTime);
    requireTerminated(rec.title);
    requireTerminated(rec.memo);
    requireTerminated(rec.filePath);
    static const QRegularExpression dateForm(QStringLiteral("^(\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2})?$"));
    static const QRegularExpression timeForm(QStringLiteral("^(\\d{2}:\\d{2}:\\d{2})?$"));
    if (!dateForm.match(FILESTS_INFO::text(rec.recDateTime)).hasMatch() ||
        !timeForm.match(FILESTS_INFO::text(rec.recTime)).hasMatch()) {
        std::abort();
    }
    if (rec.importStatus > 2 || rec.protect > 1 || (isVoice && rec.importStatus == 0)) {
        std::abort();
    }
    // What the user wrote into an existing record survives a new header.
    if (!fresh && FILESTS_INFO::text(rec.title) != QStringLiteral("kept")) {
        std::abort();
    }
    return 0;
}
