// The download operations of the unit link: whole boxes, and single voice files for the list.
#include "link/CFtpMng.h"

#include "link/CFtpListing.h"
#include "operations/CPrgFileDwnDlg.h"
#include "platform/CCancelFlag.h"
#include "platform/CDiskSpace.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"
#include "store/CRecordBuilder.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

// Files arrive under this name and become message files only when complete and given their record; the ".ini"
// keeps a leftover out of every message count.
const QString kReceiving = QStringLiteral(".kelda-receiving.ini");

QString companionOf(const QString& path) {
    if (path.endsWith(QLatin1String(".vmdat"))) {
        return path.left(path.size() - 6) + QLatin1String(".vminf");
    }
    if (path.endsWith(QLatin1String(".vminf"))) {
        return path.left(path.size() - 6) + QLatin1String(".vmdat");
    }
    return QString();
}

// Reports to the download progress window, when one is open.
class Reporter {
public:
    explicit Reporter(CUserInterface* ui) : m_dlg(ui ? ui->findProgress(CPrgFileDwnDlg::kTitle) : nullptr) {}
    void operator()(int report, long long value = 0) const {
        if (m_dlg) {
            m_dlg->post(report, value);
        }
    }

private:
    CProgressDlg* m_dlg;
};

// Calls the function for every non-empty normalised line of a listing, dispatching one pending event per
// character and polling the cancel flag per stored character. Returns false when the cancel flag ended the walk;
// the function returns false to stop the walk early.
template <typename Ui, typename F> bool forEachLine(const QString& text, Ui dispatch, F handle, bool* stopped) {
    QString line;
    *stopped = false;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        const QChar c = end ? QChar('\r') : text[i];
        if (!end) {
            dispatch();
        }
        if (c == '\r') {
            if (!line.isEmpty() && !handle(line)) {
                *stopped = true;
                return true;
            }
            line.clear();
            continue;
        }
        if (c == '\n' || c == '*' || c == '.') {
            continue;
        }
        if (CCancelFlag::value() == 1) {
            return false;
        }
        line += c;
    }
    return true;
}

// A name of the plain listing ("stem" + "vminf" without the dot) with its dot back; empty when it is no message.
QString nameFromPlainLine(const QString& line, const QString& ext) {
    if (!line.endsWith(ext)) {
        return QString();
    }
    const QString name = line.left(line.size() - ext.size()) + '.' + ext;
    return CFtpListing::isMessageName(name) ? name : QString();
}

} // namespace

int CFtpMng::DownloadBox(const QString& boxFolder, const QString& unitDirectory, int& lineCount) {
    lineCount = 0;
    if (!m_conn) {
        return -1;
    }
    pauseKeepAlive();
    const Reporter report(m_ui);
    const QString folder = boxFolder.isEmpty() ? programDirectory() : boxFolder;
    m_conn->localDirectory = folder;
    const auto finish = [this](int result) {
        resumeKeepAlive();
        return result;
    };

    QString text;
    qint64 byteLength = 0;
    const int listed = m_conn->ListLong(unitDirectory, FTPCONN_INFO::LIST_ALL, text, byteLength);
    if (listed == -2) {
        return finish(-2);
    }
    if (listed != 1) {
        return finish(-1);
    }
    if (CCancelFlag::value() == 1) {
        return finish(-3);
    }
    lineCount = CFtpListing::countLines(text, [] {});

    int M = 0;
    int last = 0;
    int end = 0;
    QString voice;         // the voice file of the message in hand
    QString lastHandled;   // the local file of the last line handled
    QSet<QString> fetched; // files this run wrote; only these are ever removed again
    const auto removeFetched = [&fetched](const QString& path) {
        if (fetched.contains(path)) {
            QFile::remove(path);
        }
    };
    const auto convert = [&](const QString& v) -> int {
        report(CPrgFileDwnDlg::Converting);
        const qint64 need = CDiskSpace::bytesNeeded(QFileInfo(v).size() * 16);
        if (CDiskSpace::freeBytes(folder) < need) {
            return -4;
        }
        return CFileMng::ConvertToWav(v, m_ui) == 1 ? 1 : 0;
    };

    bool stopped = false;
    const bool finished = forEachLine(
        text,
        [this] {
            if (m_ui)
                m_ui->dispatchPendingEvents(1);
        },
        [&](const QString& line) -> bool {
            const bool isVoice = line.contains(QLatin1String("vmdat"));
            if (!isVoice && !line.contains(QLatin1String("vminf"))) {
                return true;
            }
            const qint64 size = CFtpListing::longSize(line);
            const QString name = CFtpListing::longName(line);
            if (name.isEmpty()) {
                return true; // nothing that could be written safely under this folder
            }
            const QString local = CFileMng::Join(folder, name);
            if (CDiskSpace::freeBytes(folder) < CFtpListing::spaceNeeded(size)) {
                end = -4;
                return false;
            }
            if (isVoice) {
                report(CPrgFileDwnDlg::FileSize, size / 1024);
            }
            lastHandled = local;
            if (CFileMng::FileExists(local)) {
                if (isVoice) {
                    report(CPrgFileDwnDlg::Position, 95);
                    voice = local;
                } else {
                    report(CPrgFileDwnDlg::Position, -1);
                    if (m_convertOnDownload && !voice.isEmpty()) {
                        const int c = convert(voice);
                        voice.clear();
                        if (c != 1) {
                            end = c == -4 ? -4 : -2;
                            return false;
                        }
                    }
                }
            } else {
                const QString receiving = CFileMng::Join(folder, kReceiving);
                int r = m_conn->Retrieve(name, kReceiving, isVoice, false, sizeof(FILESTS_INFO));
                // A unit that cuts a file short may still close the transfer with 226; only the listed size tells.
                // More than listed is a file still being recorded and is kept.
                if (r == 0 && QFileInfo(receiving).size() - qint64(sizeof(FILESTS_INFO)) < size) {
                    r = -1;
                }
                last = r;
                if (r == 0) {
                    report(CPrgFileDwnDlg::Position, -1);
                    if (CRecordBuilder::BuildIntoHeadroom(receiving, local) != CRecordBuilder::Written) {
                        QFile::remove(receiving);
                        removeFetched(companionOf(local));
                        end = -1;
                        return false;
                    }
                    fetched.insert(local);
                    if (isVoice) {
                        if (m_convertOnDownload) {
                            voice = local;
                        }
                    } else if (m_convertOnDownload && !voice.isEmpty()) {
                        const int c = convert(voice);
                        if (c != 1) {
                            if (c != -4) {
                                removeFetched(voice);
                                removeFetched(companionOf(voice));
                            }
                            voice.clear();
                            end = c == -4 ? -4 : -3;
                            return false;
                        }
                        voice.clear();
                    }
                } else if (r == -2) {
                    QFile::remove(receiving);
                    removeFetched(companionOf(local));
                    end = -3;
                    return false;
                } else if (r == 550) {
                    M = 1;
                    report(CPrgFileDwnDlg::Position, -1);
                    return true;
                } else {
                    QFile::remove(receiving);
                    removeFetched(companionOf(local));
                    end = -1;
                    return false;
                }
            }
            if (!isVoice) {
                report(CPrgFileDwnDlg::Downloading);
                report(CPrgFileDwnDlg::NextMessage);
            }
            return true;
        },
        &stopped);

    if (!finished) {
        // Cancelled between files: a message that is only half here is removed again.
        if (!lastHandled.isEmpty() && !CFileMng::FileExists(companionOf(lastHandled))) {
            removeFetched(lastHandled);
        }
        return finish(-3);
    }
    if (stopped) {
        return finish(end);
    }
    return finish(M == 1 ? 550 : last);
}

int CFtpMng::DownloadBoxInfo(const QString& boxFolder, const QString& unitDirectory, int& lineCount) {
    lineCount = 0;
    if (!m_conn) {
        return -1;
    }
    pauseKeepAlive();
    const Reporter report(m_ui);
    const QString folder = boxFolder.isEmpty() ? programDirectory() : boxFolder;
    m_conn->localDirectory = folder;
    const auto finish = [this](int result) {
        resumeKeepAlive();
        return result;
    };

    QString text;
    const int listed = m_conn->ListNames(unitDirectory, FTPCONN_INFO::LIST_VMINF, text);
    if (listed == -2) {
        return finish(-2);
    }
    if (listed != 1) {
        return finish(-1);
    }
    lineCount = CFtpListing::countLines(text, [] {});

    int M = 0;
    int last = 0;
    int end = 0;
    bool stopped = false;
    const bool finished = forEachLine(
        text,
        [this] {
            if (m_ui)
                m_ui->dispatchPendingEvents(1);
        },
        [&](const QString& line) -> bool {
            if (!line.contains(QLatin1String("vminf"))) {
                return true;
            }
            const QString name = nameFromPlainLine(line, QStringLiteral("vminf"));
            if (name.isEmpty()) {
                return true;
            }
            const QString local = CFileMng::Join(folder, name);
            if (CDiskSpace::freeBytes(folder) < 4096) {
                end = -4;
                return false;
            }
            if (!CFileMng::FileExists(local)) {
                const QString receiving = CFileMng::Join(folder, kReceiving);
                const int r = m_conn->Retrieve(name, kReceiving, true, true, sizeof(FILESTS_INFO));
                last = r;
                if (r == -2) {
                    QFile::remove(receiving);
                    end = -3;
                    return false;
                }
                if (r == 550) {
                    M = 1;
                } else if (r != 0 || CRecordBuilder::BuildIntoHeadroom(receiving, local) != CRecordBuilder::Written) {
                    QFile::remove(receiving);
                    end = -1;
                    return false;
                }
            }
            report(CPrgFileDwnDlg::FileStep);
            return true;
        },
        &stopped);
    if (!finished) {
        return finish(-3);
    }
    if (stopped) {
        return finish(end);
    }
    return finish(M == 1 ? 550 : last);
}

int CFtpMng::FindVoiceSize(const QString& unitDirectory, const QString& boxFolder, const QString& name,
                           qint64& spaceNeeded) {
    if (!m_conn) {
        return -1;
    }
    pauseKeepAlive();
    m_conn->localDirectory = boxFolder.isEmpty() ? programDirectory() : boxFolder;
    QString dotless = name;
    if (dotless.size() > CFtpListing::kStemLength) {
        dotless.remove(CFtpListing::kStemLength, 1);
    }
    QString text;
    qint64 byteLength = 0;
    const int listed = m_conn->ListLong(unitDirectory, FTPCONN_INFO::LIST_VMDAT, text, byteLength);
    int result = listed == -2 ? -2 : -1;
    if (listed == 1) {
        result = 0;
        QString line;
        for (qsizetype i = 0; i <= text.size() && result == 0; ++i) {
            const bool end = i == text.size();
            const QChar c = end ? QChar('\r') : text[i];
            if (!end && m_ui) {
                m_ui->dispatchPendingEvents(1);
            }
            if (c == '\r') {
                if (!line.isEmpty() && line.contains(dotless)) {
                    spaceNeeded = CFtpListing::spaceNeeded(CFtpListing::longSize(line));
                    result = 1;
                }
                line.clear();
            } else if (c != '\n' && c != '*' && c != '.') {
                line += c;
            }
        }
    }
    resumeKeepAlive();
    return result;
}

int CFtpMng::DownloadVoice(const QString& unitPath, const QString& boxFolder, const QString& name) {
    if (!m_conn) {
        return -1;
    }
    if (!CFtpListing::isMessageName(name)) {
        return -1;
    }
    pauseKeepAlive();
    const Reporter report(m_ui);
    const QString folder = boxFolder.isEmpty() ? programDirectory() : boxFolder;
    m_conn->localDirectory = folder;
    const QString local = CFileMng::Join(folder, name);
    const auto finish = [this](int result) {
        resumeKeepAlive();
        return result;
    };

    // The unit's copy arrives under the receiving name and becomes the message file only when complete and given
    // its record. A voice file already here, with the record the user may have edited, is never touched: it stays
    // as it was whatever happens to the transfer, and so does any file the user keeps beside it.
    const bool kept = CFileMng::FileExists(local);
    const QString receiving = CFileMng::Join(folder, kReceiving);
    const int r = m_conn->Retrieve(unitPath, kReceiving, true, false, sizeof(FILESTS_INFO));
    if (r != 0) {
        QFile::remove(receiving);
        return finish(r == -2 ? -3 : r);
    }
    report(CPrgFileDwnDlg::Position, -1);
    if (kept) {
        QFile::remove(receiving);
    } else if (CRecordBuilder::BuildIntoHeadroom(receiving, local) != CRecordBuilder::Written) {
        // Never a success without the record: the raw file would be listed as a message of garbage.
        const qint64 size = QFileInfo(receiving).size();
        QFile::remove(receiving);
        return finish(CDiskSpace::freeBytes(folder) < CDiskSpace::bytesNeeded(size) ? -4 : -1);
    }
    report(CPrgFileDwnDlg::Position, -1);
    if (m_ui) {
        for (int i = 0; i < 10; ++i) {
            m_ui->dispatchPendingEvents(1);
            m_ui->sleepMs(1);
        }
    }
    if (m_convertOnDownload) {
        report(CPrgFileDwnDlg::Converting);
        const qint64 need = CDiskSpace::bytesNeeded(QFileInfo(local).size() * 16);
        if (CDiskSpace::freeBytes(folder) < need) {
            return finish(-4);
        }
        if (CFileMng::ConvertToWav(local, m_ui) != 1) {
            if (!kept) {
                QFile::remove(local);
            }
            return finish(-3);
        }
    }
    return finish(0);
}
