#include "operations/CUnitCompare.h"

#include "link/CFtpListing.h"
#include "link/CFtpMng.h"
#include "operations/CMsgDelete.h"
#include "platform/CCancelFlag.h"
#include "store/BoxKind.h"
#include "store/CFileMng.h"
#include "store/CPcDeletions.h"

#include <QFileInfo>

namespace {

using Kind = CHECK_FINDING::Kind;

const QString kVmdat = QStringLiteral(".vmdat");
const QString kVminf = QStringLiteral(".vminf");

} // namespace

UnitResult CUnitCompare::ListBox(CFtpMng& ftp, const QString& unitDirectory, UnitBox& box) {
    box.directory = unitDirectory;
    box.sizes.clear();
    FTPCONN_INFO* conn = ftp.Connection();
    if (!conn) {
        return UnitResult::CommFailure;
    }
    ftp.pauseKeepAlive();
    QString text;
    qint64 bytes = 0;
    const UnitReply listed = conn->ListLong(unitDirectory, CUnitBoxOps::Files::All, text, bytes);
    ftp.resumeKeepAlive();
    if (CCancelFlag::value() == 1) {
        return UnitResult::Cancelled;
    }
    if (listed.result == UnitResult::NoBoxDirectory) {
        return UnitResult::NotListed;
    }
    if (listed.result != UnitResult::Done) {
        return UnitResult::CommFailure;
    }
    for (const QString& line : CFtpListing::normalisedLines(text)) {
        const QString name = CFtpListing::longName(line);
        if (!name.isEmpty()) {
            box.sizes.insert(name, CFtpListing::longSize(line));
        }
    }
    return UnitResult::Done;
}

CUnitCompare::Outcome CUnitCompare::Run(CFtpMng& ftp, const QString& downloadFolder, CFolderCheck::Report& report) {
    QString root;
    QString rusuroku;
    QString naisen;
    if (ftp.GetUnitTree(root, rusuroku, naisen).result != UnitResult::Done) {
        return CCancelFlag::value() == 1 ? Outcome::Cancelled : Outcome::CommFailure;
    }
    // Local voice files the check found cut, by path: they are fetched again, not reported a second time.
    QHash<QString, CHECK_FINDING*> cut;
    for (CHECK_FINDING& f : report.findings) {
        if (f.kind == Kind::Cut && f.path.endsWith(kVmdat)) {
            cut.insert(f.path, &f);
        }
    }
    std::vector<CHECK_FINDING> found;
    const QSet<QString> deletedOnPc = CPcDeletions::Read(downloadFolder);
    for (const auto& [kind, text] : {std::pair{boxKindDir(BoxKind::AnsweringMachine), rusuroku},
                                     std::pair{boxKindDir(BoxKind::Extension), naisen}}) {
        for (const QString& boxNo : CFtpListing::boxNumbers(text)) {
            UnitBox box;
            const UnitResult listed = ListBox(ftp, QStringLiteral("/%1/%2").arg(kind, boxNo), box);
            if (listed == UnitResult::Cancelled) {
                return Outcome::Cancelled;
            }
            if (listed == UnitResult::NotListed) {
                continue; // gone since the tree was listed
            }
            if (listed != UnitResult::Done) {
                return Outcome::CommFailure;
            }
            const QString localBox = CFileMng::Join(CFileMng::Join(downloadFolder, kind), boxNo);
            QStringList stems;
            for (auto it = box.sizes.cbegin(); it != box.sizes.cend(); ++it) {
                const QString stem = it.key().left(CFtpListing::kStemLength);
                if (!stems.contains(stem)) {
                    stems << stem;
                }
            }
            stems.sort();
            for (const QString& stem : stems) {
                // A message is on the unit while its recording information is (as the download lists it): voice
                // data left behind by a deletion is no message to fetch back.
                if (!box.sizes.contains(stem + kVminf)) {
                    continue;
                }
                const bool unitVoice = box.sizes.contains(stem + kVmdat);
                const qint64 listedSize = box.sizes.value(stem + kVmdat, -1);
                const QString unitVoicePath = box.directory + QLatin1Char('/') + stem + kVmdat;
                const auto local = report.byStem.constFind(stem);
                CHECK_FINDING f;
                if (local == report.byStem.cend() && deletedOnPc.contains(stem)) {
                    // Deleted on the PC on purpose: the download leaves it on the unit, and so does the check.
                    ++report.deletedOnPc;
                    continue;
                }
                if (local == report.byStem.cend()) {
                    f.kind = Kind::NotOnPc;
                    f.path = CFileMng::Join(localBox, stem + (unitVoice ? kVmdat : kVminf));
                    f.problem = QStringLiteral("ZUNOにあるメッセージがPCにありません");
                    f.repairable = unitVoice;
                    f.advice = QFileInfo(localBox).isDir()
                                   ? (unitVoice ? QStringLiteral("--repair で音声データを取り込みます")
                                                : QStringLiteral("kelda-cli download を実行してください"))
                                   : QStringLiteral("kelda-cli folder-download と download を実行してください");
                } else if (unitVoice && !local->voice) {
                    f.kind = Kind::InfoOnlyOnPc;
                    f.path = CFileMng::Join(local->boxFolder, stem + kVminf);
                    f.problem = QStringLiteral("PCには録音情報だけがあり、ZUNOには音声データがあります");
                    f.advice = QStringLiteral("--repair (または voice-download) で音声データを取り込みます");
                    f.repairable = true;
                } else if (unitVoice) {
                    const QString localVoice = CFileMng::Join(local->boxFolder, stem + kVmdat);
                    if (CHECK_FINDING* c = cut.value(localVoice)) {
                        c->unitPath = unitVoicePath;
                        c->listedSize = listedSize;
                        continue;
                    }
                    if (local->voiceSize < 0 || local->voiceSize - FILESTS_INFO::SIZE >= listedSize) {
                        continue;
                    }
                    f.kind = Kind::ShorterThanUnit;
                    f.path = localVoice;
                    f.problem = QStringLiteral("音声データがZUNOの%1バイトより短い%2バイトです")
                                    .arg(listedSize)
                                    .arg(local->voiceSize - FILESTS_INFO::SIZE);
                    f.advice = QStringLiteral("--repair でZUNOから取り直します");
                    f.repairable = true;
                } else {
                    continue;
                }
                f.unitPath = unitVoice ? unitVoicePath : QString();
                f.listedSize = listedSize;
                found.push_back(std::move(f));
            }
        }
    }
    for (CHECK_FINDING& f : found) {
        report.findings.push_back(std::move(f));
    }
    return Outcome::Done;
}

std::vector<CUnitCompare::Unverified> CUnitCompare::KeepVerified(CFtpMng& ftp, std::vector<FILESTS_INFO>& rows) {
    std::vector<Unverified> out;
    QHash<QString, CFolderCheck::Report> checked; // by box folder
    QHash<QString, UnitBox> listed;               // by unit box directory
    QHash<QString, UnitResult> listResults;
    std::vector<FILESTS_INFO> kept;
    for (const FILESTS_INFO& row : rows) {
        const QString file = FILESTS_INFO::text(row.filePath);
        const QFileInfo info(file);
        const QString stem = info.fileName().left(CFtpListing::kStemLength);
        const auto refuse = [&](const QString& reason) { out.push_back({file, reason}); };
        if (!file.endsWith(kVmdat)) {
            refuse(QStringLiteral("PCには録音情報だけがあります"));
            continue;
        }
        const QString folder = info.path();
        if (!checked.contains(folder)) {
            CFolderCheck::Report r;
            r.indexMessages = true;
            CFolderCheck::CheckBoxFolder(folder, r);
            checked.insert(folder, r);
        }
        const CFolderCheck::Report& r = checked[folder];
        const auto local = r.byStem.constFind(stem);
        if (local == r.byStem.cend() || !local->voice) {
            refuse(QStringLiteral("PCに音声ファイルがありません"));
            continue;
        }
        if (!local->voiceSound) {
            refuse(QStringLiteral("PCの音声ファイルが点検に通りません (kelda-cli verify で確かめてください)"));
            continue;
        }
        const CMsgDelete::UnitTarget target = CMsgDelete::UnitTargetOf(file);
        const QString unitDir = target.path.section(QLatin1Char('/'), 0, -2);
        if (!listResults.contains(unitDir)) {
            UnitBox box;
            listResults.insert(unitDir, ListBox(ftp, unitDir, box));
            listed.insert(unitDir, box);
        }
        if (listResults[unitDir] != UnitResult::Done) {
            refuse(QStringLiteral("ZUNOの%1を一覧できません").arg(unitDir));
            continue;
        }
        const qint64 unitSize = listed[unitDir].sizes.value(stem + kVmdat, -1);
        if (unitSize < 0) {
            refuse(QStringLiteral("ZUNOの%1に音声データがありません").arg(unitDir));
            continue;
        }
        if (local->voiceSize - FILESTS_INFO::SIZE != unitSize) {
            refuse(QStringLiteral("PCの音声データ(%1バイト)がZUNOの%2バイトと違います")
                       .arg(local->voiceSize - FILESTS_INFO::SIZE)
                       .arg(unitSize));
            continue;
        }
        kept.push_back(row);
    }
    rows.swap(kept);
    return out;
}
