#include "support/CSampleFolder.h"

#include "settings/CKeldaSession.h"
#include "store/CFileMng.h"
#include "store/FILESTS_INFO.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace {

// The unit's header that gives this record when a download builds it: date, length, played on the unit
// (importStatus 1), protected and the box number, so that a check of the folder finds them agreeing.
QByteArray unitHeader(const QString& boxNo, const CSampleFolder::Message& m) {
    QByteArray h(FILESTS_INFO::UNIT_HEADER_SIZE, '\0');
    const QDateTime t = QDateTime::fromString(m.dateTime, QStringLiteral("yyyy/MM/dd HH:mm"));
    if (t.isValid()) {
        static const char* const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
        static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        const QByteArray date =
            QString::asprintf("%s, %02d %s %04d %02d:%02d:00 GMT", days[t.date().dayOfWeek() - 1], t.date().day(),
                              months[t.date().month() - 1], t.date().year(), t.time().hour(), t.time().minute())
                .toLatin1();
        h.replace(32, int(date.size()), date);
    }
    const QStringList hms = m.recTime.split(QLatin1Char(':'));
    if (hms.size() == 3) {
        const quint32 tenths = quint32(hms[0].toInt() * 3600 + hms[1].toInt() * 60 + hms[2].toInt()) * 10;
        h[130] = char(tenths >> 24);
        h[131] = char(tenths >> 16);
        h[132] = char(tenths >> 8);
        h[133] = char(tenths);
    }
    h[129] = char((m.voice && m.importStatus == 1 ? 1 : 0) | (m.protect ? 2 : 0));
    h.replace(136, int(std::min<qsizetype>(boxNo.size(), 4)), boxNo.left(4).toLatin1());
    return h;
}

} // namespace

QString CSampleFolder::writeMessage(const QString& boxFolder, const QString& boxNo, int seq, const Message& m) {
    QDir().mkpath(boxFolder);
    // 16-character time stamp, "_", box number, "_", sequence: 26 characters in all.
    const QString nameBox = m.paddedBox ? boxNo.leftJustified(4, QLatin1Char('_')) : boxNo;
    QString stem = QStringLiteral("2026120810%1_%2_").arg(seq % 1000000, 6, 10, QChar('0')).arg(nameBox);
    const int rest = 26 - static_cast<int>(stem.size());
    stem += QStringLiteral("%1").arg(seq, std::max(rest, 1), 10, QChar('0')).right(std::max(rest, 1));
    const QString path = boxFolder + '/' + stem + (m.voice ? QStringLiteral(".vmdat") : QStringLiteral(".vminf"));

    FILESTS_INFO rec;
    rec.clear();
    rec.flag = static_cast<uint8_t>(m.flag);
    rec.played = static_cast<uint8_t>(m.played);
    rec.importStatus = static_cast<uint8_t>(m.voice ? m.importStatus : 0);
    rec.protect = static_cast<uint8_t>(m.protect);
    FILESTS_INFO::setText(rec.boxNo, boxNo);
    FILESTS_INFO::setText(rec.callerNo, m.callerNo);
    FILESTS_INFO::setText(rec.callerName, m.callerName);
    FILESTS_INFO::setText(rec.recDateTime, m.dateTime);
    FILESTS_INFO::setText(rec.recTime, m.recTime);
    FILESTS_INFO::setText(rec.filePath, path);

    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return QString();
    }
    f.write(reinterpret_cast<const char*>(&rec), sizeof(rec));
    f.write(unitHeader(boxNo, m));
    f.write(QByteArray(m.voice ? 100 : 10, '\x55'));
    return path;
}

QString CSampleFolder::makeDownloadFolder(const QString& root, const QString& name, const QStringList& rusuroku,
                                          const QStringList& naisen, int perBox) {
    const QString folder = root + '/' + name;
    QDir().mkpath(folder + "/rusuroku");
    QDir().mkpath(folder + "/naisen");
    static const char* const names[] = {"営業部", "総務課", "山田", "田中商事", "", "佐藤"};
    int seq = 1;
    auto fill = [&](const QString& kind, const QStringList& boxes) {
        for (const auto& box : boxes) {
            // Every box folder has its "inf.ini", as a folder download leaves it (an empty name).
            QDir().mkpath(folder + '/' + kind + '/' + box);
            CFileMng::SetBoxName(folder + '/' + kind + '/' + box, QString());
            for (int k = 0; k < perBox; ++k, ++seq) {
                Message m;
                m.voice = (k % 5) != 4;
                m.importStatus = 1 + (k % 2);
                m.flag = (k % 3) == 0 ? 1 : 0;
                m.played = (k % 4) == 0 ? 1 : 0;
                m.protect = (k % 7) == 0 ? 1 : 0;
                m.dateTime = QStringLiteral("2026/%1/%2 %3:%4")
                                 .arg(1 + (seq % 12), 2, 10, QChar('0'))
                                 .arg(1 + (seq % 28), 2, 10, QChar('0'))
                                 .arg(seq % 24, 2, 10, QChar('0'))
                                 .arg((seq * 7) % 60, 2, 10, QChar('0'));
                m.recTime =
                    QStringLiteral("00:%1:%2").arg(seq % 3, 2, 10, QChar('0')).arg((seq * 13) % 60, 2, 10, QChar('0'));
                m.callerNo = QStringLiteral("03%1").arg(10000000 + seq * 37);
                m.callerName = QString::fromUtf8(names[seq % 6]);
                writeMessage(folder + '/' + kind + '/' + box, box, seq, m);
            }
        }
    };
    fill(QStringLiteral("rusuroku"), rusuroku);
    fill(QStringLiteral("naisen"), naisen);
    return folder;
}

void CSampleFolder::showFirstList(CKeldaSession& doc, const QString& root, const QString& boxes) {
    doc.folder = root;
    doc.num = 1;
    doc.slotFolderName[0] = QStringLiteral("dl");
    doc.slotDisp[0] = boxes;
    doc.resetColumns();
}
