#include "list/CFindSetLogic.h"

#include "platform/CCommonTexts.h"
#include "platform/CCp932.h"
#include "platform/CUserInterface.h"
#include "store/FILESTS_INFO.h"

#include <QDate>

namespace {

// A byte of the CP932 form that begins a double-byte character.
bool hasDoubleByte(const QString& text) {
    for (const char b : CCp932::fromUnicode(text)) {
        const auto u = static_cast<unsigned char>(b);
        if ((u >= 0x81 && u <= 0x9F) || (u >= 0xE0 && u <= 0xFC)) {
            return true;
        }
    }
    return false;
}
} // namespace

CFindSetLogic::CFindSetLogic(CSelectCriteria& criteria, CUserInterface& ui, const QString& folderText)
    : m_criteria(criteria), m_ui(ui), m_folderText(folderText) {
    const CSelectCriteria& c = criteria;
    Form& f = m_form;
    f.dateOn = c.dateOn != 0;
    if (f.dateOn) {
        f.dateFrom = FILESTS_INFO::text(c.dateFrom);
        f.dateTo = FILESTS_INFO::text(c.dateTo);
    }
    f.titleOn = c.titleOn != 0;
    f.title = FILESTS_INFO::text(c.title);
    f.boxNoOn = c.boxNoOn != 0;
    f.boxNo = FILESTS_INFO::text(c.boxNo);
    f.boxNameOn = c.boxNameOn != 0;
    f.boxName = FILESTS_INFO::text(c.boxName);
    f.callerNoOn = c.callerNoOn != 0;
    f.callerNo = FILESTS_INFO::text(c.callerNo);
    f.callerNameOn = c.callerNameOn != 0;
    f.callerName = FILESTS_INFO::text(c.callerName);
    f.memoOn = c.memoOn != 0;
    f.memo = FILESTS_INFO::text(c.memo);
    f.emptyCallsOn = c.emptyCalls != 0;
    f.playedOn = c.played != CSelectCriteria::ANY;
    f.playedFirst = !f.playedOn || c.played == 1;
    f.protectOn = c.protect != CSelectCriteria::ANY;
    f.protectFirst = !f.protectOn || c.protect == 1;
    f.flagOn = c.flag != CSelectCriteria::ANY;
    f.flagFirst = !f.flagOn || c.flag == 1;
    f.importOn = c.import != CSelectCriteria::IMPORT_ANY;
    if (f.importOn) {
        const auto ticks = CSelectCriteria::importTicks(c.import);
        for (int i = 0; i < IMPORT_BOXES; ++i) {
            f.importTicks[i] = ticks[static_cast<size_t>(i)];
        }
    }
}

void CFindSetLogic::setImportTick(ImportBox box, bool ticked) {
    m_form.importTicks[box] = ticked;
    if (!ticked) {
        return;
    }
    if (box == ImportInfoOnly) {
        m_form.importTicks[ImportPlayed] = m_form.importTicks[ImportUnplayed] = m_form.importTicks[ImportErased] =
            false;
    } else {
        m_form.importTicks[ImportInfoOnly] = false;
    }
}

bool CFindSetLogic::isPickerDate(const QString& text) {
    if (text.size() != 10) {
        return false;
    }
    const QDate d = QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
    return d.isValid() && text >= QLatin1String(DATE_MIN) && text <= QLatin1String(DATE_MAX);
}

bool CFindSetLogic::accept() {
    const Form& f = m_form;
    // Only the texts of ticked criteria are taken, but every edit is checked as typed.
    const bool refused = CCp932::byteLength(f.title) > CSelectCriteria::TITLE_MAX ||
                         CCp932::byteLength(f.boxNo) > CSelectCriteria::BOXNO_MAX || hasDoubleByte(f.boxNo) ||
                         CCp932::byteLength(f.boxName) > CSelectCriteria::BOXNAME_MAX ||
                         CCp932::byteLength(f.callerNo) > CSelectCriteria::CALLERNO_MAX ||
                         CCp932::byteLength(f.callerName) > CSelectCriteria::CALLERNAME_MAX ||
                         CCp932::byteLength(f.memo) > CSelectCriteria::MEMO_MAX;
    if (refused) {
        m_ui.messageBox(CCommonTexts::InputError(), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return false;
    }
    // Built aside: a refusal below leaves the shared criteria as they were.
    CSelectCriteria c = CSelectCriteria::initial();
    if (f.dateOn) {
        if (f.dateFrom > f.dateTo) {
            m_ui.messageBox(QStringLiteral("日付範囲指定に異常があります。"), CCommonTexts::ErrorCaption(),
                            MsgIcon::Exclamation);
            return false;
        }
        FILESTS_INFO::setText(c.dateFrom, f.dateFrom);
        FILESTS_INFO::setText(c.dateTo, f.dateTo);
        c.dateOn = 1;
    }
    auto text = [](bool on, const QString& value, int32_t& flag, auto& field) {
        if (on) {
            FILESTS_INFO::setText(field, value);
            flag = 1;
        }
    };
    text(f.titleOn, f.title, c.titleOn, c.title);
    text(f.boxNoOn, f.boxNo, c.boxNoOn, c.boxNo);
    text(f.boxNameOn, f.boxName, c.boxNameOn, c.boxName);
    text(f.callerNoOn, f.callerNo, c.callerNoOn, c.callerNo);
    text(f.callerNameOn, f.callerName, c.callerNameOn, c.callerName);
    text(f.memoOn, f.memo, c.memoOn, c.memo);
    if (f.playedOn) {
        c.played = f.playedFirst ? 1 : 0;
    }
    if (f.protectOn) {
        c.protect = f.protectFirst ? 1 : 0;
    }
    if (f.flagOn) {
        c.flag = f.flagFirst ? 1 : 0;
    }
    if (f.importOn) {
        c.import = static_cast<uint8_t>(
            CSelectCriteria::importCode(f.importTicks[ImportPlayed], f.importTicks[ImportUnplayed],
                                        f.importTicks[ImportErased], f.importTicks[ImportInfoOnly]));
    }
    c.emptyCalls = f.emptyCallsOn ? 1 : 0;
    if (!c.anyUsed()) {
        m_ui.messageBox(CCommonTexts::NothingSelected(), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return false;
    }
    m_criteria = c;
    return true;
}
