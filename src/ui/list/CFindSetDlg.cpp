#include "ui/list/CFindSetDlg.h"

#include "list/CFindSetLogic.h"
#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
const QString kDateForm = QStringLiteral("yyyy/MM/dd");

QDate pickerDate(const QString& text) {
    const QDate d = QDate::fromString(text, kDateForm);
    const QDate min(2009, 1, 1);
    const QDate max(2099, 12, 31);
    if (!d.isValid()) {
        return std::clamp(QDate::currentDate(), min, max);
    }
    return std::clamp(d, min, max);
}
} // namespace

CFindSetDlg::CFindSetDlg(CFindSetLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(QStringLiteral("選択表示"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("フォルダ名"), this));
    auto* folder = new QLineEdit(logic.folderText(), this);
    folder->setReadOnly(true);
    folder->setObjectName(QStringLiteral("folder"));
    folderRow->addWidget(folder, 1);
    layout->addLayout(folderRow);

    auto* group = new QGroupBox(QStringLiteral("検索条件"), this);
    auto* grid = new QGridLayout(group);
    int row = 0;
    auto check = [&](const QString& label, const char* name) {
        auto* c = new QCheckBox(label, group);
        c->setObjectName(QLatin1String(name));
        grid->addWidget(c, row, 0);
        connect(c, &QCheckBox::toggled, this, &CFindSetDlg::enableControls);
        return c;
    };
    auto edit = [&](int limit, const char* name) {
        auto* e = new QLineEdit(group);
        e->setMaxLength(limit);
        e->setObjectName(QLatin1String(name));
        grid->addWidget(e, row, 1, 1, 3);
        ++row;
        return e;
    };
    auto date = [&](const char* name) {
        auto* d = new QDateEdit(group);
        d->setObjectName(QLatin1String(name));
        d->setDisplayFormat(kDateForm);
        d->setCalendarPopup(true);
        d->setMinimumDate(QDate(2009, 1, 1));
        d->setMaximumDate(QDate(2099, 12, 31));
        return d;
    };
    auto radios = [&](const QString& first, const QString& second, const char* n1, const char* n2) {
        auto* a = new QRadioButton(first, group);
        auto* b = new QRadioButton(second, group);
        a->setObjectName(QLatin1String(n1));
        b->setObjectName(QLatin1String(n2));
        auto* g = new QButtonGroup(group);
        g->addButton(a);
        g->addButton(b);
        grid->addWidget(a, row, 1);
        grid->addWidget(b, row, 2);
        ++row;
        return std::pair{a, b};
    };

    m_dateOn = check(QStringLiteral("日付"), "dateOn");
    m_from = date("dateFrom");
    m_to = date("dateTo");
    grid->addWidget(m_from, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("～"), group), row, 2, Qt::AlignCenter);
    grid->addWidget(m_to, row, 3);
    ++row;
    m_titleOn = check(QStringLiteral("タイトル"), "titleOn");
    m_title = edit(CSelectCriteria::TITLE_MAX, "title");
    m_boxNoOn = check(QStringLiteral("BOX番号"), "boxNoOn");
    m_boxNo = edit(CSelectCriteria::BOXNO_MAX, "boxNo");
    m_boxNameOn = check(QStringLiteral("BOX名称"), "boxNameOn");
    m_boxName = edit(CSelectCriteria::BOXNAME_MAX, "boxName");
    m_callerNoOn = check(QStringLiteral("相手番号"), "callerNoOn");
    m_callerNo = edit(CSelectCriteria::CALLERNO_MAX, "callerNo");
    m_callerNameOn = check(QStringLiteral("相手名称"), "callerNameOn");
    m_callerName = edit(CSelectCriteria::CALLERNAME_MAX, "callerName");
    m_playedOn = check(QStringLiteral("再生／未再生"), "playedOn");
    std::tie(m_played, m_unplayed) = radios(QStringLiteral("再生済"), QStringLiteral("未再生"), "played", "unplayed");
    m_protectOn = check(QStringLiteral("保護／非保護"), "protectOn");
    std::tie(m_protect, m_unprotect) = radios(QStringLiteral("保護"), QStringLiteral("非保護"), "protect", "unprotect");
    m_importOn = check(QStringLiteral("取込"), "importOn");
    const char* importNames[4] = {"importPlayed", "importUnplayed", "importErased", "importInfoOnly"};
    const QString importLabels[4] = {QStringLiteral("再生済"), QStringLiteral("未再生"), QStringLiteral("消去済"),
                                     QStringLiteral("録音情報のみ")};
    auto* importRow = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        m_import[i] = new QCheckBox(importLabels[i], group);
        m_import[i]->setObjectName(QLatin1String(importNames[i]));
        importRow->addWidget(m_import[i]);
        connect(m_import[i], &QCheckBox::toggled, this, [this, i](bool on) {
            m_logic.setImportTick(static_cast<CFindSetLogic::ImportBox>(i), on);
            showImportTicks();
        });
    }
    grid->addLayout(importRow, row, 1, 1, 3);
    ++row;
    m_flagOn = check(QStringLiteral("フラグ"), "flagOn");
    std::tie(m_flag, m_noFlag) = radios(QStringLiteral("あり"), QStringLiteral("なし"), "flag", "noFlag");
    m_memoOn = check(QStringLiteral("メモ"), "memoOn");
    m_memo = edit(CSelectCriteria::MEMO_MAX, "memo");
    m_emptyCallsOn = check(QStringLiteral("無言の着信（発話0.5秒未満）"), "emptyCallsOn");
    m_emptyCallsOn->setToolTip(QStringLiteral("音声データに話し声が0.5秒もないメッセージ（録音開始で切れた着信）"));
    ++row;
    layout->addWidget(group);

    CDialogButtons::addOkCancel(*this, *layout, [this] { pressOk(); })->setObjectName(QStringLiteral("ok"));

    // The shared criteria preload every control.
    const CFindSetLogic::Form& f = logic.form();
    m_dateOn->setChecked(f.dateOn);
    m_from->setDate(pickerDate(f.dateFrom));
    m_to->setDate(pickerDate(f.dateTo));
    m_titleOn->setChecked(f.titleOn);
    m_title->setText(f.title);
    m_boxNoOn->setChecked(f.boxNoOn);
    m_boxNo->setText(f.boxNo);
    m_boxNameOn->setChecked(f.boxNameOn);
    m_boxName->setText(f.boxName);
    m_callerNoOn->setChecked(f.callerNoOn);
    m_callerNo->setText(f.callerNo);
    m_callerNameOn->setChecked(f.callerNameOn);
    m_callerName->setText(f.callerName);
    m_playedOn->setChecked(f.playedOn);
    (f.playedFirst ? m_played : m_unplayed)->setChecked(true);
    m_protectOn->setChecked(f.protectOn);
    (f.protectFirst ? m_protect : m_unprotect)->setChecked(true);
    m_importOn->setChecked(f.importOn);
    showImportTicks();
    m_flagOn->setChecked(f.flagOn);
    (f.flagFirst ? m_flag : m_noFlag)->setChecked(true);
    m_memoOn->setChecked(f.memoOn);
    m_memo->setText(f.memo);
    m_emptyCallsOn->setChecked(f.emptyCallsOn);
    enableControls();
}

void CFindSetDlg::enableControls() {
    m_from->setEnabled(m_dateOn->isChecked());
    m_to->setEnabled(m_dateOn->isChecked());
    m_title->setEnabled(m_titleOn->isChecked());
    m_boxNo->setEnabled(m_boxNoOn->isChecked());
    m_boxName->setEnabled(m_boxNameOn->isChecked());
    m_callerNo->setEnabled(m_callerNoOn->isChecked());
    m_callerName->setEnabled(m_callerNameOn->isChecked());
    m_played->setEnabled(m_playedOn->isChecked());
    m_unplayed->setEnabled(m_playedOn->isChecked());
    m_protect->setEnabled(m_protectOn->isChecked());
    m_unprotect->setEnabled(m_protectOn->isChecked());
    for (QCheckBox* c : m_import) {
        c->setEnabled(m_importOn->isChecked());
    }
    m_flag->setEnabled(m_flagOn->isChecked());
    m_noFlag->setEnabled(m_flagOn->isChecked());
    m_memo->setEnabled(m_memoOn->isChecked());
}

void CFindSetDlg::showImportTicks() {
    for (int i = 0; i < 4; ++i) {
        const QSignalBlocker block(m_import[i]);
        m_import[i]->setChecked(m_logic.form().importTicks[i]);
    }
}

void CFindSetDlg::takeEntries() {
    CFindSetLogic::Form& f = m_logic.form();
    f.dateOn = m_dateOn->isChecked();
    f.dateFrom = m_from->date().toString(kDateForm);
    f.dateTo = m_to->date().toString(kDateForm);
    f.titleOn = m_titleOn->isChecked();
    f.title = m_title->text();
    f.boxNoOn = m_boxNoOn->isChecked();
    f.boxNo = m_boxNo->text();
    f.boxNameOn = m_boxNameOn->isChecked();
    f.boxName = m_boxName->text();
    f.callerNoOn = m_callerNoOn->isChecked();
    f.callerNo = m_callerNo->text();
    f.callerNameOn = m_callerNameOn->isChecked();
    f.callerName = m_callerName->text();
    f.playedOn = m_playedOn->isChecked();
    f.playedFirst = m_played->isChecked();
    f.protectOn = m_protectOn->isChecked();
    f.protectFirst = m_protect->isChecked();
    f.importOn = m_importOn->isChecked();
    f.flagOn = m_flagOn->isChecked();
    f.flagFirst = m_flag->isChecked();
    f.memoOn = m_memoOn->isChecked();
    f.memo = m_memo->text();
    f.emptyCallsOn = m_emptyCallsOn->isChecked();
}

void CFindSetDlg::pressOk() {
    takeEntries();
    if (m_logic.accept()) {
        accept();
    }
}
