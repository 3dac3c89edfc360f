#include "operations/CMsgDelete.h"

#include "link/CFtpListing.h"
#include "link/CFtpMng.h"
#include "operations/CDelKindSetLogic.h"
#include "operations/COperationTexts.h"
#include "operations/CPrgMsgDelDlg.h"
#include "platform/CUserInterface.h"
#include "store/BoxKind.h"
#include "store/CDurableFile.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "store/CPcDeletions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QLatin1String kVmdat(".vmdat");
const QLatin1String kVminf(".vminf");
const QString kNoMessageOrProtected = QStringLiteral("音声メッセージがありません。\nまたは｢保護｣に設定されています。");

bool unsafeForTheWire(const QString& text) {
    for (QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == 0) {
            return true;
        }
    }
    return false;
}

QString swapExtension(QString path, QLatin1String from, QLatin1String to) {
    if (path.endsWith(from)) {
        path.chop(from.size());
        path += to;
    }
    return path;
}

RESULT_MESSAGE error(const QString& text) {
    return {text, COperationTexts::ErrorCaption(), MsgIcon::Exclamation};
}

RESULT_MESSAGE done(const QString& text) {
    return {text, CMsgDelete::DoneCaption(), MsgIcon::Information};
}

} // namespace

QString CMsgDelete::UnitBoxNo(const QString& fileName) {
    if (fileName.size() < 15) {
        return QString();
    }
    QString box = fileName.mid(fileName.size() - 15, 4);
    if (box.startsWith(QLatin1Char('R'))) {
        box.remove(0, 1);
    }
    box.replace(QLatin1Char('_'), QLatin1Char(' '));
    while (!box.isEmpty() && box.back().isSpace()) {
        box.chop(1);
    }
    return box;
}

CMsgDelete::UnitTarget CMsgDelete::UnitTargetOf(const QString& filePath) {
    UnitTarget t;
    const QFileInfo info(filePath);
    t.boxFolder = info.path();
    t.boxNo = QFileInfo(t.boxFolder).fileName();
    t.name = swapExtension(info.fileName(), kVmdat, kVminf);
    // The kind is the folder above the box folder, not any "naisen" somewhere higher up the download root.
    t.extension = QFileInfo(t.boxFolder).dir().dirName() == boxKindDir(BoxKind::Extension);
    t.path = QStringLiteral("/%1/%2/%3").arg(boxKindDir(boxKindOf(t.extension)), t.boxNo, t.name);
    // Everything sent comes from local names: only a message name of the unit's form in a plain box folder name
    // goes on the wire, never a line break that would start a second command.
    t.valid = CFtpListing::isMessageName(t.name) && CFtpListing::isBoxNumber(t.boxNo) && !unsafeForTheWire(t.path);
    // Names whose box number is shorter than four characters are read differently by the two rules (the unit
    // pads it with "_", a shorter name runs on into the serial); the name is the folder's own when either
    // reading gives the folder's number. A message moved from another box fails both.
    const QString stored = CFileMng::BoxNoFromName(t.name);
    t.sameBox = UnitBoxNo(t.name) == t.boxNo || (!stored.isEmpty() && stored == t.boxNo);
    return t;
}

CMsgDelete::UnitDelete CMsgDelete::Through(CFtpMng& ftp) {
    return [&ftp](const QString& localDirectory, const QString& unitPath) {
        return ftp.DeleteOnUnit(localDirectory, unitPath).result;
    };
}

bool CMsgDelete::MarkDeletedOnUnit(const QString& file) {
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= FILESTS_INFO::SIZE;
    const char status = 3;
    ok = ok && ::pwrite(fd, &status, 1, offsetof(FILESTS_INFO, importStatus)) == 1;
    ok = ::close(fd) == 0 && ok;
    return ok;
}

void CMsgDelete::syncMarks(const QString& downloadFolder, const QStringList& marked, Summary& s) {
    // A mark not known to be on the disk is told as a record that could not be updated.
    if (!marked.isEmpty() && !CDurableFile::SyncFileSystemOf(downloadFolder)) {
        s.unmarked << marked;
    }
}

QStringList CMsgDelete::StillOnUnit(const std::vector<FILESTS_INFO>& rows) {
    QStringList stems;
    for (const FILESTS_INFO& rec : rows) {
        const QString name = QFileInfo(FILESTS_INFO::text(rec.filePath)).fileName();
        // Protected rows stay; a message the unit is known to have deleted cannot come back.
        if (rec.protect == 1 || rec.importStatus == 3 ||
            !CFtpListing::isMessageName(swapExtension(name, kVmdat, kVminf))) {
            continue;
        }
        stems << name.left(CFtpListing::kStemLength);
    }
    return stems;
}

QString CMsgDelete::PcDeletionsNotWrittenText() {
    return QStringLiteral("消去の記録をディスクに書き込めませんでした。\nＰＣの音声メッセージは消去していません。");
}

QString CMsgDelete::NotDurableText() {
    return QStringLiteral(
        "ＰＣのファイルをディスクに書き込めませんでした。\nＺＵＮＯの音声メッセージは消去していません。");
}

QString CMsgDelete::UndeletableText(bool single, bool keptOnUnit) {
    if (keptOnUnit) {
        return single ? QStringLiteral("ＰＣの音声ファイルが消去できませんでした。\n"
                                       "ＺＵＮＯの音声メッセージも消去していません。")
                      : QStringLiteral("一部の音声メッセージが消去できませんでした。\n"
                                       "(ＰＣの音声ファイル消去不可、ＺＵＮＯ側も未消去)。");
    }
    return single ? QStringLiteral("ＰＣの音声ファイルが消去できませんでした。")
                  : QStringLiteral("一部の音声メッセージが消去できませんでした。\n(ＰＣの音声ファイル消去不可)。");
}

QString CMsgDelete::UnmarkedText(const QStringList& files) {
    // The files are named (the first ten, then how many more): the person has to know which records still claim
    // a message the unit no longer has.
    constexpr int kNamed = 10;
    QString text = QStringLiteral("ＺＵＮＯの音声メッセージは消去しましたが、\n録音情報を更新できませんでした。");
    for (int i = 0; i < files.size() && i < kNamed; ++i) {
        text += QLatin1Char('\n') + QDir::toNativeSeparators(files[i]);
    }
    if (files.size() > kNamed) {
        text += QStringLiteral("\nほか%1件").arg(files.size() - kNamed);
    }
    return text;
}

CMsgDelete::Summary CMsgDelete::Run(CUserInterface& ui, Kind kind, const std::vector<FILESTS_INFO>& rows,
                                    const QString& downloadFolder, const UnitDelete& unit) {
    Summary s;
    s.selected = static_cast<int>(rows.size());
    if (rows.empty()) {
        ui.messageBox(COperationTexts::NothingSelected(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return s;
    }
    // Another operation is changing the folder: nothing is touched, and nothing counts as done.
    CFolderLock lock;
    if (!lock.acquireOrTell(ui, downloadFolder)) {
        return Summary{};
    }
    const int n = s.selected;
    const int total = kind == Kind::UnitAndPc ? 6 * n : 3 * n;
    ui.setMainWindowEnabled(false);
    int steps = 0;
    {
        CPrgMsgDelDlg progress(ui, total);
        const auto step = [&] {
            ++steps;
            progress.setStepDone(steps);
            ui.dispatchPendingEvents(1);
        };

        // Rows whose PC files could not all be removed: with both kinds they stay on the unit too, so that the
        // message is never gone from the unit while its PC copy still says it was taken from there.
        std::vector<char> pcLeft(rows.size(), 0);
        // A message deleted on the PC alone is written down first, so that no download brings it back while the
        // unit still has it; without the note nothing is deleted.
        if (kind == Kind::PcOnly && !CPcDeletions::Add(downloadFolder, StillOnUnit(rows))) {
            progress.close();
            s.notDurable = true;
            lock.release();
            ui.messageBox(PcDeletionsNotWrittenText(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
            ui.setMainWindowEnabled(true);
            return s;
        }
        if (kind == Kind::UnitAndPc || kind == Kind::PcOnly) {
            for (size_t row = 0; row < rows.size(); ++row) {
                const FILESTS_INFO& rec = rows[row];
                if (rec.protect == 1) {
                    s.noMessage = true;
                    continue;
                }
                const QString path = FILESTS_INFO::text(rec.filePath);
                if (kind == Kind::UnitAndPc && (!path.contains(kVmdat) || !QFileInfo::exists(path))) {
                    s.notDownloaded = true;
                    continue;
                }
                // A message's files share its stem; any other file a row was made of is only itself.
                QStringList files{path};
                if (path.endsWith(kVmdat) || path.endsWith(kVminf)) {
                    const QString stem = path.left(path.size() - kVmdat.size());
                    files = QStringList{stem + QStringLiteral(".wav"), stem + kVmdat, stem + kVminf};
                }
                for (const QString& file : files) {
                    const QFileInfo info(file);
                    if (!info.exists() && !info.isSymLink()) {
                        continue;
                    }
                    // A file that stays is not counted, and the run says so at its end.
                    if (QFile::remove(file)) {
                        ++s.deleted;
                    } else {
                        ++s.undeletable;
                        pcLeft[row] = 1;
                    }
                    step();
                }
            }
        }

        // The unit is freed only of what the PC holds on its disk: every file of the download folder that this or
        // an earlier run wrote (and every removal above) is synced before the first message goes on the unit.
        const bool toUnit = kind == Kind::UnitOnly || kind == Kind::UnitAndPc;
        if (toUnit && !CDurableFile::SyncFileSystemOf(downloadFolder)) {
            progress.close();
            s.notDurable = true;
            lock.release();
            ui.messageBox(NotDurableText(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
            ui.setMainWindowEnabled(true);
            return s;
        }
        // Records marked in place, synced together before the run reports them.
        QStringList marked;
        if (toUnit) {
            for (size_t row = 0; row < rows.size(); ++row) {
                const FILESTS_INFO& rec = rows[row];
                if (rec.protect == 1) {
                    s.noMessage = true;
                    continue;
                }
                if (pcLeft[row]) {
                    ++s.keptOnUnit;
                    continue;
                }
                const QString path = FILESTS_INFO::text(rec.filePath);
                if (!path.contains(kVmdat)) {
                    s.notDownloaded = true;
                    continue;
                }
                if (!QFileInfo::exists(path)) {
                    // With both kinds the PC pass removed the pair; a ".vminf" left over means it was not there.
                    if (kind == Kind::UnitOnly || QFileInfo::exists(swapExtension(path, kVmdat, kVminf))) {
                        s.notDownloaded = true;
                        continue;
                    }
                }
                const UnitTarget t = UnitTargetOf(path);
                if (!t.valid || !t.sameBox) {
                    s.noMessage = true;
                    continue;
                }
                switch (unit(downloadFolder, t.path)) {
                case UnitResult::FileInUse:
                    s.inUse = true;
                    s.inUseBox = t.boxNo;
                    s.inUseExtension = t.extension;
                    break;
                case UnitResult::FileGoneOnUnit:
                    s.noMessage = true;
                    break;
                case UnitResult::Done:
                    if (kind == Kind::UnitOnly && MarkDeletedOnUnit(path)) {
                        marked << path;
                    } else if (kind == Kind::UnitOnly) {
                        FILESTS_INFO changed = rec;
                        changed.importStatus = 3;
                        if (CFileMng::RewriteRecord(changed, path) != CFileMng::WriteResult::Written) {
                            s.unmarked << path;
                        }
                    }
                    ++s.deleted;
                    break;
                default:
                    progress.close();
                    syncMarks(downloadFolder, marked, s);
                    s.linkError = true;
                    lock.release();
                    ui.messageBox(COperationTexts::CommError(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
                    ui.setMainWindowEnabled(true);
                    return s;
                }
                step();
            }
        }
        syncMarks(downloadFolder, marked, s);
        progress.setStepDone(total);
        progress.close();
    }
    // The folder is free before the last word: a person who leaves the message open holds up no other run.
    lock.release();
    QList<RESULT_MESSAGE> shown = ResultMessages(s);
    // A completion says what it did, as its question said what it would do.
    if (!shown.isEmpty() && shown.last().text == DoneText()) {
        shown.last().text += QLatin1Char('\n') + COperationTexts::DoneLine(QStringLiteral("消去"), s.selected,
                                                                           CDelKindSetLogic::KindLabel(kind));
    }
    RESULT_MESSAGE::ShowAll(ui, shown);
    ui.setMainWindowEnabled(true);
    return s;
}

QList<RESULT_MESSAGE> CMsgDelete::ResultMessages(const Summary& s) {
    QList<RESULT_MESSAGE> out;
    if (s.linkError || s.notDurable || s.selected == 0) {
        return out;
    }
    const bool anyFlag = s.inUse || s.notDownloaded || s.noMessage;
    if (s.selected == 1) {
        if (s.inUse) {
            out << error((s.inUseExtension
                              ? QStringLiteral("内線BOX%1の音声メッセージは\n使用中のため消去できません。")
                              : QStringLiteral("留守録BOX%1の音声メッセージは\n使用中のため消去できません。"))
                             .arg(s.inUseBox));
        } else if (s.notDownloaded) {
            out << error(COperationTexts::VoiceNotDownloadedWrapped());
        } else if (s.noMessage) {
            out << error(kNoMessageOrProtected);
        }
    } else if (anyFlag && s.deleted > 0) {
        if (s.inUse) {
            out << done(QStringLiteral("一部の音声メッセージが消去できませんでした。\n(音声メッセージ使用中)。"));
        }
        if (s.notDownloaded) {
            out << done(QStringLiteral("一部の音声メッセージが消去できませんでした。\n(音声ファイル未ダウンロード)。"));
        }
        if (s.noMessage) {
            out << done(
                QStringLiteral("一部の音声メッセージが消去できませんでした。\n(音声メッセージなし または｢保護｣)。"));
        }
    } else if (anyFlag) {
        if (s.inUse) {
            out << error(QStringLiteral("音声メッセージは使用中のため\n消去できません。"));
        }
        if (s.notDownloaded) {
            out << error(COperationTexts::VoiceNotDownloadedWrapped());
        }
        if (s.noMessage) {
            out << error(kNoMessageOrProtected);
        }
    }
    // A record that could not be marked, or a local file that stayed, is never passed over as a completed
    // deletion.
    if (!s.unmarked.isEmpty()) {
        out << error(UnmarkedText(s.unmarked));
    }
    if (s.undeletable > 0) {
        out << error(UndeletableText(s.selected == 1, s.keptOnUnit > 0));
    } else if (!anyFlag && s.unmarked.isEmpty()) {
        out << done(DoneText());
    }
    return out;
}
