#include "cli/CCliCommands.h"

#include "admin/CCsvExport.h"
#include "admin/CFolderDwnLogic.h"
#include "cli/CCliListFilter.h"
#include "cli/CConsoleUi.h"
#include "link/CFtpMng.h"
#include "link/CLinkSettings.h"
#include "link/CLoginForm.h"
#include "list/CBoxSelection.h"
#include "list/CListModel.h"
#include "operations/CBoxDownload.h"
#include "operations/CDownKindSetLogic.h"
#include "operations/COperationTexts.h"
#include "operations/CSelDownLogic.h"
#include "operations/CVoiceDownload.h"
#include "platform/CProgressDlg.h"
#include "shell/CKELDADoc.h"
#include "store/BoxKind.h"
#include "store/CDurableFile.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "voice/CVoiceCommands.h"
#include "voice/CVoiceMeasureCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

namespace {

// Writes to standard output and flushes. False, after a message on stderr, when not every byte got there (a full
// disk, a closed stream, /dev/full): a cut listing must never pass for a whole one.
bool writeOut(CConsoleUi& ui, const QByteArray& bytes) {
    errno = 0;
    const size_t n = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    if (n == static_cast<size_t>(bytes.size()) && std::fflush(stdout) == 0 && !std::ferror(stdout)) {
        return true;
    }
    const int error = errno;
    ui.note(QStringLiteral("kelda-cli: cannot write to standard output (%1 of %2 bytes): %3")
                .arg(n)
                .arg(bytes.size())
                .arg(QString::fromLocal8Bit(std::strerror(error != 0 ? error : EIO))));
    return false;
}

// One line per field and per row: breaks and tabs inside a text would start a new one.
QString oneLine(QString text) {
    for (QChar& c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

QStringList boxNames(const QString& kindFolder) {
    QStringList folders;
    CFileMng::ListSubfolders(kindFolder, folders);
    QStringList names;
    for (const QString& f : folders) {
        names << QFileInfo(f).fileName();
    }
    return names;
}

// The settings block as the desktop program has it with DIR as the current folder.
void pointAt(CKELDADoc& doc, const QString& dir) {
    const QFileInfo info(dir);
    doc.folder = info.path().endsWith(QLatin1Char('/')) ? info.path() : info.path() + QLatin1Char('/');
    doc.folderName = info.fileName();
    doc.loggedIn = 1;
}

} // namespace

CCliCommands::CCliCommands(const CCliArgs& args, CConsoleUi& ui)
    : m_args(args), m_ui(ui), m_ftp(std::make_unique<CFtpMng>(&ui)) {}

CCliCommands::~CCliCommands() {
    if (m_loggedIn) {
        m_ftp->Quit();
    }
}

int CCliCommands::run() {
    const QString& c = m_args.command;
    m_entry = CCliCommandTable::find(c);
    if (m_args.given.contains(QStringLiteral("wait"))) {
        bool ok = false;
        const int seconds = m_args.values.value(QStringLiteral("wait")).toInt(&ok);
        if (!ok || seconds < 0 || seconds > 86400) {
            return usage(QStringLiteral("--wait needs a number of seconds (0 to 86400)"));
        }
        m_ui.setBusyFolderWaitMs(seconds * 1000);
    }
    if (m_entry) {
        return m_entry->run(*this);
    }
    return usage(c.isEmpty() ? QStringLiteral("no command given") : QStringLiteral("unknown command %1").arg(c));
}

const QStringList& CCliCommands::unitOptions() {
    static const QStringList options{QStringLiteral("unit"), QStringLiteral("port"), QStringLiteral("user"),
                                     QStringLiteral("password-file")};
    return options;
}

int CCliCommands::usage(const QString& problem) {
    m_ui.note(QStringLiteral("kelda-cli: %1 (see kelda-cli %2--help)")
                  .arg(problem, m_entry ? m_args.command + QLatin1Char(' ') : QString()));
    return Usage;
}

bool CCliCommands::onlyOptions() {
    return onlyOptions(m_entry->options);
}

bool CCliCommands::onlyOptions(const QStringList& allowed) {
    for (const QString& name : m_args.given) {
        if (!allowed.contains(name)) {
            usage(QStringLiteral("%1 takes no --%2").arg(m_args.command, name));
            return false;
        }
    }
    return true;
}

QString CCliCommands::downloadFolder(Missing missing) {
    if (m_args.operands.isEmpty()) {
        usage(QStringLiteral("%1 needs a download folder DIR").arg(m_args.command));
        return QString();
    }
    const QFileInfo info(m_args.operands.first());
    if (!info.isDir() && (missing == Missing::Refuse || info.exists())) {
        usage(QStringLiteral("%1 is not a folder").arg(m_args.operands.first()));
        return QString();
    }
    const QString dir = QDir::cleanPath(info.absoluteFilePath());
    if (!info.exists() && !QFileInfo(QFileInfo(dir).absolutePath()).isDir()) {
        usage(QStringLiteral("cannot make %1: its parent folder %2 does not exist")
                  .arg(m_args.operands.first(), QFileInfo(dir).absolutePath()));
        return QString();
    }
    if (QFileInfo(dir).fileName().isEmpty()) {
        usage(QStringLiteral("%1 cannot be a download folder").arg(m_args.operands.first()));
        return QString();
    }
    return dir;
}

int CCliCommands::checkLogin() {
    if (m_args.given.contains(QStringLiteral("password-file"))) {
        QFile file(m_args.passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            return usage(QStringLiteral("cannot read the password file %1").arg(m_args.passwordFile));
        }
        if (file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)) {
            m_ui.note(QStringLiteral("kelda-cli: warning: %1 is readable by other users").arg(m_args.passwordFile));
        }
        m_password = QString::fromUtf8(file.readLine()).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    } else {
        m_password = qEnvironmentVariable("KELDA_PASSWORD");
    }
    if (!m_args.unit.isEmpty()) {
        const QStringList parts = CLoginForm::splitAddress(m_args.unit);
        bool inRange = parts.size() == 4;
        for (const QString& p : parts) {
            inRange = inRange && p.toInt() <= 255;
        }
        if (!inRange) {
            return usage(QStringLiteral("--unit needs a dotted IPv4 address, not %1").arg(m_args.unit));
        }
    }
    if (m_args.user.size() > CLoginForm::kMaxUser || m_password.size() > CLoginForm::kMaxPassword) {
        return usage(QStringLiteral("user names and passwords are at most 16 characters"));
    }
    const QString problem = CLoginForm::validate(typedLogin());
    if (!problem.isEmpty()) {
        m_ui.messageBox(problem, COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return Usage;
    }
    if (m_args.given.contains(QStringLiteral("port"))) {
        bool ok = false;
        const int port = m_args.port.toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            return usage(QStringLiteral("--port needs a port number, not %1").arg(m_args.port));
        }
        m_ftp->setUnitPort(port);
    }
    return Ok;
}

int CCliCommands::login() {
    // Without --yes the confirmation will be refused before the unit is needed, so there is nothing to log in
    // for; the operation stops at its question.
    if (!m_args.yes) {
        return Ok;
    }
    return connect();
}

int CCliCommands::connect() {
    CLinkSettings settings;
    CLoginForm form(settings);
    if (!form.submit(typedLogin(), false, *m_ftp, m_ui)) {
        return NoUnit;
    }
    m_loggedIn = true;
    return Ok;
}

LOGIN_VALUES CCliCommands::typedLogin() const {
    return {CLoginForm::joinAddress(CLoginForm::splitAddress(m_args.unit)), m_args.user, m_password};
}

int CCliCommands::folderDownload() {
    if (!onlyOptions()) {
        return Usage;
    }
    if (m_args.operands.size() > 1) {
        return usage(QStringLiteral("folder-download takes one DIR"));
    }
    const QString dir = downloadFolder(Missing::MayBeMade);
    if (dir.isEmpty()) {
        return Usage;
    }
    if (const int s = checkLogin(); s != Ok) {
        return s;
    }
    // A nightly run may be the first one: the download folder is made as adding a folder in the window makes it.
    if (!QFileInfo(dir).isDir() &&
        (!QDir().mkdir(dir) || !CDurableFile::SyncFolder(QFile::encodeName(QFileInfo(dir).absolutePath())))) {
        m_ui.note(QStringLiteral("kelda-cli: cannot make the download folder %1").arg(dir));
        return Failed;
    }
    CKELDADoc doc;
    pointAt(doc, dir);
    CFolderDwnLogic logic(m_ui, doc, [this](QString& root, QString& rusuroku, QString& naisen) {
        return m_ftp->GetUnitTree(root, rusuroku, naisen).result == UnitResult::Done;
    });
    logic.open();
    for (int i = 0; i < logic.rows().size(); ++i) {
        if (logic.rows()[i].name == doc.folderName) {
            logic.select(i);
        }
    }
    if (logic.selected() < 0) {
        return usage(QStringLiteral("%1 is not a folder of %2").arg(doc.folderName, doc.folder));
    }
    if (const int s = login(); s != Ok) {
        return s;
    }
    logic.download();
    return logic.downloadCompleted() ? Ok : Failed;
}

int CCliCommands::download() {
    if (!onlyOptions()) {
        return Usage;
    }
    if (m_args.operands.size() > 1) {
        return usage(QStringLiteral("download takes one DIR; name boxes with --box"));
    }
    const QString dir = downloadFolder();
    if (dir.isEmpty()) {
        return Usage;
    }
    // The desktop program offers its download buttons only for such a folder.
    if (!CFileMng::IsDownloadFolder(dir)) {
        return usage(
            QStringLiteral("%1 is not a download folder (make its box folders with folder-download)").arg(dir));
    }
    if (const int s = checkLogin(); s != Ok) {
        return s;
    }
    CKELDADoc doc;
    pointAt(doc, dir);
    m_ftp->setConvertOnDownload(m_args.convert);
    m_ftp->setKeepCurrentWav(true);
    const CBoxDownload::Kind kind = m_args.infoOnly ? CBoxDownload::Kind::InfoOnly : CBoxDownload::Kind::VoiceAndInfo;

    if (m_args.boxes.isEmpty()) {
        CDownKindSetLogic logic(m_ui, doc, *m_ftp);
        logic.setIncludeDeletedOnPc(m_args.given.contains(QStringLiteral("include-deleted")));
        if (const int s = login(); s != Ok) {
            return s;
        }
        logic.download(kind);
        return downloadStatus(logic.lastResult());
    }

    CSelDownLogic logic(m_ui, doc, *m_ftp);
    logic.setIncludeDeletedOnPc(m_args.given.contains(QStringLiteral("include-deleted")));
    if (logic.open() == DlgOutcome::EndCancel) {
        return Failed;
    }
    for (const QString& boxArg : m_args.boxes) {
        const qsizetype slash = boxArg.indexOf(QLatin1Char('/'));
        const QString kindDir = boxArg.left(slash);
        const QString no = slash < 0 ? QString() : boxArg.mid(slash + 1);
        const std::optional<BoxKind> kind = boxKindOfDir(kindDir);
        QList<CSelDownLogic::Row>* rows = !kind                               ? nullptr
                                          : kind == BoxKind::AnsweringMachine ? &logic.answering()
                                                                              : &logic.extension();
        bool found = false;
        for (int i = 0; rows && i < rows->size(); ++i) {
            if ((*rows)[i].boxNo == no) {
                (*rows)[i].ticked = found = true;
            }
        }
        if (!found) {
            return usage(QStringLiteral("--box %1 is not a box folder of %2 (rusuroku/NNNN or naisen/NNNN; folders "
                                        "made on the PC are not downloaded)")
                             .arg(boxArg, dir));
        }
    }
    if (const int s = login(); s != Ok) {
        return s;
    }
    logic.download(kind);
    return downloadStatus(logic.lastResult());
}

int CCliCommands::downloadStatus(const CBoxDownload::Outcome& outcome) {
    if (outcome.complete()) {
        return Ok;
    }
    // Some ends show no message box of their own; a failing exit status never goes without a word.
    if (outcome.messages.isEmpty()) {
        m_ui.note(outcome.ending == CBoxDownload::Ending::Cancelled
                      ? QStringLiteral("kelda-cli: the download was cancelled; the messages fetched so far are kept")
                      : QStringLiteral("kelda-cli: the download ended before every box was done; run it again"));
    }
    return Failed;
}

int CCliCommands::voiceDownload() {
    if (!onlyOptions()) {
        return Usage;
    }
    const QString dir = downloadFolder();
    if (dir.isEmpty()) {
        return Usage;
    }
    if (m_args.operands.size() < 2) {
        return usage(QStringLiteral("voice-download needs the message files after DIR"));
    }
    QStringList files;
    for (const QString& f : m_args.operands.mid(1)) {
        const QString path = QDir::cleanPath(QFileInfo(f).absoluteFilePath());
        if (!path.startsWith(dir + QLatin1Char('/'))) {
            return usage(QStringLiteral("%1 is not a message file of %2").arg(f, dir));
        }
        files << path;
    }
    if (const int s = checkLogin(); s != Ok) {
        return s;
    }
    m_ftp->setConvertOnDownload(m_args.convert);
    m_ftp->setKeepCurrentWav(true);
    // The desktop program asks this before it starts the list-driven download.
    if (m_ui.messageBox(COperationTexts::DownloadConfirm(QFileInfo(dir).fileName()),
                        COperationTexts::DownloadConfirmCaption(), MsgIcon::Question,
                        MsgButtons::YesNo) != MsgResult::Yes) {
        return Failed;
    }
    if (const int s = login(); s != Ok) {
        return s;
    }
    return CVoiceDownload::RunVoiceDownload(m_ui, *m_ftp, files).complete ? Ok : Failed;
}

int CCliCommands::list() {
    if (!onlyOptions()) {
        return Usage;
    }
    if (m_args.operands.size() > 1) {
        return usage(QStringLiteral("list takes one DIR; name boxes with --boxes"));
    }
    const QString dir = downloadFolder();
    if (dir.isEmpty()) {
        return Usage;
    }
    CKELDADoc doc;
    pointAt(doc, dir);
    QString boxes = m_args.boxesText;
    if (m_args.given.contains(QStringLiteral("boxes"))) {
        if (CBoxSelection::parse(boxes).empty()) {
            return usage(QStringLiteral("--boxes names no box: %1").arg(boxes));
        }
        // A mistyped box would otherwise list as an empty one.
        for (const QString& folder : CBoxSelection::boxFolders(dir, boxes)) {
            if (!QFileInfo(folder).isDir()) {
                return usage(QStringLiteral("--boxes: %1 is not a box folder").arg(folder));
            }
        }
    } else {
        boxes = CBoxSelection::build(boxNames(CFileMng::Join(dir, CBoxSelection::kindDirectory(false))),
                                     boxNames(CFileMng::Join(dir, CBoxSelection::kindDirectory(true))));
    }
    doc.slotFolderName[0] = doc.folderName;
    doc.slotDisp[0] = boxes;

    if (m_args.given.contains(QStringLiteral("columns"))) {
        const QStringList all = CKELDADoc::resetShownColumns() + CKELDADoc::resetRemovedColumns();
        QStringList shown;
        for (const QString& title : m_args.columns.split(QLatin1Char(','))) {
            const QString t = title.trimmed();
            if (!all.contains(t) || shown.contains(t)) {
                return usage(QStringLiteral("--columns: %1 is not a column title or given twice").arg(t));
            }
            shown << t;
        }
        QStringList removed;
        for (const QString& t : all) {
            if (!shown.contains(t)) {
                removed << t;
            }
        }
        doc.setColumns(shown, removed);
    } else {
        doc.resetColumns();
    }

    CListModel model(doc, 1, m_ui);
    model.rebuildColumns();
    model.load(CListModel::Load::Fresh);
    if (model.unreadableFiles() > 0) {
        m_ui.note(QStringLiteral("kelda-cli: %1 message files could not be read and are not listed")
                      .arg(model.unreadableFiles()));
    }
    if (const int status = CCliListFilter::apply(m_args, model, m_ui); status != Ok) {
        return status;
    }
    if (m_args.csv) {
        return writeOut(m_ui, CCsvExport::ExportBytes(model)) ? Ok : Failed;
    }
    QStringList header;
    for (int c = 0; c < model.columnCount(); ++c) {
        header << model.columnTitle(c);
    }
    QByteArray out = header.join(QLatin1Char('\t')).toUtf8() + '\n';
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c) {
            cells << oneLine(model.cellText(r, c));
        }
        out += cells.join(QLatin1Char('\t')).toUtf8() + '\n';
    }
    return writeOut(m_ui, out) ? Ok : Failed;
}

QString CCliCommands::measureLines(const QString& file) {
    CVoiceMeasureCache cache(QFileInfo(file).absolutePath());
    cache.load();
    const std::optional<CVoiceMeasure::Figures> f = cache.obtain(QFileInfo(file).absoluteFilePath());
    if (!f) {
        return QString();
    }
    // A cache that cannot be written costs the next run a measurement, nothing more.
    cache.save();
    auto db = [](double v) { return std::isfinite(v) ? QString::number(v, 'f', 1) : QStringLiteral("-inf"); };
    return QStringLiteral("loudness: %1 LUFS\npeak: %2 dBFS\nspeech: %3 s of %4 s\n")
        .arg(db(f->loudnessLufs), db(f->peakDbfs))
        .arg(double(f->speechMs) / 1000.0, 0, 'f', 1)
        .arg(double(f->totalMs) / 1000.0, 0, 'f', 1);
}

int CCliCommands::info() {
    if (!onlyOptions()) {
        return Usage;
    }
    if (m_args.operands.isEmpty()) {
        return usage(QStringLiteral("info needs message files"));
    }
    int status = Ok;
    bool first = true;
    for (const QString& file : m_args.operands) {
        FILESTS_INFO rec;
        rec.clear();
        const CFileMng::ReadOutcome read = CFileMng::ReadRecord(file, rec);
        if (read.bytes < FILESTS_INFO::SIZE) {
            m_ui.note(read.opened ? QStringLiteral("kelda-cli: %1 holds no recording record").arg(file)
                                  : QStringLiteral("kelda-cli: %1 cannot be read").arg(file));
            status = Failed;
            continue;
        }
        const QList<std::pair<const char*, QString>> fields{
            {"flag", QString::number(rec.flag)},
            {"played", QString::number(rec.played)},
            {"importStatus", QString::number(rec.importStatus)},
            {"protect", QString::number(rec.protect)},
            {"boxNo", FILESTS_INFO::text(rec.boxNo)},
            {"boxName", FILESTS_INFO::text(rec.boxName)},
            {"callerNo", FILESTS_INFO::text(rec.callerNo)},
            {"callerName", FILESTS_INFO::text(rec.callerName)},
            {"recDateTime", FILESTS_INFO::text(rec.recDateTime)},
            {"recTime", FILESTS_INFO::text(rec.recTime)},
            {"title", FILESTS_INFO::text(rec.title)},
            {"memo", FILESTS_INFO::text(rec.memo)},
            {"filePath", FILESTS_INFO::text(rec.filePath)},
        };
        QString text = first ? QString() : QStringLiteral("\n");
        first = false;
        text += file + QLatin1Char('\n');
        for (const auto& [name, value] : fields) {
            text += QLatin1String(name) + QStringLiteral(": ") + oneLine(value) + QLatin1Char('\n');
        }
        if (file.endsWith(QLatin1String(".vmdat"), Qt::CaseInsensitive)) {
            text += measureLines(file);
        }
        if (!writeOut(m_ui, text.toUtf8())) {
            return Failed;
        }
    }
    return status;
}

bool CCliCommands::writeStdout(const QByteArray& bytes) {
    return writeOut(m_ui, bytes);
}

int CCliCommands::convert() {
    if (!onlyOptions()) {
        return Usage;
    }
    if (m_args.operands.isEmpty()) {
        return usage(QStringLiteral("convert needs .vmdat files"));
    }
    // The files go through the list window's conversion as its selected rows would, each with its own record.
    int status = Ok;
    std::vector<FILESTS_INFO> rows;
    for (const QString& file : m_args.operands) {
        const QFileInfo info(file);
        FILESTS_INFO rec;
        rec.clear();
        if (!info.isFile() || info.suffix() != QLatin1String("vmdat") ||
            CFileMng::ReadRecord(file, rec).bytes < FILESTS_INFO::SIZE) {
            m_ui.note(QStringLiteral("kelda-cli: %1 is not a voice data file (.vmdat)").arg(file));
            status = Failed;
            continue;
        }
        const QString path = QDir::cleanPath(info.absoluteFilePath());
        // The record holds at most this much of a path; a longer one would name another file.
        if (path.size() >= static_cast<qsizetype>(std::size(rec.filePath))) {
            m_ui.note(QStringLiteral("kelda-cli: the path of %1 is too long to convert").arg(file));
            status = Failed;
            continue;
        }
        FILESTS_INFO::setText(rec.filePath, path);
        rows.push_back(rec);
    }
    if (rows.empty()) {
        return status;
    }
    if (CVoiceCommands::Convert(m_ui, rows).result != CVoiceCommands::ConvertResult::Completed) {
        status = Failed;
    }
    return status;
}
