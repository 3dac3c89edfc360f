#include "ui/CFolderChooser.h"

#include <QDir>
#include <QFileInfo>

CFolderChooser::CFolderChooser(QWidget* parent, const QString& title, const QString& startFolder)
    : QFileDialog(parent, oneLineTitle(title), startFolder) {
    // The Qt dialog (not the native one) offers "create new folder" and lets a typed name through to accept().
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ShowDirsOnly, true);
    setFileMode(QFileDialog::Directory);
    setAcceptMode(QFileDialog::AcceptOpen);
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
