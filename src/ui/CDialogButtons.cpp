#include "ui/CDialogButtons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

QPushButton* CDialogButtons::addOkCancel(QDialog& dialog, QBoxLayout& layout, std::function<void()> onPress,
                                         const QString& pressText) {
    auto* box = new QDialogButtonBox(Qt::Horizontal, &dialog);
    // Named texts rather than standard buttons: the standard ones would take the desktop language's words.
    QPushButton* press = box->addButton(pressText, QDialogButtonBox::AcceptRole);
    box->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    press->setDefault(true);
    // The press goes to the dialog's own handler, not to accept(): OK closes only when what it does succeeded.
    QObject::connect(press, &QPushButton::clicked, &dialog, std::move(onPress));
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addWidget(box);
    return press;
}
