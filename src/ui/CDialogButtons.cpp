#include "ui/CDialogButtons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
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

std::vector<QPushButton*> CDialogButtons::addChoices(QDialog& dialog, QBoxLayout& layout, std::vector<Choice> choices,
                                                     std::size_t defaultIndex) {
    auto* row = new QHBoxLayout;
    std::vector<QPushButton*> buttons;
    for (Choice& c : choices) {
        auto* b = new QPushButton(c.text, &dialog);
        QObject::connect(b, &QPushButton::clicked, &dialog, std::move(c.press));
        buttons.push_back(b);
    }
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), &dialog);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    buttons.push_back(cancel);
    for (QPushButton* b : buttons) {
        row->addWidget(b);
    }
    if (defaultIndex < buttons.size()) {
        buttons[defaultIndex]->setDefault(true);
    }
    layout.addLayout(row);
    return buttons;
}

void CDialogButtons::addAllNone(QDialog& dialog, QWidget* parent, QBoxLayout& layout,
                                std::function<void(bool)> setAll) {
    auto* buttons = new QHBoxLayout;
    auto* all = new QPushButton(QStringLiteral("全選択"), parent);
    auto* none = new QPushButton(QStringLiteral("全未選択"), parent);
    QObject::connect(all, &QPushButton::clicked, &dialog, [setAll] { setAll(true); });
    QObject::connect(none, &QPushButton::clicked, &dialog, [setAll] { setAll(false); });
    buttons->addWidget(all);
    buttons->addWidget(none);
    layout.addLayout(buttons);
}
