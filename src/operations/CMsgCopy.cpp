#include "operations/CMsgCopy.h"

#include "operations/COperationTexts.h"
#include "operations/CPrgMsgCopyDlg.h"
#include "platform/CCommonTexts.h"
#include "platform/CDiskSpace.h"
#include "platform/CUserInterface.h"
#include "store/CFileCopy.h"
#include "store/CFolderLock.h"
#include "store/CMoveJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QLatin1String kVmdat(".vmdat");
const QLatin1String kVminf(".vminf");

// The same folder, however it is spelt.
bool sameFolder(const QString& a, const QString& b) {
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists()) {
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    }
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

} // namespace

bool CMsgCopy::CopyFile(const QString& source, const QString& destination, bool replace) {
    return CFileCopy::Copy(source, destination, replace);
}

QString CMsgCopy::DoneText(Kind kind) {
    return kind == Kind::Move ? QStringLiteral("音声メッセージの移動が正常に完了しました。")
                              : QStringLiteral("音声メッセージのコピーが正常に完了しました。");
}

QString CMsgCopy::NothingDoneText(Kind kind) {
    return kind == Kind::Move ? QStringLiteral("移動した音声メッセージはありません。")
                              : QStringLiteral("コピーした音声メッセージはありません。");
}

QString CMsgCopy::DoneCaption(Kind kind) {
    return kind == Kind::Move ? QStringLiteral("移動完了") : QStringLiteral("コピー完了");
}

QString CMsgCopy::FailedText(Kind kind, int count) {
    return (kind == Kind::Move
                ? QStringLiteral("%1件の音声メッセージが移動できませんでした\n(ファイル読み書き不可)。")
                : QStringLiteral("%1件の音声メッセージがコピーできませんでした\n(ファイル読み書き不可)。"))
        .arg(count);
}

void CMsgCopy::undoMove(const QString& downloadFolder, const QList<Handled>& files) {
    if (files.isEmpty()) {
        CMoveJournal::End(downloadFolder);
        return;
    }
    // Going back is a move too: the note is turned round first, so that an interruption finishes the way back.
    CMoveJournal::Entry back;
    back.kind = CMoveJournal::Kind::Move;
    back.source = QDir(downloadFolder).relativeFilePath(QFileInfo(files.first().destination).path());
    back.target = QDir(downloadFolder).relativeFilePath(QFileInfo(files.first().source).path());
    for (const Handled& h : files) {
        back.files << QFileInfo(h.source).fileName();
    }
    CMoveJournal::Begin(downloadFolder, back);
    for (const Handled& h : files) {
        if (QFileInfo::exists(h.destination)) {
            CFileCopy::Move(h.destination, h.source, false);
        }
    }
    CMoveJournal::End(downloadFolder);
}

void CMsgCopy::commitCopies(PendingCopies& pending, const QString& downloadFolder, Summary& s) {
    if (pending.rows.isEmpty()) {
        return;
    }
    const QList<QStringList> rows = std::exchange(pending.rows, {});
    const CMoveJournal::Entry note = std::exchange(pending.note, {});
    pending.sourceDir.clear();
    if (!CMoveJournal::Begin(downloadFolder, note)) {
        pending.files.discard();
        s.failed += static_cast<int>(rows.size());
        return;
    }
    const CDurableBatch::Outcome named =
        pending.files.commit(CDurableBatch::Folders::SyncNow, [](const QString&) { CMoveJournal::Step(); });
    for (const QStringList& destinations : rows) {
        bool whole = named.foldersSynced;
        for (const QString& d : destinations) {
            whole = whole && !named.failed.contains(d);
        }
        if (whole) {
            ++s.processed;
            ++s.transferred;
            continue;
        }
        // A message is copied whole or not at all.
        for (const QString& d : destinations) {
            if (named.named.contains(d)) {
                QFile::remove(d);
            }
        }
        ++s.failed;
    }
    CMoveJournal::End(downloadFolder);
}

CMsgCopy::Summary CMsgCopy::Run(Kind kind, const QString& target, const std::vector<FILESTS_INFO>& rows,
                                const QString& downloadFolder) {
    Summary s;
    s.selected = static_cast<int>(rows.size());
    const int n = s.selected;
    CFolderLock lock;
    if (n > 0 && !lock.acquireOrTell(m_ui, downloadFolder)) {
        s.busy = true;
        return s;
    }
    m_ui.setMainWindowEnabled(false);
    const QString destDir = QDir::cleanPath(downloadFolder + QLatin1Char('/') + target);
    m_cancel = 0;
    bool overwriteAll = false;
    int counter = 1;
    QList<Handled> handled;
    PendingCopies copies;
    bool cancelledOut = false;
    {
        CPrgMsgCopyDlg progress(m_ui, kind == Kind::Move, n, [this] { RequestCancel(); });
        m_ui.dispatchPendingEvents(-1);
        for (const FILESTS_INFO& rec : rows) {
            m_ui.dispatchPendingEvents(1);
            handled.clear();
            const QString path = FILESTS_INFO::text(rec.filePath);
            const QString stem = path.left(path.size() - kVmdat.size());
            // A move an older program left split (the information file already in the target) is finished.
            const bool infoAhead = kind == Kind::Move && !QFileInfo::exists(stem + kVminf) &&
                                   QFileInfo::exists(destDir + QLatin1Char('/') + QFileInfo(stem).fileName() + kVminf);
            if (!path.endsWith(kVmdat) || !QFileInfo::exists(path) ||
                (!QFileInfo::exists(stem + kVminf) && !infoAhead)) {
                ++counter;
                progress.setStepDone(counter);
                s.noVoice = true;
                continue;
            }
            const int rowEnd = counter + 3;
            // A message already in the target box stays as it is: copying it onto itself would cut it, and
            // replacing "the destination" of a move would delete the message itself.
            const QString sourceDir = QFileInfo(path).path();
            if (sameFolder(sourceDir, destDir)) {
                counter = rowEnd;
                progress.setStepDone(counter);
                ++s.processed;
                ++s.transferred;
                continue;
            }
            QStringList names;
            for (const QString& source : {stem + kVminf, path, stem + QStringLiteral(".wav")}) {
                if (QFileInfo::exists(source)) {
                    names << QFileInfo(source).fileName();
                }
            }
            const auto sourceOf = [&](const QString& name) { return sourceDir + QLatin1Char('/') + name; };
            const auto destOf = [&](const QString& name) { return destDir + QLatin1Char('/') + name; };

            // Every file is looked at before the first one goes, so that a message is never left half moved by
            // what could have been known at the start.
            bool rowFailed = false;
            for (const QString& name : names) {
                QFile probe(sourceOf(name));
                if (!probe.open(QIODevice::ReadOnly)) {
                    rowFailed = true;
                    break;
                }
                probe.close();
                if (!CDiskSpace::fits(destDir, QFileInfo(sourceOf(name)).size(), m_freeSpace)) {
                    s.memory = true;
                    break;
                }
            }
            if (s.memory) {
                break;
            }
            if (rowFailed) {
                counter = rowEnd;
                progress.setStepDone(counter);
                ++s.failed;
                continue;
            }

            // A target that has some of the message's files but lacks others holds an interrupted copy, not a
            // message: what it lacks is added, and only its files that differ from the source's are asked about.
            QStringList present;
            for (const QString& name : names) {
                if (QFileInfo::exists(destOf(name))) {
                    present << name;
                }
            }
            const bool whole = present.size() == names.size();
            QStringList conflicts;
            for (const QString& name : present) {
                if (whole || !CFileCopy::SameContent(sourceOf(name), destOf(name))) {
                    conflicts << name;
                }
            }
            bool replace = overwriteAll;
            if (!conflicts.isEmpty() && !overwriteAll) {
                m_ui.dispatchPendingEvents(1);
                const OverwriteAnswer answer = m_ask ? m_ask(conflicts.first()) : OverwriteAnswer::No;
                if (answer == OverwriteAnswer::Cancel) {
                    s.stopped = true;
                    break;
                }
                replace = answer != OverwriteAnswer::No;
                overwriteAll = answer == OverwriteAnswer::All;
            }
            QStringList todo;
            for (const QString& name : names) {
                if (!present.contains(name) || (conflicts.contains(name) ? replace : kind == Kind::Move)) {
                    todo << name;
                }
            }
            // A move that may not replace a file of the target leaves the whole message where it is.
            if ((kind == Kind::Move && todo.size() != names.size()) || todo.isEmpty()) {
                counter = rowEnd;
                progress.setStepDone(counter);
                ++s.processed;
                continue;
            }

            const QString sourceRel = QDir(downloadFolder).relativeFilePath(sourceDir);
            const QString targetRel = QDir(downloadFolder).relativeFilePath(destDir);
            if (kind == Kind::Copy) {
                if (!copies.rows.isEmpty() && copies.sourceDir != sourceDir) {
                    commitCopies(copies, downloadFolder, s);
                }
                QStringList destinations;
                for (const QString& name : todo) {
                    m_ui.dispatchPendingEvents(1);
                    ++counter;
                    progress.setStepDone(counter);
                    // What may be replaced was settled above; a file that appeared meanwhile is not taken over.
                    if (!CFileCopy::CopyInto(sourceOf(name), destOf(name), present.contains(name), copies.files)) {
                        rowFailed = true;
                        break;
                    }
                    destinations << destOf(name);
                    if (m_poll && m_poll()) {
                        RequestCancel();
                    }
                    if (m_cancel != 0) {
                        break;
                    }
                }
                if (rowFailed || m_cancel != 0) {
                    // The message in hand is left out whole; the ones before it are whole and go in.
                    for (const QString& d : destinations) {
                        copies.files.drop(d);
                    }
                    commitCopies(copies, downloadFolder, s);
                    if (m_cancel != 0) {
                        progress.close();
                        s.cancelled = true;
                        cancelledOut = true;
                        break;
                    }
                    counter = rowEnd;
                    ++s.failed;
                    continue;
                }
                copies.sourceDir = sourceDir;
                copies.note.kind = CMoveJournal::Kind::Copy;
                copies.note.source = sourceRel;
                copies.note.target = targetRel;
                copies.note.files << todo;
                copies.rows << destinations;
                if (copies.rows.size() >= kCopyGroup) {
                    commitCopies(copies, downloadFolder, s);
                }
                counter = rowEnd;
                progress.setStepDone(counter);
                continue;
            }

            CMoveJournal::Entry note;
            note.kind = CMoveJournal::Kind::Move;
            note.source = sourceRel;
            note.target = targetRel;
            note.files = todo;
            if (!CMoveJournal::Begin(downloadFolder, note)) {
                counter = rowEnd;
                progress.setStepDone(counter);
                ++s.failed;
                continue;
            }
            // Both folders are synced once the message's files have gone, before the note goes.
            CDurableBatch moved;
            for (const QString& name : todo) {
                m_ui.dispatchPendingEvents(1);
                ++counter;
                progress.setStepDone(counter);
                const QString source = sourceOf(name);
                const QString destination = destOf(name);
                // What may be replaced was settled above; a file that appeared meanwhile is not taken over.
                const bool ok = CFileCopy::Move(source, destination, present.contains(name), &moved);
                CMoveJournal::Step();
                m_ui.dispatchPendingEvents(1);
                if (!ok) {
                    // A file that could not be read or written: the message is left out as a whole.
                    rowFailed = true;
                    break;
                }
                handled.append({source, destination});
                if (m_poll && m_poll()) {
                    RequestCancel();
                }
                if (m_cancel != 0) {
                    break;
                }
            }
            if (m_cancel != 0) {
                progress.close();
                undoMove(downloadFolder, handled);
                s.cancelled = true;
                cancelledOut = true;
                break;
            }
            if (rowFailed || !moved.syncFolders()) {
                undoMove(downloadFolder, handled);
                counter = rowEnd;
                ++s.failed;
                continue;
            }
            CMoveJournal::End(downloadFolder);
            counter = rowEnd;
            progress.setStepDone(counter);
            ++s.processed;
            ++s.transferred;
        }
        // The copies still waiting go in before the run reports.
        commitCopies(copies, downloadFolder, s);
        if (!cancelledOut) {
            if (!s.memory && m_cancel == 0) {
                progress.setStepDone(3 * n);
            }
            progress.close();
        }
    }
    m_ui.setMainWindowEnabled(true);
    m_ui.activateMainWindow();
    if (!cancelledOut) {
        // The folder is free before the last word: a person who leaves the message open holds up no other run.
        lock.release();
        QList<RESULT_MESSAGE> shown = ResultMessages(kind, s);
        // A completion says what it did and where to, as its question did.
        if (!shown.isEmpty() && shown.last().text == DoneText(kind)) {
            shown.last().text +=
                QLatin1Char('\n') +
                COperationTexts::DoneLine(kind == Kind::Move ? QStringLiteral("移動") : QStringLiteral("コピー"),
                                          s.selected, COperationTexts::TargetLabel(target));
        }
        RESULT_MESSAGE::ShowAll(m_ui, shown);
    }
    return s;
}

QList<RESULT_MESSAGE> CMsgCopy::ResultMessages(Kind kind, const Summary& s) {
    QList<RESULT_MESSAGE> out;
    if (s.cancelled || s.stopped || s.busy || s.selected == 0) {
        return out;
    }
    const auto error = [](const QString& text) {
        return RESULT_MESSAGE{text, COperationTexts::ErrorCaption(), MsgIcon::Exclamation};
    };
    const auto done = [kind](const QString& text) {
        return RESULT_MESSAGE{text, DoneCaption(kind), MsgIcon::Information};
    };
    const QString noVoice = CCommonTexts::VoiceNotDownloaded();
    if (s.selected == 1) {
        if (s.memory) {
            out << error(COperationTexts::NoDiskSpace());
        } else if (s.noVoice) {
            out << error(noVoice);
        }
    } else if (s.processed > 0) {
        if (s.noVoice) {
            out << done(kind == Kind::Move
                            ? QStringLiteral("一部の音声メッセージが移動ができませんでした\n(音声ファイルなし)。")
                            : QStringLiteral("一部の音声メッセージがコピーできませんでした\n(音声ファイルなし)。"));
        }
        if (s.memory) {
            out << done(kind == Kind::Move
                            ? QStringLiteral("一部の音声メッセージが移動ができませんでした\n(ＰＣのメモリ不足)。")
                            : QStringLiteral("一部の音声メッセージがコピーできませんでした\n(ＰＣのメモリ不足)。"));
        }
    } else {
        if (s.noVoice) {
            out << error(noVoice);
        }
        if (s.memory) {
            out << error(COperationTexts::NoDiskSpace());
        }
    }
    if (s.failed > 0) {
        out << error(FailedText(kind, s.failed));
    } else if (!s.memory && !s.noVoice) {
        out << done(s.transferred > 0 ? DoneText(kind) : NothingDoneText(kind));
    }
    return out;
}
