#include "operations/CFolderRepair.h"

#include "link/CFtpMng.h"
#include "operations/CFolderCheck.h"
#include "platform/CCancelFlag.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

using Kind = CHECK_FINDING::Kind;

const QString kReconverted = QStringLiteral("音声データからWAVファイルを変換し直しました");
const QString kNotReconverted = QStringLiteral("WAVファイルを変換し直せません");

bool fetchesVoice(Kind k) {
    return k == Kind::Cut || k == Kind::InfoOnlyOnPc || k == Kind::ShorterThanUnit || k == Kind::NotOnPc;
}

QString swapSuffix(const QString& path, const QString& to) {
    return path.left(path.size() - 6) + to;
}

QString fetchText(UnitResult r) {
    switch (r) {
    case UnitResult::Done:
        return QStringLiteral("ZUNOから取り直しました");
    case UnitResult::FileGoneOnUnit:
        return QStringLiteral("取り直せません: ZUNOで既に消去されています");
    case UnitResult::NoDiskSpace:
        return QStringLiteral("取り直せません: ＰＣのメモリ不足です");
    case UnitResult::Cancelled:
        return QStringLiteral("取り直しを中止しました");
    default:
        return QStringLiteral("取り直せません: 通信エラーが発生しました");
    }
}

} // namespace

std::vector<CFolderRepair::Action> CFolderRepair::Run(CUserInterface* ui, CFtpMng* ftp, const QString& downloadFolder,
                                                      const std::vector<CHECK_FINDING>& findings) {
    std::vector<Action> actions;
    CFolderLock lock;
    if (lock.acquire(downloadFolder, ui ? ui->busyFolderWaitMs() : 0, ui) == CFolderLock::State::Busy) {
        actions.push_back({downloadFolder, CFolderLock::BusyText().replace(QLatin1Char('\n'), QString()), false});
        return actions;
    }
    CCancelFlag::clear();
    QSet<QString> converted;
    QSet<QString> fetched;
    const bool convertBefore = ftp && ftp->convertOnDownload();
    if (ftp) {
        ftp->setConvertOnDownload(false);
    }

    // Voice data first: a WAV file is then made from the voice file as it now is.
    for (const CHECK_FINDING& f : findings) {
        if (!f.repairable || !fetchesVoice(f.kind)) {
            continue;
        }
        const QString voice =
            f.path.endsWith(QLatin1String(".vmdat")) ? f.path : swapSuffix(f.path, QStringLiteral(".vmdat"));
        if (fetched.contains(voice)) {
            continue;
        }
        if (!ftp || f.unitPath.isEmpty()) {
            actions.push_back(
                {voice, QStringLiteral("取り直せません: ZUNOにログインして(kelda-cliでは --unit)点検し直してください"),
                 false});
            continue;
        }
        const QFileInfo info(voice);
        if (!QFileInfo(info.path()).isDir()) {
            actions.push_back({voice,
                               QStringLiteral("取り込めません: ボックスフォルダがありません(kelda-cli folder-download "
                                              "で作ってください)"),
                               false});
            continue;
        }
        if (CCancelFlag::value() == 1) {
            actions.push_back({voice, fetchText(UnitResult::Cancelled), false});
            continue;
        }
        const UnitResult r = ftp->DownloadVoice(f.unitPath, info.path(), info.fileName(), f.listedSize);
        actions.push_back({voice, fetchText(r), r == UnitResult::Done});
        if (r != UnitResult::Done) {
            continue;
        }
        fetched.insert(voice);
        const QString wav = swapSuffix(voice, QStringLiteral(".wav"));
        if (QFileInfo::exists(wav) && !CFolderCheck::WavMatchesVoice(voice)) {
            const bool ok = CFileMng::ConvertToWav(voice, ui, nullptr);
            actions.push_back({wav, ok ? kReconverted : kNotReconverted, ok});
            converted.insert(wav);
        }
    }
    if (ftp) {
        ftp->setConvertOnDownload(convertBefore);
    }

    for (const CHECK_FINDING& f : findings) {
        if (!f.repairable || (f.kind != Kind::WavIncomplete && f.kind != Kind::WavMismatch) ||
            converted.contains(f.path)) {
            continue;
        }
        const QString voice = f.path.left(f.path.size() - 4) + QLatin1String(".vmdat");
        if (fetched.contains(voice) && CFolderCheck::WavMatchesVoice(voice)) {
            continue; // the voice file fetched again is the one the WAV file was made from
        }
        const bool ok = CFileMng::ConvertToWav(voice, ui, nullptr);
        actions.push_back({f.path, ok ? kReconverted : kNotReconverted, ok});
        converted.insert(f.path);
    }

    for (const CHECK_FINDING& f : findings) {
        if (!f.repairable || f.kind != Kind::Leftover) {
            continue;
        }
        const bool ok = QFile::remove(f.path);
        actions.push_back(
            {f.path, ok ? QStringLiteral("一時ファイルを消去しました") : QStringLiteral("一時ファイルを消去できません"),
             ok});
    }
    return actions;
}
