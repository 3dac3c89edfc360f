#include "CSampleUnit.h"

#include "CSampleEncoder.h"
#include "CSampleRandom.h"
#include "CSampleSpeech.h"

#include "platform/CCp932.h"
#include "store/CFileMng.h"
#include "store/CRecordBuilder.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

const char* const kNames[] = {"山田太郎",    "佐藤花子",   "鈴木一郎", "高橋商事",       "田中工業（株）",
                              "ｻﾝﾌﾟﾙ ｼｮｳｼﾞ", "伊藤美咲",   "渡辺運送", "中村クリニック", "小林",
                              "加藤建設",    "吉田由美子", "山本電機", "松本ｺｳﾑﾃﾝ",      "井上"};
const char* const kBoxNames[] = {"営業部", "総務", "サポート", "夜間受付", "経理課", "技術部", "代表"};

void putText(QByteArray& h, int offset, int width, const QByteArray& text) {
    const int n = std::min<int>(width, static_cast<int>(text.size()));
    for (int i = 0; i < n; ++i) {
        h[offset + i] = text[i];
    }
}

QString phoneNumber(CSampleRandom& rnd) {
    switch (rnd.between(0, 3)) {
    case 0:
        return QStringLiteral("03-%1-%2").arg(rnd.between(1000, 9999)).arg(rnd.between(1000, 9999));
    case 1:
        return QStringLiteral("090%1%2").arg(rnd.between(1000, 9999)).arg(rnd.between(1000, 9999));
    case 2:
        return QString::number(rnd.between(200, 499)); // an extension
    default:
        return QString(); // number withheld
    }
}

} // namespace

QString CSampleUnit::rfc1123(const QDateTime& t) {
    static const char* const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate d = t.date();
    const QTime tm = t.time();
    return QString::asprintf("%s, %02d %s %04d %02d:%02d:%02d GMT", days[d.dayOfWeek() - 1], d.day(),
                             months[d.month() - 1], d.year(), tm.hour(), tm.minute(), tm.second());
}

QString CSampleUnit::makeStem(const QDateTime& recorded, int sequence, const QString& boxNo, int serial) {
    QString stem = recorded.toString(QStringLiteral("yyyyMMddhhmmss")) + QString::asprintf("%02d", sequence % 100);
    stem += QLatin1Char('_') + boxNo.left(4).leftJustified(4, QLatin1Char('_')) + QLatin1Char('_');
    const int width = 26 - static_cast<int>(stem.size());
    QString digits = QString::number(serial).rightJustified(width, QLatin1Char('0'));
    return stem + digits.right(width);
}

QByteArray CSampleUnit::unitHeader(const Message& m) {
    QByteArray h(256, '\0');
    // Bytes the program does not read still carry something, as a real unit's would.
    putText(h, 0, 8, QByteArrayLiteral("VMHDR\x01\x00\x00"));
    putText(h, 32, 32, rfc1123(m.recorded).toLatin1());
    putText(h, 64, 32, CCp932::fromUnicode(m.callerName));
    putText(h, 96, 32, CCp932::fromUnicode(m.callerNo));
    h[128] = static_cast<char>(m.extension ? 2 : 1);
    h[129] = static_cast<char>((m.playedOnUnit ? 1 : 0) | (m.protectedOnUnit ? 2 : 0));
    const quint32 tenths = static_cast<quint32>(m.frames / 10);
    h[130] = static_cast<char>(tenths >> 24);
    h[131] = static_cast<char>(tenths >> 16);
    h[132] = static_cast<char>(tenths >> 8);
    h[133] = static_cast<char>(tenths);
    putText(h, 136, 4, m.boxNo.toLatin1());
    return h;
}

QByteArray CSampleUnit::voiceFrames(uint64_t seed, int frames, bool femaleVoice) {
    return CSampleEncoder::encode(CSampleSpeech::generate(seed, static_cast<int64_t>(frames) * 80, femaleVoice));
}

std::vector<CSampleUnit::Message> CSampleUnit::plan(const Options& o) {
    CSampleRandom rnd(o.seed * 0x2545F4914F6CDD1DULL + 7);
    QStringList answering, extension;
    for (int i = 0; i < o.answeringBoxes; ++i) {
        answering << QString::asprintf("%02d", i + 1);
    }
    for (int i = 0; i < o.extensionBoxes; ++i) {
        extension << QString::number(201 + i * 7);
    }
    std::vector<Message> out;
    QDateTime when(QDate(2026, 11, 16), QTime(8, 40, 0));
    const int boxes = static_cast<int>(answering.size() + extension.size());
    for (int i = 0; i < o.messages && boxes > 0; ++i) {
        Message m;
        const int b = rnd.between(0, boxes - 1);
        m.extension = b >= answering.size();
        m.boxNo = m.extension ? extension[b - answering.size()] : answering[b];
        when = when.addSecs(rnd.between(300, 6 * 3600));
        m.recorded = when;
        m.stem = makeStem(when, i, m.boxNo, 1000 + i);
        m.callerName = rnd.chance(0.85) ? QString::fromUtf8(kNames[rnd.between(0, 14)]) : QString();
        m.callerNo = phoneNumber(rnd);
        m.playedOnUnit = rnd.chance(0.5);
        m.protectedOnUnit = rnd.chance(0.15);
        const double seconds = o.seconds > 0 ? o.seconds : rnd.range(3.0, 15.0);
        m.frames = std::max(0, static_cast<int>(seconds * 100));
        m.voiceSeed = rnd.next();
        m.femaleVoice = rnd.chance(0.5);
        m.infoOnly = o.local && rnd.chance(o.infoOnlyShare);
        out.push_back(m);
    }
    return out;
}

bool CSampleUnit::writeUnitFile(const QString& path, const QByteArray& header, const QByteArray& payload) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    return f.write(header) == header.size() && f.write(payload) == payload.size() && f.flush();
}

bool CSampleUnit::writeLocalVoiceFile(const QString& path, const Message& m, const QByteArray& frames) {
    if (!writeUnitFile(path, unitHeader(m), frames)) {
        return false;
    }
    return CRecordBuilder::BuildForReceivedFile(path) == CRecordBuilder::Result::Written;
}

bool CSampleUnit::writeMessage(const QString& boxFolder, const Message& m, bool local, QStringList* written) {
    const QString inf = CFileMng::Join(boxFolder, m.stem + QStringLiteral(".vminf"));
    const QString dat = CFileMng::Join(boxFolder, m.stem + QStringLiteral(".vmdat"));
    const QByteArray header = unitHeader(m);
    if (!writeUnitFile(inf, header, QByteArray())) {
        return false;
    }
    if (local && CRecordBuilder::BuildForReceivedFile(inf) != CRecordBuilder::Result::Written) {
        return false;
    }
    if (written) {
        *written << inf;
    }
    if (local && m.infoOnly) {
        return true;
    }
    if (!writeUnitFile(dat, header, voiceFrames(m.voiceSeed, m.frames, m.femaleVoice))) {
        return false;
    }
    if (local && CRecordBuilder::BuildForReceivedFile(dat) != CRecordBuilder::Result::Written) {
        return false;
    }
    if (written) {
        *written << dat;
    }
    return true;
}

QStringList CSampleUnit::writeTree(const QString& root, const Options& o, QString* error) {
    QStringList written;
    const std::vector<Message> messages = plan(o);
    QDir dir;
    // Every box exists as a folder, even one that received no message.
    for (int i = 0; i < o.answeringBoxes + o.extensionBoxes; ++i) {
        const bool ext = i >= o.answeringBoxes;
        const QString box = ext ? QString::number(201 + (i - o.answeringBoxes) * 7) : QString::asprintf("%02d", i + 1);
        const QString folder = root + (ext ? QStringLiteral("/naisen/") : QStringLiteral("/rusuroku/")) + box;
        if (!dir.mkpath(folder)) {
            if (error) {
                *error = QStringLiteral("cannot create %1").arg(folder);
            }
            return {};
        }
        if (o.local) {
            CFileMng::SetBoxName(folder, QString::fromUtf8(kBoxNames[i % 7]));
        }
    }
    for (const Message& m : messages) {
        const QString folder =
            root + (m.extension ? QStringLiteral("/naisen/") : QStringLiteral("/rusuroku/")) + m.boxNo;
        if (!writeMessage(folder, m, o.local, &written)) {
            if (error) {
                *error = QStringLiteral("cannot write %1 in %2").arg(m.stem, folder);
            }
            return {};
        }
    }
    return written;
}
