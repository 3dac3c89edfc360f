#include "ui/CFolderChooser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace {
// The file model asks this for the type column's text, which the toolkit leaves in English for folders.
class CFolderTypeNames : public QFileIconProvider {
public:
    QString type(const QFileInfo& info) const override {
        return info.isDir() ? CFolderChooser::folderTypeName() : QFileIconProvider::type(info);
    }
};

QFileIconProvider* typeNames() {
    // The file model's worker thread may still ask it while a dialog goes away; it lives as long as the program.
    static auto* names = new CFolderTypeNames;
    return names;
}
} // namespace

CFolderChooser::CFolderChooser(QWidget* parent, const QString& title, const QString& startFolder)
    : QFileDialog(parent, oneLineTitle(title), startFolder) {
    // The Qt dialog (not the native one) offers "create new folder" and lets a typed name through to accept().
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ShowDirsOnly, true);
    setFileMode(QFileDialog::Directory);
    setAcceptMode(QFileDialog::AcceptOpen);
    setIconProvider(typeNames());
    if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        // Connected after the dialog's own check, so this one has the last word.
        connect(name, &QLineEdit::textChanged, this, &CFolderChooser::allowNewName);
    }
    connect(this, &QFileDialog::directoryEntered, this, &CFolderChooser::allowNewName);
}

QString CFolderChooser::folderTypeName() {
    return QStringLiteral("フォルダ");
}

bool CFolderChooser::isNewFolderName(const QString& dir, const QString& typed) {
    const QString name = typed.trimmed();
    if (name.isEmpty() || name.contains(QChar(0))) {
        return false;
    }
    return !QFileInfo(QDir(dir).filePath(name)).exists();
}

void CFolderChooser::allowNewName() {
    auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* box = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QPushButton* choose = box ? box->button(QDialogButtonBox::Open) : nullptr;
    if (name && choose && isNewFolderName(directory().absolutePath(), name->text())) {
        choose->setEnabled(true);
    }
}

QString CFolderChooser::oneLineTitle(const QString& title) {
    return QString(title).replace(QLatin1Char('\n'), QLatin1Char(' ')).trimmed();
}

QString CFolderChooser::choose(QWidget* parent, const QString& title, const QString& startFolder) {
    CFolderChooser chooser(parent, title, startFolder);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return QString();
    }
    return chooser.selectedFiles().first();
}

void CFolderChooser::accept() {
    const QStringList chosen = selectedFiles();
    if (!chosen.isEmpty()) {
        const QFileInfo typed(chosen.first());
        // A name that is not there yet is the new folder asked for; the dialog itself reports what still
        // cannot be found (a file of that name, a folder it may not make).
        if (!typed.exists()) {
            QDir().mkpath(typed.absoluteFilePath());
        }
    }
    QFileDialog::accept();
}
