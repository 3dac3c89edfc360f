#include "settings/CKeldaSettings.h"

#include "store/CPrivateProfile.h"

#include <QFile>
#include <QFileInfo>

namespace {
const QString S_LOGIN = QStringLiteral("LOGIN");
const QString S_FOLDER = QStringLiteral("FOLDER");
const QString S_DISP = QStringLiteral("DISP");
const QString S_CONVERT = QStringLiteral("CONVERT");
const QString S_PLAYER = QStringLiteral("PLAYER");
const QString S_EXPORT = QStringLiteral("EXPORT");
const QString S_IMPORT = QStringLiteral("IMPORT");

QString numbered(const char* stem, int n) {
    return QString::fromLatin1(stem) + QString::number(n);
}
} // namespace

CKeldaSettings::CKeldaSettings() = default;

QString CKeldaSettings::fit(const QString& value, int width) {
    return value.size() < width ? value : value.left(width - 1);
}

QString CKeldaSettings::passwordForFile() {
    if (!passwordStore) {
        return remembered.password;
    }
    // The keyring is asked again at each save: one that has gone away since start-up leaves the password where it
    // can still be found.
    bool kept = true;
    if (remembered.password.isEmpty()) {
        passwordStore->remove();
    } else {
        kept = passwordStore->write(remembered.password);
    }
    if (kept) {
        QString check;
        passwordInKeyring = passwordStore->read(check) != CPasswordStore::Read::Unavailable;
    } else {
        passwordInKeyring = false;
    }
    return kept && passwordInKeyring ? QString() : remembered.password;
}

void CKeldaSettings::load(const QString& iniFile) {
    auto str = [&](const QString& section, const QString& key, int width) {
        return fit(CPrivateProfile::getString(iniFile, section, key), width);
    };
    auto num0 = [&](const QString& section, const QString& key) {
        return CPrivateProfile::getInt(iniFile, section, key, 0);
    };

    remembered.address = str(S_LOGIN, "IP", W_IP);
    remembered.user = str(S_LOGIN, "USER", W_USER);
    remembered.password = str(S_LOGIN, "PASS", W_PASS);
    rememberFlag = num0(S_LOGIN, "CHECK");
    passwordInKeyring = false;
    if (passwordStore) {
        QString kept;
        const CPasswordStore::Read r = passwordStore->read(kept);
        passwordInKeyring = r != CPasswordStore::Read::Unavailable;
        if (r == CPasswordStore::Read::Found && remembered.password.isEmpty()) {
            remembered.password = fit(kept, W_PASS);
        }
    }

    folder = str(S_FOLDER, "FOLDER", W_PATH);
    init = num0(S_FOLDER, "INIT");
    nextFolder = str(S_FOLDER, "NEXTFOLDER", W_PATH);
    nextFolderName = str(S_FOLDER, "NEXTFOLDERNAME", W_PATH);
    change = num0(S_FOLDER, "CHANGE");

    folderName = str(S_DISP, "FOLDERNAME", W_PATH);
    // The count names list slots; a value outside 0-4 would make the restoration walk past the four slots.
    num = qBound(0, num0(S_DISP, "NUM"), SLOTS);
    for (int n = 1; n <= SLOTS; ++n) {
        slotDisp[n - 1] = str(S_DISP, numbered("DISP", n), W_DISP);
        slotFolderName[n - 1] = str(S_DISP, numbered("FOLDERNAME", n), W_PATH);
    }
    for (int n = 1; n <= COLUMNS; ++n) {
        colum[n - 1] = str(S_DISP, numbered("COLUM", n), W_COLUMN);
        delColum[n - 1] = str(S_DISP, numbered("DELCOLUM", n), W_COLUMN);
    }
    if (shownColumns().isEmpty()) {
        resetColumns();
    }
    // A settings file written before the speech column existed names every other column: it is offered among
    // the removed ones.
    const QString speech = QStringLiteral("発話秒");
    QStringList missing = resetShownColumns() + resetRemovedColumns();
    for (const QString& title : shownColumns() + removedColumns()) {
        missing.removeAll(title);
    }
    if (missing == QStringList{speech}) {
        setColumns(shownColumns(), removedColumns() << speech);
    }

    downConv = num0(S_CONVERT, "DOWNCONV");
    convDel = num0(S_CONVERT, "CONVDEL");
    playerBar = num0(S_PLAYER, "BAR");
    playerBarStored = !CPrivateProfile::getString(iniFile, S_PLAYER, QStringLiteral("BAR")).isEmpty();
    exportPath = str(S_EXPORT, "PATH", W_PATH);
    exportName = str(S_EXPORT, "Name", W_PATH);
    importPath = str(S_IMPORT, "PATH", W_PATH);
    importName = str(S_IMPORT, "Name", W_PATH);
}

bool CKeldaSettings::save(const QString& iniFile) {
    // The file holds the remembered unit password, so nobody but its owner may read it. Every later write
    // keeps the permissions of the file it replaces.
    {
        QFile f(iniFile);
        if (!f.exists() && f.open(QIODevice::WriteOnly)) {
            f.close();
        }
        if (QFileInfo(iniFile).isFile()) {
            f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
    }
    bool ok = true;
    auto put = [&](const QString& section, const QString& key, const QString& value) {
        ok = CPrivateProfile::writeString(iniFile, section, key, value) && ok;
    };
    auto putInt = [&](const QString& section, const QString& key, int value) {
        put(section, key, QString::number(value));
    };

    put(S_LOGIN, "IP", remembered.address);
    put(S_LOGIN, "USER", remembered.user);
    put(S_LOGIN, "PASS", passwordForFile());
    putInt(S_LOGIN, "CHECK", rememberFlag);

    QString root = folder;
    if (!root.isEmpty() && !root.endsWith('/')) {
        root += '/';
    }
    if (change == 1) {
        root.clear();
    }
    put(S_FOLDER, "FOLDER", root);
    putInt(S_FOLDER, "INIT", init);
    put(S_FOLDER, "NEXTFOLDER", nextFolder);
    put(S_FOLDER, "NEXTFOLDERNAME", nextFolderName);
    putInt(S_FOLDER, "CHANGE", change);

    if (change == 1) {
        num = 0;
        for (auto& d : slotDisp) {
            d.clear();
        }
    }
    put(S_DISP, "FOLDERNAME", change == 1 ? nextFolderName : folderName);
    putInt(S_DISP, "NUM", num);
    for (int n = 1; n <= SLOTS; ++n) {
        put(S_DISP, numbered("DISP", n), slotDisp[n - 1]);
        put(S_DISP, numbered("FOLDERNAME", n), slotFolderName[n - 1]);
    }

    putInt(S_CONVERT, "DOWNCONV", downConv);
    putInt(S_CONVERT, "CONVDEL", convDel);
    if (playerBar == 1 || playerBarStored) {
        putInt(S_PLAYER, "BAR", playerBar);
        playerBarStored = true;
    }
    put(S_EXPORT, "PATH", exportPath);
    put(S_EXPORT, "Name", exportName);
    put(S_IMPORT, "PATH", importPath);
    put(S_IMPORT, "Name", importName);
    return ok;
}

bool CKeldaSettings::saveColumns(const QString& iniFile) const {
    bool ok = true;
    for (int n = 1; n <= COLUMNS; ++n) {
        ok = CPrivateProfile::writeString(iniFile, S_DISP, numbered("COLUM", n), QString()) && ok;
    }
    for (int n = 1; n <= COLUMNS; ++n) {
        ok = CPrivateProfile::writeString(iniFile, S_DISP, numbered("DELCOLUM", n), QString()) && ok;
    }
    const QStringList shown = shownColumns();
    for (int i = 0; i < shown.size(); ++i) {
        ok = CPrivateProfile::writeString(iniFile, S_DISP, numbered("COLUM", i + 1), shown[i]) && ok;
    }
    const QStringList removed = removedColumns();
    for (int i = 0; i < removed.size(); ++i) {
        ok = CPrivateProfile::writeString(iniFile, S_DISP, numbered("DELCOLUM", i + 1), removed[i]) && ok;
    }
    return ok;
}

QStringList CKeldaSettings::resetShownColumns() {
    return {QStringLiteral("ﾌﾗｸﾞ"),        QStringLiteral("取込"),    QStringLiteral("再生/未再生"),
            QStringLiteral("保護/非保護"), QStringLiteral("BOX番号"), QStringLiteral("相手番号"),
            QStringLiteral("相手名称"),    QStringLiteral("日時"),    QStringLiteral("録音時間"),
            QStringLiteral("ファイル名")};
}

QStringList CKeldaSettings::resetRemovedColumns() {
    return {QStringLiteral("BOX名称"), QStringLiteral("タイトル"), QStringLiteral("メモ"), QStringLiteral("発話秒")};
}

void CKeldaSettings::resetColumns() {
    setColumns(resetShownColumns(), resetRemovedColumns());
}

namespace {
QStringList upToEmpty(const std::array<QString, CKeldaSettings::COLUMNS>& a) {
    QStringList out;
    for (const auto& s : a) {
        if (s.isEmpty()) {
            break;
        }
        out << s;
    }
    return out;
}
} // namespace

QStringList CKeldaSettings::shownColumns() const {
    return upToEmpty(colum);
}

QStringList CKeldaSettings::removedColumns() const {
    return upToEmpty(delColum);
}

void CKeldaSettings::setColumns(const QStringList& shown, const QStringList& removed) {
    for (int i = 0; i < COLUMNS; ++i) {
        colum[i] = i < shown.size() ? fit(shown[i], W_COLUMN) : QString();
        delColum[i] = i < removed.size() ? fit(removed[i], W_COLUMN) : QString();
    }
}

QString CKeldaSettings::rootWithSlash() const {
    if (folder.isEmpty() || folder.endsWith('/')) {
        return folder;
    }
    return folder + '/';
}

QString CKeldaSettings::currentFolderPath() const {
    return rootWithSlash() + folderName;
}

QString CKeldaSettings::slotFolderPath(int n) const {
    if (n < 1 || n > SLOTS) {
        return QString();
    }
    return rootWithSlash() + slotFolderName[n - 1];
}

void CKeldaSettings::clearSlot(int n) {
    if (n >= 1 && n <= SLOTS) {
        slotFolderName[n - 1].clear();
        slotDisp[n - 1].clear();
    }
}
