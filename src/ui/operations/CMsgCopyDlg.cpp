#include "ui/operations/CMsgCopyDlg.h"

#include "operations/CMsgCopyLogic.h"
#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"
#include "ui/operations/CBoxTickList.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CMsgCopyDlg::CMsgCopyDlg(CMsgCopyLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(QStringLiteral("音声メッセージ移動・コピー"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);

    const CBoxTickList::Frame frame = CBoxTickList::addFrame(*this, *layout);
    m_folder = frame.folder;
    QGroupBox* boxGroup = frame.boxGroup;
    QHBoxLayout* lists = frame.lists;
    auto makeList = [&](const QString& title, bool extension) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(title, boxGroup));
        CBoxTickList::Access a;
        const auto rows = [this, extension]() -> const QList<CMsgCopyLogic::Row>& {
            return extension ? m_logic.extension() : m_logic.answering();
        };
        a.count = [rows] { return static_cast<int>(rows().size()); };
        a.boxNo = [rows](int i) { return rows()[i].boxNo; };
        a.ticked = [rows](int i) { return rows()[i].checked; };
        // One check at most over both lists: the other list is redrawn as well.
        a.toggle = [this, extension](int i) {
            m_logic.check(extension, i);
            (extension ? m_answering : m_extension)->refresh();
        };
        auto* list = new CBoxTickList(a, QString(), boxGroup);
        list->setColumnWidth(0, 45);
        list->setMinimumSize(170, 220);
        column->addWidget(list);
        lists->addLayout(column);
        return list;
    };
    m_answering = nullptr;
    m_extension = nullptr;
    m_answering = makeList(QStringLiteral("留守録BOX"), false);
    m_extension = makeList(QStringLiteral("内線BOX"), true);
    layout->addWidget(boxGroup);

    // A confirmation follows; copying leaves the messages where they are.
    CDialogButtons::addChoices(*this, *layout,
                               {{QStringLiteral("移動"), [this] { pressKind(CMsgCopy::Kind::Move); }},
                                {QStringLiteral("コピー"), [this] { pressKind(CMsgCopy::Kind::Copy); }}},
                               1);
}

bool CMsgCopyDlg::prepare() {
    if (m_logic.open() == DlgOutcome::EndCancel) {
        return false;
    }
    m_folder->setText(m_logic.folderPath());
    m_answering->refresh();
    m_extension->refresh();
    return true;
}

DlgOutcome CMsgCopyDlg::run() {
    return prepare() && exec() == QDialog::Accepted ? DlgOutcome::EndOk : DlgOutcome::EndCancel;
}

void CMsgCopyDlg::pressKind(CMsgCopy::Kind kind) {
    if (m_logic.choose(kind) == DlgOutcome::EndOk) {
        accept();
    }
}
