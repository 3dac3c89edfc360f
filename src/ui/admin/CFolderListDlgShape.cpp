#include "ui/admin/CFolderListDlgShape.h"

#include "ui/CJapaneseFont.h"
#include "ui/admin/CFolderListCtrl.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QVBoxLayout>

CFolderListDlgShape::CFolderListDlgShape(QDialog* dialog, const QString& title) {
    dialog->setWindowTitle(title);
    dialog->setFont(CJapaneseFont::font(13));
    auto* layout = new QHBoxLayout(dialog);

    list = new CFolderListCtrl(dialog);
    list->setMinimumSize(420, 260);
    layout->addWidget(list, 1);

    buttons = new QVBoxLayout;
    layout->addLayout(buttons);
}
