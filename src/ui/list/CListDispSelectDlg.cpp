#include "ui/list/CListDispSelectDlg.h"

#include "list/CListDispSelectLogic.h"
#include "ui/CJapaneseFont.h"
#include "ui/list/CListImages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CListDispSelectDlg::CListDispSelectDlg(CListDispSelectLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(QStringLiteral("録音情報表示設定"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("表示項目"), this);
    auto* row = new QHBoxLayout(group);

    auto makeList = [&](const QString& title, const char* name) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(title, group));
        auto* list = new QListWidget(group);
        list->setObjectName(QLatin1String(name));
        list->setFixedWidth(100 + 2 * list->frameWidth());
        list->setMinimumHeight(220);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        column->addWidget(list);
        row->addLayout(column);
        return list;
    };
    m_removed = makeList(QStringLiteral("消去項目"), "removed");

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    auto* add = new QPushButton(QStringLiteral("追加"), group);
    add->setObjectName(QStringLiteral("add"));
    auto picture = [&](CListImages::ButtonPicture which, const char* name, const QString& tip) {
        auto* b = new QPushButton(group);
        b->setObjectName(QLatin1String(name));
        b->setIcon(QIcon(CListImages::buttonPicture(which)));
        b->setToolTip(tip);
        return b;
    };
    auto* remove = picture(CListImages::RemoveArrow, "remove", QStringLiteral("消去"));
    auto* up = picture(CListImages::UpArrow, "up", QStringLiteral("上へ"));
    auto* down = picture(CListImages::DownArrow, "down", QStringLiteral("下へ"));
    for (auto* b : {add, remove, up, down}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();
    row->addLayout(buttons);
    m_shown = makeList(QStringLiteral("現在の表示項目"), "shown");
    layout->addWidget(group);

    auto* bottom = new QHBoxLayout;
    auto* reset = new QPushButton(QStringLiteral("リセット"), this);
    reset->setObjectName(QStringLiteral("reset"));
    bottom->addWidget(reset);
    bottom->addStretch();
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setEnabled(false);
    m_ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    bottom->addWidget(m_ok);
    bottom->addWidget(cancel);
    layout->addLayout(bottom);

    connect(add, &QPushButton::clicked, this, [this] {
        m_logic.add(m_removed->currentRow());
        showLists(-1);
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        m_logic.remove(m_shown->currentRow());
        showLists(-1);
    });
    connect(up, &QPushButton::clicked, this, [this] {
        const int at = m_shown->currentRow();
        const int moved = m_logic.moveUp(at);
        showLists(moved >= 0 ? moved : at);
    });
    connect(down, &QPushButton::clicked, this, [this] {
        const int at = m_shown->currentRow();
        const int moved = m_logic.moveDown(at);
        showLists(moved >= 0 ? moved : at);
    });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (m_logic.accept()) {
            accept();
        }
    });
    connect(reset, &QPushButton::clicked, this, [this] {
        if (m_logic.reset()) {
            accept();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    showLists(-1);
}

void CListDispSelectDlg::showLists(int shownSelected) {
    m_removed->clear();
    m_removed->addItems(m_logic.removed());
    m_shown->clear();
    m_shown->addItems(m_logic.shown());
    if (shownSelected >= 0 && shownSelected < m_shown->count()) {
        m_shown->setCurrentRow(shownSelected);
    }
    m_ok->setEnabled(m_logic.changed());
}
