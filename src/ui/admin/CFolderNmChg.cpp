#include "ui/admin/CFolderNmChg.h"

#include "admin/CFolderRename.h"
#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QVBoxLayout>

CFolderNmChg::CFolderNmChg(CUserInterface& ui, const QString& oldPath, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_oldPath(oldPath) {
    setWindowTitle(QStringLiteral("フォルダ名称変更"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);

    QString path = oldPath;
    while (path.size() > 1 && path.endsWith('/')) {
        path.chop(1);
    }
    m_name = new QLineEdit(QFileInfo(path).fileName(), this);
    m_name->setMaxLength(CFolderRename::MAX_CHARS);
    m_name->setMinimumWidth(300);
    m_name->selectAll();
    layout->addWidget(m_name);

    CDialogButtons::addOkCancel(*this, *layout, [this] { pressOk(); });
}

void CFolderNmChg::pressOk() {
    if (CFolderRename::Rename(m_ui, m_oldPath, m_name->text())) {
        accept();
    }
}
