#include "shell/CMainFrameLogic.h"

#include "store/CFileMng.h"

#include <QDir>
#include <QFileInfo>

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
        u"試聴バーを表示する",
        u"録音情報一覧の表示項目の追加と消去...",
        u"録音情報を編集する...",
        u"ボックス名称を編集する...",
        u"ボックスフォルダを作成する...",
        u"ボックスフォルダ名称を変更する...",
        u"一覧表をエクスポートする...",
        u"内線ボックス名称をインポートする...",
        u"ダウンロードフォルダを点検する...",
        u"音声を書き出す...",
        u"メールで送る",
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

QString CMainFrameLogic::shortcut(Command cmd) {
    // Letters after the commands' readings, one each, so no key stands for two buttons.
    static const char* const keys[BUTTON_COUNT] = {
        "Alt+D", // ﾌｫﾙﾀﾞのﾀﾞｳﾝﾛｰﾄﾞ: download folder
        "Alt+I", // 一括ﾀﾞｳﾝﾛｰﾄﾞ: ikkatsu
        "Alt+S", // 選択ﾀﾞｳﾝﾛｰﾄﾞ: sentaku
        "Alt+O", // 音声ﾃﾞｰﾀﾀﾞｳﾝﾛｰﾄﾞ: onsei
        "Alt+F", // フォルダ名: folder
        "Alt+B", // ボックス: box
        "Alt+H", // 選択表示: hyouji
        "Alt+A", // 全表示: all
        "Alt+U", // 未ﾀﾞｳﾝﾛｰﾄﾞ表示: undownloaded
        "Alt+C", // 変換: convert
        "Alt+P", // 再生: play
        "Alt+E", // 消去: erase
        "Alt+M", // 移動・コピー: move
        "Alt+T", // 設定: settei
        "Alt+W", // ウィンドウ: window
        "Alt+V", // バージョン: version
    };
    if (cmd < 0 || cmd >= BUTTON_COUNT) {
        return QString();
    }
    return QString::fromLatin1(keys[cmd]);
}

QString CMainFrameLogic::buttonText(Command cmd) {
    const QString key = shortcut(cmd);
    if (key.isEmpty()) {
        return label(cmd);
    }
    return label(cmd) + QStringLiteral("(&") + key.back() + QLatin1Char(')');
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

void CMainFrameLogic::setSelectionFacts(bool voiceSelected, bool singleVoiceSelected, bool infoOnlyPresent,
                                        bool rowsSelected) {
    convertFlag = voiceSelected;
    deleteFlag = rowsSelected;
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
    // A filtered list says so: a person coming back to it would otherwise take the hidden messages for lost.
    if (c.displayMode == 1) {
        text += QStringLiteral("  [選択表示中]");
    } else if (c.displayMode == 2) {
        text += QStringLiteral("  [未ﾀﾞｳﾝﾛｰﾄﾞ表示中]");
    }
    return text;
}

QString CMainFrameLogic::linkStatusText(const CLinkSettings& link) {
    const QString& address = link.connection.address;
    if (link.linkChecking) {
        return QStringLiteral("ＺＵＮＯ %1 との接続を確認中").arg(address);
    }
    if (link.loggedIn == 1) {
        return QStringLiteral("ＺＵＮＯ %1 にログイン中").arg(address);
    }
    return QStringLiteral("ＺＵＮＯにログインしていません");
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
        convertFlag = moveCopyFlag = playFlag = notDownloadedFlag = deleteFlag = false;
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
