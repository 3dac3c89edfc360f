#include "ui/operations/COwrMsgDlg.h"

#include "ui/CJapaneseFont.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

COwrMsgDlg::COwrMsgDlg(const QString& fileName, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ﾌｧｲﾙ上書きの確認"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("このﾌｫﾙﾀﾞには既に %1 ﾌｧｲﾙが存在します。").arg(fileName), this);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(text);
    layout->addWidget(new QLabel(QStringLiteral("上書きしますか？"), this));
    layout->addSpacing(8);
    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, OverwriteAnswer> kinds[] = {{"はい(&Y)", OverwriteAnswer::Yes},
                                                             {"全て上書き(&A)", OverwriteAnswer::All},
                                                             {"いいえ(&N)", OverwriteAnswer::No},
                                                             {"キャンセル", OverwriteAnswer::Cancel}};
    for (const auto& [label, answer] : kinds) {
        auto* b = new QPushButton(QString::fromUtf8(label), this);
        b->setAutoDefault(answer == OverwriteAnswer::Yes);
        b->setDefault(answer == OverwriteAnswer::Yes);
        connect(b, &QPushButton::clicked, this, [this, a = answer] { press(a); });
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
}

void COwrMsgDlg::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (mods == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Y:
            press(OverwriteAnswer::Yes);
            return;
        case Qt::Key_A:
            press(OverwriteAnswer::All);
            return;
        case Qt::Key_N:
            press(OverwriteAnswer::No);
            return;
        default:
            break;
        }
    }
    QDialog::keyPressEvent(event);
}

void COwrMsgDlg::press(OverwriteAnswer answer) {
    m_answer = answer;
    accept();
}

OverwriteAnswer COwrMsgDlg::ask(const QString& fileName, QWidget* parent) {
    COwrMsgDlg dlg(fileName, parent);
    dlg.exec();
    return dlg.answer();
}
