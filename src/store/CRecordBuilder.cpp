#include "store/CRecordBuilder.h"

#include "platform/CCp932.h"
#include "store/CDurableFile.h"
#include "store/CFileMng.h"

#include <QFile>

#include <QRegularExpression>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A text field of the header: up to the first NUL, at most width bytes.
QString headerText(const QByteArray& h, int offset, int width) {
    int n = 0;
    while (n < width && h[offset + n] != 0) {
        ++n;
    }
    return CCp932::toUnicode(h.constData() + offset, n);
}

int monthNumber(const QString& token) {
    static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    const QString t = token.left(3).toLower();
    for (int i = 0; i < 12; ++i) {
        if (t == QLatin1String(months[i])) {
            return i + 1;
        }
    }
    return 0;
}

} // namespace

QString CRecordBuilder::FormatRecDateTime(const QString& internetTime) {
    // Accepts the RFC 1123 form ("Tue, 08 Dec 2026 09:15:00 GMT") and the looser forms an Internet date parser
    // takes (RFC 850 with dashes, asctime order); the fields are used as written.
    const QStringList tokens = internetTime.split(QRegularExpression(QStringLiteral("[\\s,\\-]+")), Qt::SkipEmptyParts);
    int day = -1, month = 0, year = -1, hour = -1, minute = -1;
    for (const QString& t : tokens) {
        if (t.contains(':')) {
            if (hour >= 0) {
                continue;
            }
            const QStringList hm = t.split(':');
            bool okH = false, okM = false;
            const int h = hm.value(0).toInt(&okH);
            const int m = hm.value(1).toInt(&okM);
            if (okH && okM && h >= 0 && h <= 23 && m >= 0 && m <= 59) {
                hour = h;
                minute = m;
            }
            continue;
        }
        bool isNum = false;
        const int v = t.toInt(&isNum);
        if (!isNum) {
            if (month == 0 && t.size() >= 3) {
                month = monthNumber(t);
            }
            continue;
        }
        if (t.size() >= 3) {
            if (year < 0) {
                year = v;
            }
        } else if (day < 0 && v >= 1 && v <= 31) {
            day = v;
        } else if (year < 0) {
            year = v < 50 ? 2000 + v : 1900 + v;
        }
    }
    if (day < 0 || month == 0 || year < 0 || year > 9999 || hour < 0) {
        return QString();
    }
    return QString::asprintf("%04d/%02d/%02d %02d:%02d", year, month, day, hour, minute);
}

QString CRecordBuilder::FormatRecTime(quint32 tenths) {
    const quint32 s = tenths / 10;
    const quint32 hours = s / 3600;
    if (hours >= 100) {
        return QStringLiteral("99:59:59");
    }
    const quint32 minutes = (s - hours * 3600) / 60;
    const quint32 seconds = s - hours * 3600 - minutes * 60;
    return QString::asprintf("%02u:%02u:%02u", hours, minutes, seconds);
}

void CRecordBuilder::ApplyHeader(FILESTS_INFO& rec, const QByteArray& header, bool fresh, bool isVoice) {
    QByteArray h = header.left(FILESTS_INFO::UNIT_HEADER_SIZE);
    h.append(QByteArray(FILESTS_INFO::UNIT_HEADER_SIZE - h.size(), '\0'));
    const auto byte = [&h](int i) { return static_cast<quint8>(h[i]); };

    if (fresh) {
        QByteArray date = h.mid(32, 32);
        date.replace('\0', ' ');
        FILESTS_INFO::setText(rec.recDateTime, FormatRecDateTime(CCp932::toUnicode(date.left(27))));
    }
    if (isVoice) {
        rec.importStatus = (byte(129) & 0x01) ? 1 : 2;
    } else {
        rec.importStatus = 0;
    }
    if (fresh) {
        rec.protect = (byte(129) & 0x02) ? 1 : 0;
        const quint32 v =
            (quint32(byte(130)) << 24) | (quint32(byte(131)) << 16) | (quint32(byte(132)) << 8) | quint32(byte(133));
        FILESTS_INFO::setText(rec.recTime, FormatRecTime(v));
        FILESTS_INFO::setText(rec.callerName, headerText(h, 64, 32));
        FILESTS_INFO::setText(rec.callerNo, headerText(h, 96, 32));
        FILESTS_INFO::setText(rec.boxNo, headerText(h, 136, 4));
    }
}

namespace {
// The record a received file starts from: the information file's when voice data follows it, else fresh.
bool startRecord(const QString& path, FILESTS_INFO& rec) {
    rec.clear();
    if (!path.contains(QLatin1String(".vmdat"))) {
        return true;
    }
    QString info = path;
    info.replace(QLatin1String(".vmdat"), QLatin1String(".vminf"));
    QFile f(info);
    if (f.open(QIODevice::ReadOnly)) {
        f.read(reinterpret_cast<char*>(&rec), sizeof(FILESTS_INFO));
        return false;
    }
    return true;
}
} // namespace

CRecordBuilder::Result CRecordBuilder::WriteIntoHeadroom(const QString& receivedPath, const QString& finalPath,
                                                         bool sync) {
    FILESTS_INFO rec;
    const bool fresh = startRecord(finalPath, rec);
    const bool isVoice = finalPath.contains(QLatin1String(".vmdat"));
    const int fd = ::open(QFile::encodeName(receivedPath).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return Result::Unreadable;
    }
    QByteArray header(FILESTS_INFO::UNIT_HEADER_SIZE, '\0');
    const ssize_t got = ::pread(fd, header.data(), header.size(), sizeof(FILESTS_INFO));
    header.truncate(std::max<ssize_t>(got, 0));
    ApplyHeader(rec, header, fresh, isVoice);
    bool written = ::pwrite(fd, &rec, sizeof rec, 0) == static_cast<ssize_t>(sizeof rec);
    if (written && sync) {
        written = CDurableFile::SyncData(fd);
    } else if (written) {
        CDurableFile::StartWriteBack(fd);
    }
    const bool closed = ::close(fd) == 0;
    return written && closed ? Result::Written : Result::WriteFailed;
}

CRecordBuilder::Result CRecordBuilder::BuildIntoHeadroom(const QString& receivedPath, const QString& finalPath) {
    const Result written = WriteIntoHeadroom(receivedPath, finalPath, true);
    if (written != Result::Written) {
        return written;
    }
    return CDurableFile::Rename(QFile::encodeName(receivedPath), QFile::encodeName(finalPath),
                                CDurableFile::Name::Replace)
               ? Result::Written
               : Result::WriteFailed;
}

CRecordBuilder::Result CRecordBuilder::BuildForReceivedFile(const QString& path) {
    FILESTS_INFO rec;
    const bool fresh = startRecord(path, rec);
    const bool isVoice = path.contains(QLatin1String(".vmdat"));
    QFile received(path);
    if (!received.open(QIODevice::ReadOnly)) {
        return Result::Unreadable;
    }
    const QByteArray header = received.read(FILESTS_INFO::UNIT_HEADER_SIZE);
    received.close();
    ApplyHeader(rec, header, fresh, isVoice);
    switch (CFileMng::PrependRecord(path, rec)) {
    case CFileMng::WriteResult::Written:
        return Result::Written;
    case CFileMng::WriteResult::Unreadable:
        return Result::Unreadable;
    case CFileMng::WriteResult::Unwritable:
        break;
    }
    return Result::WriteFailed;
}
