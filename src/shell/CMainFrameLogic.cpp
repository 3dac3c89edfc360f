#include "shell/CMainFrameLogic.h"

#include "platform/CPrivateProfile.h"
#include "store/CFileMng.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

CMainFrameLogic::CMainFrameLogic() = default;

QString CMainFrameLogic::label(Command cmd) {
    static const char16_t* const labels[CmdCount] = {
        u"ﾌｫﾙﾀﾞのﾀﾞｳﾝﾛｰﾄﾞ",
        u"一括ﾀﾞｳﾝﾛｰﾄﾞ",
        u"選択ﾀﾞｳﾝﾛｰﾄﾞ",
        u"音声ﾃﾞｰﾀﾀﾞｳﾝﾛｰﾄﾞ",
        u"フォルダ名",
        u"ボックス",
        u"選択表示",
        u"全表示",
        u"未ﾀﾞｳﾝﾛｰﾄﾞ表示",
        u"変換",
        u"再生",
        u"消去",
        u"移動・コピー",
        u"設定",
        u"ウィンドウ",
        u"バージョン",
        u"ログイン...",
        u"ログアウト",
        u"起動時のフォルダを指定する...",
        u"ダウンロード時に音声ファイルをWAVファイルに変換する",
        u"WAVファイルを消去する...",
        u"再生後にWAVファイルを自動消去する",
        u"録音情報一覧の表示項目の追加と消去...",
        u"録音情報を編集する...",
        u"ボックス名称を編集する...",
        u"ボックスフォルダを作成する...",
        u"ボックスフォルダ名称を変更する...",
        u"一覧表をエクスポートする...",
        u"内線ボックス名称をインポートする...",
        u"並べて表示",
        u"上下に並べて表示",
        u"左右に並べて表示",
        u"重ねて表示",
    };
    if (cmd < 0 || cmd >= CmdCount) {
        return QString();
    }
    return QString::fromUtf16(labels[cmd]);
}

void CMainFrameLogic::create(const QString& iniFile) {
    m_iniFile = iniFile;
    m_doc.load(iniFile);
    if (m_doc.change == 1) {
        m_doc.folder = m_doc.nextFolder;
    }
    m_restoreFlag = true;
    if (m_doc.init == 1 && m_doc.nextFolderName != m_doc.slotFolderName[0]) {
        m_doc.folderName = m_doc.nextFolderName;
        m_restoreFlag = false;
    }
    m_folderField = m_doc.folderName.isEmpty() ? QString() : folderFieldText(m_doc.folder, m_doc.folderName);
    m_boxField.clear();
    if (m_doc.num != 0 && !m_doc.slotDisp[m_doc.num - 1].isEmpty() && m_restoreFlag) {
        m_boxField = QStringLiteral(" ") + QString(m_doc.slotDisp[m_doc.num - 1]).replace(u':', u'：');
    }
}

bool CMainFrameLogic::decideFolder() {
    // An empty root or name names no download folder, even though the bare path may exist.
    const bool exists =
        !m_doc.folder.isEmpty() && !m_doc.folderName.isEmpty() && QFileInfo(m_doc.currentFolderPath()).isDir();
    if (exists) {
        return true;
    }
    m_doc.folder.clear();
    m_doc.folderName.clear();
    for (auto& d : m_doc.slotDisp) {
        d.clear();
    }
    m_doc.num = 0;
    m_folderField.clear();
    m_boxField.clear();
    return false;
}

void CMainFrameLogic::forgetUnrestoredSlots() {
    m_doc.num = 0;
    for (int n = 1; n <= CKELDADoc::SLOTS; ++n) {
        m_doc.clearSlot(n);
    }
    m_boxField.clear();
}

QString CMainFrameLogic::folderFieldText(const QString& root, const QString& folderName) {
    QString text = root;
    if (!text.endsWith('/')) {
        text += '/';
    }
    text += folderName;
    return folderFieldTextFromPath(text);
}

QString CMainFrameLogic::folderFieldTextFromPath(const QString& fullPath) {
    QString text = QStringLiteral(" ") + fullPath;
    text.replace(u':', u'：');
    if (text.endsWith('/')) {
        text.chop(1);
    }
    return text;
}

QString CMainFrameLogic::activationBoxFieldText(const QString& boxSelection) {
    QString text = QStringLiteral(" ") + QString(boxSelection).replace(u':', u'：');
    const qsizetype p = text.indexOf(QStringLiteral("内線BOX："));
    if (p > 1) {
        text.insert(p, QStringLiteral("\r\n "));
        // The "," that ended the answering-machine boxes, before the two blanks.
        if (p - 3 >= 0 && text[p - 3] == u',') {
            text.remove(p - 3, 1);
        }
    }
    return text;
}

QString CMainFrameLogic::folderNameFromField(const QString& fieldText) {
    QString text = QString(fieldText).replace(u'：', u':');
    qsizetype k = 0;
    while (k < text.size() && text[k].isSpace()) {
        ++k;
    }
    text = text.mid(k);
    const qsizetype slash = text.lastIndexOf('/');
    return slash < 0 ? QString() : text.mid(slash + 1);
}

void CMainFrameLogic::takeFolderNameFromField() {
    m_doc.folderName = CKELDADoc::fit(folderNameFromField(m_folderField), CKELDADoc::W_PATH);
}

void CMainFrameLogic::listActivated(int slot) {
    if (slot < 1 || slot > CKELDADoc::SLOTS || m_doc.num == 0) {
        return;
    }
    const QString& disp = m_doc.slotDisp[slot - 1];
    if (!disp.isEmpty()) {
        m_boxField = activationBoxFieldText(disp);
    }
    m_folderField = folderFieldText(m_doc.folder, m_doc.slotFolderName[slot - 1]);
}

void CMainFrameLogic::setSelectionFacts(bool voiceSelected, bool singleVoiceSelected, bool infoOnlyPresent) {
    convertFlag = voiceSelected;
    moveCopyFlag = voiceSelected;
    playFlag = singleVoiceSelected;
    notDownloadedFlag = infoOnlyPresent;
}

CMainFrameLogic::EnableInputs CMainFrameLogic::enableInputs(bool listActive) const {
    EnableInputs in;
    in.listActive = listActive;
    in.isDownloadFolder =
        m_doc.loggedIn == 1 && !m_doc.folder.isEmpty() && CFileMng::IsDownloadFolder(m_doc.currentFolderPath());
    return in;
}

bool CMainFrameLogic::isEnabled(Command cmd, const EnableInputs& in) const {
    const bool loggedIn = m_doc.loggedIn == 1;
    switch (cmd) {
    case CmdBulkDownload:
    case CmdSelDownload:
        return loggedIn && in.isDownloadFolder;
    case CmdVoiceDownload:
        return notDownloadedFlag && loggedIn;
    case CmdNotDownloaded:
        return notDownloadedFlag;
    case CmdConvert:
        return convertFlag;
    case CmdPlay:
        return playFlag;
    case CmdMoveCopy:
        return moveCopyFlag;
    case CmdBox:
        return m_folderField.size() >= 2;
    case CmdSelDisplay:
    case CmdAllDisplay:
    case CmdDelete:
        return in.listActive;
    default:
        return true;
    }
}

CMainFrameLogic::MenuItemState CMainFrameLogic::settingsItemState(Command cmd, bool listActive) const {
    MenuItemState s;
    switch (cmd) {
    case CmdLogin:
        s.enabled = m_doc.loggedIn != 1;
        break;
    case CmdLogout:
        s.enabled = m_doc.loggedIn == 1;
        break;
    case CmdDownConv:
        s.checked = m_doc.downConv == 1;
        break;
    case CmdConvDel:
        s.checked = m_doc.convDel == 1;
        break;
    case CmdBoxName:
    case CmdMakeBoxFolder:
    case CmdImport:
        s.enabled = !m_doc.folderName.isEmpty() &&
                    CFileMng::FolderHasMessages(m_doc.currentFolderPath()) != CFileMng::FolderMessages::NoBoxFolders;
        break;
    case CmdRenameBoxFolder: {
        s.enabled = false;
        if (m_doc.folderName.isEmpty()) {
            break;
        }
        for (const char* kind : {"rusuroku", "naisen"}) {
            QStringList boxes;
            CFileMng::ListSubfolders(CFileMng::Join(m_doc.currentFolderPath(), QString::fromLatin1(kind)), boxes);
            for (const auto& b : boxes) {
                if (CFileMng::GetMake(b) == CFileMng::Make::ByUser) {
                    s.enabled = true;
                }
            }
        }
        break;
    }
    case CmdColumns:
    case CmdEditInfo:
    case CmdExport:
        s.enabled = listActive;
        break;
    default:
        break;
    }
    return s;
}

CMainFrameLogic::MenuItemState CMainFrameLogic::windowItemState(Command cmd) const {
    MenuItemState s;
    if (cmd == CmdTile) {
        s.enabled = m_doc.num >= 1;
    }
    return s;
}

QString CMainFrameLogic::windowMenuLabel(const QString& boxSelection) {
    if (boxSelection.size() > 30) {
        return boxSelection.left(30) + QStringLiteral("...");
    }
    return boxSelection;
}

QString CMainFrameLogic::countText(int value) {
    return value > 9999 ? QStringLiteral("++++") : QString::number(value);
}

QString CMainFrameLogic::statusText(int folderTotal, const ListCounts& c) {
    QString text = QStringLiteral("件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ %1  ﾎﾞｯｸｽﾄｰﾀﾙ %2  一覧表ﾄｰﾀﾙ %3  未再生 %4  再生済 %5")
                       .arg(countText(folderTotal), countText(c.boxTotal), countText(c.listTotal),
                            countText(c.unplayed), countText(c.played));
    // Files left out of the list are told, never hidden.
    if (c.unreadable > 0) {
        text += QStringLiteral("  読めないﾌｧｲﾙ %1").arg(countText(c.unreadable));
    }
    return text;
}

int CMainFrameLogic::recountFolderTotal(int slot) {
    long long total = 0;
    const QString folder = m_doc.slotFolderPath(slot);
    if (!folder.isEmpty()) {
        QStringList kinds;
        CFileMng::ListSubfolders(folder, kinds);
        for (const auto& k : kinds) {
            QStringList boxes;
            CFileMng::ListSubfolders(k, boxes);
            for (const auto& b : boxes) {
                total += CFileMng::CountMessages(b);
            }
        }
    }
    m_folderTotal = static_cast<int>(std::min<long long>(total, 1 << 30));
    return m_folderTotal;
}

std::vector<std::pair<int, int>> CMainFrameLogic::closeSlot(int slot) {
    std::vector<std::pair<int, int>> moves;
    m_doc.num = std::max(0, m_doc.num - 1);
    if (m_doc.num > 0) {
        m_doc.clearSlot(slot);
        int to = slot;
        for (int from = slot + 1; from <= CKELDADoc::SLOTS; ++from) {
            if (m_doc.slotDisp[from - 1].isEmpty()) {
                continue;
            }
            m_doc.slotDisp[to - 1] = m_doc.slotDisp[from - 1];
            m_doc.slotFolderName[to - 1] = m_doc.slotFolderName[from - 1];
            m_doc.clearSlot(from);
            moves.emplace_back(from, to);
            ++to;
        }
    } else {
        m_boxField.clear();
        convertFlag = moveCopyFlag = playFlag = notDownloadedFlag = false;
        for (int n = 1; n <= CKELDADoc::SLOTS; ++n) {
            m_doc.clearSlot(n);
        }
    }
    return moves;
}

void CMainFrameLogic::slotOpened(int slot) {
    if (slot >= 1 && slot <= CKELDADoc::SLOTS) {
        m_boxField = QStringLiteral(" ") + m_doc.slotDisp[slot - 1];
    }
}

CMainFrameLogic::WinRect CMainFrameLogic::correctMainRect(WinRect r, int screenWidth, int screenHeight) {
    if (r.right > screenWidth) {
        const int d = r.right - screenWidth - 1;
        r.left -= d;
        r.right -= d;
    }
    if (r.left < 0) {
        const int d = 1 - r.left;
        r.left += d;
        r.right += d;
    }
    if (r.bottom > screenHeight) {
        const int d = r.bottom - screenHeight - 1;
        r.top -= d;
        r.bottom -= d;
    }
    if (r.top < 0) {
        const int d = 1 - r.top;
        r.top += d;
        r.bottom += d;
    }
    return r;
}

CMainFrameLogic::WinRect CMainFrameLogic::readMainRect(const QString& iniFile) {
    const QString s = QStringLiteral("Window");
    return {CPrivateProfile::getInt(iniFile, s, "Left", ABSENT), CPrivateProfile::getInt(iniFile, s, "Top", ABSENT),
            CPrivateProfile::getInt(iniFile, s, "Right", ABSENT),
            CPrivateProfile::getInt(iniFile, s, "Bottom", ABSENT)};
}

CMainFrameLogic::RestorePlan CMainFrameLogic::readListPlacements() const {
    RestorePlan plan;
    for (int i = 1; i <= std::min(m_doc.num, int(CKELDADoc::SLOTS)); ++i) {
        const QString s = QStringLiteral("Window%1").arg(i);
        ListPlacement p;
        p.slot = i;
        p.rect = {CPrivateProfile::getInt(m_iniFile, s, "Left", ABSENT),
                  CPrivateProfile::getInt(m_iniFile, s, "Top", ABSENT),
                  CPrivateProfile::getInt(m_iniFile, s, "Right", ABSENT),
                  CPrivateProfile::getInt(m_iniFile, s, "Bottom", ABSENT)};
        p.showCmd = CPrivateProfile::getInt(m_iniFile, s, "showCmd", ABSENT);
        const int z = CPrivateProfile::getInt(m_iniFile, s, "ZOrder", ABSENT);
        if (z >= 1 && z <= 4) {
            plan.stacking[z - 1] = i;
        }
        if (p.showCmd == SHOW_MAXIMIZED) {
            plan.maximize = true;
        }
        plan.windows.push_back(p);
    }
    return plan;
}

std::vector<int> CMainFrameLogic::RestorePlan::activationOrder() const {
    std::vector<int> order;
    for (int p = 4; p >= 1; --p) {
        const int s = stacking[p - 1];
        if (s >= 1 && s <= 4) {
            order.push_back(s);
        }
    }
    return order;
}

bool CMainFrameLogic::savePlacements(const WinRect& mainRect, const std::vector<ListPlacement>& fromActive) const {
    bool ok = true;
    auto putInt = [&](const QString& section, const char* key, int value) {
        ok = CPrivateProfile::writeString(m_iniFile, section, QString::fromLatin1(key), QString::number(value)) && ok;
    };
    putInt("Window", "Left", mainRect.left);
    putInt("Window", "Top", mainRect.top);
    putInt("Window", "Right", mainRect.right);
    putInt("Window", "Bottom", mainRect.bottom);

    const size_t count = std::min<size_t>(fromActive.size(), 4);
    const ListPlacement* maximized = nullptr;
    for (size_t k = 0; k < count; ++k) {
        if (fromActive[k].showCmd == SHOW_MAXIMIZED) {
            maximized = &fromActive[k];
            break;
        }
    }
    for (int j = 1; j <= 4; ++j) {
        const bool present = static_cast<size_t>(j) <= count;
        const QString s = QStringLiteral("Window%1").arg(present ? fromActive[j - 1].slot : j);
        WinRect r;
        int show = 0;
        if (maximized) {
            r = maximized->rect;
            show = SHOW_MAXIMIZED;
        } else if (present) {
            r = fromActive[j - 1].rect;
            show = fromActive[j - 1].showCmd;
        }
        putInt(s, "Left", r.left);
        putInt(s, "Top", r.top);
        putInt(s, "Right", r.right);
        putInt(s, "Bottom", r.bottom);
        putInt(s, "showCmd", show);
        putInt(s, "ZOrder", j);
    }
    return ok;
}

CMainFrameLogic::WinRect CMainFrameLogic::newListRect(const WinRect& client) {
    return {client.left + 10, client.top + 10, client.right - 10, client.top + 500};
}

int CMainFrameLogic::mulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    const long long p = static_cast<long long>(number) * numerator;
    return static_cast<int>(std::llround(static_cast<double>(p) / denominator));
}

std::vector<CMainFrameLogic::WinRect> CMainFrameLogic::tileThree(const WinRect& c) {
    const int half = c.left + c.width() / 2;
    const int lower = c.bottom - FREE_BAND;
    const int middle = c.top + (c.bottom - c.top - FREE_BAND) / 2;
    return {{c.left, c.top, half, lower}, {half, c.top, c.right, middle}, {half, middle, c.right, lower}};
}

std::vector<CMainFrameLogic::WinRect> CMainFrameLogic::tileRowsFour(const WinRect& c) {
    std::vector<WinRect> out;
    const int h = c.height() - FREE_BAND;
    for (int k = 0; k < 2; ++k) {
        const int top = c.top + mulDiv(h, k, 2);
        const int bottom = c.top + mulDiv(h, k + 1, 2);
        const int mid = top + (bottom - top) / 2;
        out.push_back({c.left, top, c.right, mid});
        out.push_back({c.left, mid, c.right, bottom});
    }
    return out;
}

std::vector<CMainFrameLogic::WinRect> CMainFrameLogic::tileColumnsFour(const WinRect& c) {
    std::vector<WinRect> out;
    const int bottom = c.bottom - FREE_BAND;
    for (int k = 0; k < 2; ++k) {
        const int left = c.left + mulDiv(c.width(), k, 2);
        const int right = c.left + mulDiv(c.width(), k + 1, 2);
        const int mid = left + (right - left) / 2;
        out.push_back({left, c.top, mid, bottom});
        out.push_back({mid, c.top, right, bottom});
    }
    return out;
}

std::vector<CMainFrameLogic::WinRect> CMainFrameLogic::tileSideBySide(const WinRect& c, int n) {
    std::vector<WinRect> out;
    for (int k = 0; k < n; ++k) {
        out.push_back({c.left + mulDiv(c.width(), k, n), c.top, c.left + mulDiv(c.width(), k + 1, n), c.bottom});
    }
    return out;
}

std::vector<CMainFrameLogic::WinRect> CMainFrameLogic::tileStacked(const WinRect& c, int n) {
    std::vector<WinRect> out;
    for (int k = 0; k < n; ++k) {
        out.push_back({c.left, c.top + mulDiv(c.height(), k, n), c.right, c.top + mulDiv(c.height(), k + 1, n)});
    }
    return out;
}

bool CMainFrameLogic::saveAll(const WinRect& mainRect, const std::vector<ListPlacement>& fromActive) {
    const bool settings = m_doc.save(m_iniFile);
    const bool placements = savePlacements(mainRect, fromActive);
    return settings && placements;
}
