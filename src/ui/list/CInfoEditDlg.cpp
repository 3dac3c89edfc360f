#include "ui/list/CInfoEditDlg.h"

#include "list/CInfoEditLogic.h"
#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"
#include "ui/list/CListImages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

namespace {
// The memo takes no more characters than its limit, as a single-line edit would.
void limitMemo(QPlainTextEdit* memo, int limit) {
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo, limit] {
        const QString text = memo->toPlainText();
        if (text.size() > limit) {
            const QSignalBlocker block(memo);
            memo->setPlainText(text.left(limit));
            memo->moveCursor(QTextCursor::End);
        }
    });
}

QLabel* picture(const QPixmap& pm, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setPixmap(pm);
    return l;
}
} // namespace

CInfoEditDlg::CInfoEditDlg(CInfoEditLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(QStringLiteral("録音情報編集"));
    setFont(CJapaneseFont::font(13));
    setMinimumWidth(520);
    const FILESTS_INFO& rec = logic.record();
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    int row = 0;
    auto label = [&](const QString& text) { grid->addWidget(new QLabel(text, this), row, 0); };
    auto readOnly = [&](const QString& title, const QString& value, const char* name) {
        label(title);
        auto* e = new QLineEdit(value, this);
        e->setReadOnly(true);
        e->setCursorPosition(0);
        e->setObjectName(QLatin1String(name));
        grid->addWidget(e, row++, 1, 1, 2);
        return e;
    };
    auto editable = [&](const QString& title, const QString& value, int limit, const char* name) {
        label(title);
        auto* e = new QLineEdit(this);
        e->setMaxLength(limit);
        e->setText(value);
        e->setObjectName(QLatin1String(name));
        grid->addWidget(e, row++, 1, 1, 2);
        return e;
    };
    const auto& entries = logic.entries();
    QLineEdit* fileName = readOnly(QStringLiteral("ファイル名"), logic.fileNameText(), "fileName");
    // The whole name shows: the dialog grows to it rather than cutting it.
    QStyleOptionFrame frame;
    frame.initFrom(fileName);
    const int textWidth = fileName->fontMetrics().horizontalAdvance(fileName->text());
    fileName->setMinimumWidth(fileName->style()
                                  ->sizeFromContents(QStyle::CT_LineEdit, &frame,
                                                     QSize(textWidth + 2 * 2, fileName->sizeHint().height()), fileName)
                                  .width() +
                              fileName->textMargins().left() + fileName->textMargins().right() + 4);
    readOnly(QStringLiteral("BOX番号"), FILESTS_INFO::text(rec.boxNo), "boxNo");
    readOnly(QStringLiteral("BOX名称"), FILESTS_INFO::text(rec.boxName), "boxName");
    m_title = editable(QStringLiteral("タイトル"), entries.title, CInfoEditLogic::TITLE_MAX, "title");
    m_callerNo = editable(QStringLiteral("相手番号"), entries.callerNo, CInfoEditLogic::CALLERNO_MAX, "callerNo");
    m_callerName =
        editable(QStringLiteral("相手名称"), entries.callerName, CInfoEditLogic::CALLERNAME_MAX, "callerName");
    readOnly(QStringLiteral("録音日時"), FILESTS_INFO::text(rec.recDateTime), "recDateTime");
    readOnly(QStringLiteral("録音時間"), FILESTS_INFO::text(rec.recTime), "recTime");

    label(QStringLiteral("再生／未再生"));
    auto* playedRow = new QHBoxLayout;
    playedRow->addWidget(
        picture(CListImages::editorPicture(rec.played != 0 ? CListImages::Played : CListImages::Unplayed), this));
    auto* played = new QLineEdit(logic.playedText(), this);
    played->setReadOnly(true);
    played->setObjectName(QStringLiteral("played"));
    playedRow->addWidget(played, 1);
    grid->addLayout(playedRow, row++, 1, 1, 2);

    label(QStringLiteral("取込"));
    auto* importRow = new QHBoxLayout;
    importRow->addWidget(picture(CListImages::editorPicture(CListImages::InfoPicture), this));
    if (rec.importStatus != 0) {
        importRow->addWidget(picture(CListImages::editorPicture(CListImages::PlusPicture), this));
        importRow->addWidget(picture(CListImages::editorPicture(CListImages::VoicePicture), this));
    }
    auto* import = new QLineEdit(logic.importText(), this);
    import->setReadOnly(true);
    import->setCursorPosition(0);
    import->setObjectName(QStringLiteral("import"));
    // The field only tells; it takes no mouse input.
    import->setAttribute(Qt::WA_TransparentForMouseEvents);
    import->setFocusPolicy(Qt::NoFocus);
    importRow->addWidget(import, 1);
    grid->addLayout(importRow, row++, 1, 1, 2);

    auto radioPair = [&](const QString& title, const QString& first, const QString& second, bool firstOn,
                         const char* name) {
        label(title);
        auto* a = new QRadioButton(first, this);
        auto* b = new QRadioButton(second, this);
        a->setObjectName(QLatin1String(name));
        auto* g = new QButtonGroup(this);
        g->addButton(a);
        g->addButton(b);
        (firstOn ? a : b)->setChecked(true);
        grid->addWidget(a, row, 1);
        grid->addWidget(b, row++, 2);
        return a;
    };
    m_protect = radioPair(QStringLiteral("保護／非保護"), QStringLiteral("保護"), QStringLiteral("非保護"),
                          entries.protect, "protect");
    m_flag = radioPair(QStringLiteral("フラグ"), QStringLiteral("あり"), QStringLiteral("なし"), entries.flag, "flag");

    label(QStringLiteral("メモ"));
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("memo"));
    m_memo->setPlainText(entries.memo);
    m_memo->setFixedHeight(60);
    // A tab means nothing in a memo; Tab moves on to OK as it does from every other field.
    m_memo->setTabChangesFocus(true);
    limitMemo(m_memo, CInfoEditLogic::MEMO_MAX);
    grid->addWidget(m_memo, row++, 1, 1, 2);
    layout->addLayout(grid);

    CDialogButtons::addOkCancel(*this, *layout, [this] { pressOk(); })->setObjectName(QStringLiteral("ok"));
}

void CInfoEditDlg::pressOk() {
    auto& e = m_logic.entries();
    e.title = m_title->text();
    e.callerNo = m_callerNo->text();
    e.callerName = m_callerName->text();
    e.memo = m_memo->toPlainText();
    e.protect = m_protect->isChecked();
    e.flag = m_flag->isChecked();
    if (m_logic.accept() == CInfoEditLogic::Outcome::Written) {
        accept();
    }
}
