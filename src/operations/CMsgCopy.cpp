#include "operations/CMsgCopy.h"

#include "operations/COperationTexts.h"
#include "operations/CPrgMsgCopyDlg.h"
#include "platform/CDiskSpace.h"
#include "platform/CUserInterface.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QLatin1String kVmdat(".vmdat");
const QLatin1String kVminf(".vminf");

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool copyContent(int in, int out) {
    // In the kernel when it can; a plain read and write loop otherwise (or after a partial start, from where it
    // stopped, since both offsets moved along).
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
                return false;
            }
            break;
        }
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        if (!writeAll(out, buffer, static_cast<size_t>(n))) {
            return false;
        }
    }
}

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
    const QByteArray src = QFile::encodeName(source);
    const QByteArray dst = QFile::encodeName(destination);
    if (!replace && QFileInfo::exists(destination)) {
        return false;
    }
    const int in = ::open(src.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    struct stat st;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(destination).path());
    if (!replace) {
        // A file without a name, named once it is whole: linking it refuses a name that exists meanwhile.
        const int out = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, st.st_mode & 07777);
        if (out >= 0) {
            bool ok = copyContent(in, out) && ::fchmod(out, st.st_mode & 07777) == 0;
            if (ok) {
                const QByteArray self = "/proc/self/fd/" + QByteArray::number(out);
                ok = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, dst.constData(), AT_SYMLINK_FOLLOW) == 0;
            }
            ok = ::close(out) == 0 && ok;
            ::close(in);
            return ok;
        }
        // File systems without unnamed files go the way of a replacement, through a temporary name.
    }
    // The ".ini" ending keeps a file left behind by a crash out of the list, as the store's own temporary files.
    QByteArray temp = folder + "/.kelda-copy-XXXXXX.ini";
    const int out = ::mkstemps(temp.data(), 4);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = copyContent(in, out);
    ok = ::fchmod(out, st.st_mode & 07777) == 0 && ok;
    ok = ::close(out) == 0 && ok;
    ::close(in);
    if (ok && !replace) {
        // Without replace a destination that appeared meanwhile is not taken over.
        if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0) {
            return true;
        }
        ok = (errno == EINVAL || errno == ENOSYS) && !QFileInfo::exists(destination) &&
             ::rename(temp.constData(), dst.constData()) == 0;
    } else if (ok) {
        ok = ::rename(temp.constData(), dst.constData()) == 0;
    }
    if (!ok) {
        ::unlink(temp.constData());
    }
    return ok;
}

QString CMsgCopy::DoneText(int kind) {
    return kind == Move ? QStringLiteral("音声メッセージの移動が正常に完了しました。")
                        : QStringLiteral("音声メッセージのコピーが正常に完了しました。");
}

QString CMsgCopy::DoneCaption(int kind) {
    return kind == Move ? QStringLiteral("移動完了") : QStringLiteral("コピー完了");
}

QString CMsgCopy::FailedText(int kind, int count) {
    return (kind == Move ? QStringLiteral("%1件の音声メッセージが移動できませんでした\n(ファイル読み書き不可)。")
                         : QStringLiteral("%1件の音声メッセージがコピーできませんでした\n(ファイル読み書き不可)。"))
        .arg(count);
}

void CMsgCopy::undo(int kind, const QList<Handled>& files) {
    for (const Handled& h : files) {
        if (!QFileInfo::exists(h.destination)) {
            continue;
        }
        if (kind == Copy) {
            QFile::remove(h.destination);
        } else {
            ::rename(QFile::encodeName(h.destination).constData(), QFile::encodeName(h.source).constData());
        }
    }
}

CMsgCopy::Summary CMsgCopy::Run(int kind, const QString& target, const std::vector<FILESTS_INFO>& rows,
                                const QString& downloadFolder) {
    Summary s;
    s.selected = static_cast<int>(rows.size());
    const int n = s.selected;
    m_ui.setMainWindowEnabled(false);
    const QString destDir = QDir::cleanPath(downloadFolder + QLatin1Char('/') + target);
    m_cancel = 0;
    bool overwriteAll = false;
    int counter = 1;
    QList<Handled> handled;
    bool cancelledOut = false;
    {
        CPrgMsgCopyDlg progress(m_ui, kind == Move, n, [this] { RequestCancel(); });
        m_ui.dispatchPendingEvents(-1);
        for (const FILESTS_INFO& rec : rows) {
            m_ui.dispatchPendingEvents(1);
            bool overwriteRow = false;
            handled.clear();
            const QString path = FILESTS_INFO::text(rec.filePath);
            const QString stem = path.left(path.size() - kVmdat.size());
            if (!path.endsWith(kVmdat) || !QFileInfo::exists(path) || !QFileInfo::exists(stem + kVminf)) {
                ++counter;
                progress.post(PRG_POSITION, counter);
                s.noVoice = true;
                continue;
            }
            // A message already in the target box stays as it is: copying it onto itself would cut it, and
            // replacing "the destination" of a move would delete the message itself.
            if (sameFolder(QFileInfo(path).path(), destDir)) {
                counter += 3;
                progress.post(PRG_POSITION, counter);
                ++s.processed;
                continue;
            }
            bool rowFailed = false;
            bool leaveLoop = false;
            for (const QString& source : {stem + kVminf, path, stem + QStringLiteral(".wav")}) {
                m_ui.dispatchPendingEvents(1);
                ++counter;
                progress.post(PRG_POSITION, counter);
                const QFileInfo info(source);
                if (!info.exists()) {
                    continue;
                }
                QFile probe(source);
                if (!probe.open(QIODevice::ReadOnly)) {
                    rowFailed = true;
                    break;
                }
                probe.close();
                if (CDiskSpace::freeBytes(destDir) < CDiskSpace::bytesNeeded(info.size())) {
                    s.memory = true;
                    leaveLoop = true;
                    break;
                }
                const QString destination = destDir + QLatin1Char('/') + info.fileName();
                const auto transfer = [&](bool replace) {
                    if (kind == Copy) {
                        return CopyFile(source, destination, replace);
                    }
                    if (!replace && QFileInfo::exists(destination)) {
                        return false;
                    }
                    return ::rename(QFile::encodeName(source).constData(),
                                    QFile::encodeName(destination).constData()) == 0;
                };
                m_ui.dispatchPendingEvents(1);
                const bool replace = overwriteAll || overwriteRow;
                bool ok = transfer(replace);
                m_ui.dispatchPendingEvents(1);
                if (!ok && !replace && QFileInfo::exists(destination)) {
                    OverwriteAnswer answer = OverwriteAnswer::No;
                    if (m_ask) {
                        answer = m_ask(info.fileName());
                    }
                    if (answer == OverwriteAnswer::Cancel) {
                        s.stopped = true;
                        leaveLoop = true;
                        break;
                    }
                    if (answer == OverwriteAnswer::No) {
                        break;
                    }
                    overwriteRow = true;
                    overwriteAll = overwriteAll || answer == OverwriteAnswer::All;
                    ok = transfer(true);
                }
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
                    progress.close();
                    undo(kind, handled);
                    s.cancelled = true;
                    cancelledOut = true;
                    break;
                }
            }
            if (cancelledOut || leaveLoop) {
                break;
            }
            if (rowFailed) {
                undo(kind, handled);
                ++s.failed;
                continue;
            }
            ++s.processed;
        }
        if (!cancelledOut) {
            if (s.memory) {
                undo(kind, handled);
            } else if (m_cancel == 0) {
                progress.post(PRG_POSITION, 3 * n);
            }
            progress.close();
        }
    }
    m_ui.setMainWindowEnabled(true);
    m_ui.activateMainWindow();
    if (!cancelledOut) {
        RESULT_MESSAGE::ShowAll(m_ui, ResultMessages(kind, s));
    }
    return s;
}

QList<RESULT_MESSAGE> CMsgCopy::ResultMessages(int kind, const Summary& s) {
    QList<RESULT_MESSAGE> out;
    if (s.cancelled || s.stopped || s.selected == 0) {
        return out;
    }
    const auto error = [](const QString& text) {
        return RESULT_MESSAGE{text, COperationTexts::ErrorCaption(), MsgIcon::Exclamation};
    };
    const auto done = [kind](const QString& text) {
        return RESULT_MESSAGE{text, DoneCaption(kind), MsgIcon::Information};
    };
    const QString noVoice = QStringLiteral("音声ファイルがダウンロードされていません。");
    if (s.selected == 1) {
        if (s.memory) {
            out << error(COperationTexts::NoDiskSpace());
        } else if (s.noVoice) {
            out << error(noVoice);
        }
    } else if (s.processed > 0) {
        if (s.noVoice) {
            out << done(kind == Move
                            ? QStringLiteral("一部の音声メッセージが移動ができませんでした\n(音声ファイルなし)。")
                            : QStringLiteral("一部の音声メッセージがコピーできませんでした\n(音声ファイルなし)。"));
        }
        if (s.memory) {
            out << done(kind == Move
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
        out << done(DoneText(kind));
    }
    return out;
}
