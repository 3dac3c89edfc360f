#pragma once

#include "settings/CSelectCriteria.h"

#include <QString>

class CUserInterface;

// The decisions of the selection display dialog: its entries as the shared criteria preload them, the import
// check boxes that exclude each other, and the checks on "OK" that rebuild the criteria.
class CFindSetLogic {
public:
    enum ImportBox { ImportPlayed, ImportUnplayed, ImportErased, ImportInfoOnly, IMPORT_BOXES };
    static constexpr const char* DATE_MIN = "2009/01/01";
    static constexpr const char* DATE_MAX = "2099/12/31";

    // What the dialog shows. A radio pair's "first" choice is "再生済", "保護" and "あり".
    struct Form {
        bool dateOn = false;
        QString dateFrom; // YYYY/MM/DD; empty: the picker shows today
        QString dateTo;
        bool titleOn = false;
        QString title;
        bool boxNoOn = false;
        QString boxNo;
        bool boxNameOn = false;
        QString boxName;
        bool callerNoOn = false;
        QString callerNo;
        bool callerNameOn = false;
        QString callerName;
        bool playedOn = false;
        bool playedFirst = true;
        bool protectOn = false;
        bool protectFirst = true;
        bool importOn = false;
        bool importTicks[IMPORT_BOXES] = {false, false, false, false};
        bool flagOn = false;
        bool flagFirst = true;
        bool memoOn = false;
        QString memo;
        bool emptyCallsOn = false;
    };

    // criteria: the shared criteria; "OK" rebuilds them. folderText: download root + current folder name.
    CFindSetLogic(CSelectCriteria& criteria, CUserInterface& ui, const QString& folderText = QString());

    const QString& folderText() const { return m_folderText; }
    Form& form() { return m_form; }
    const Form& form() const { return m_form; }

    // Ticking "録音情報のみ" clears the other three; ticking one of those clears "録音情報のみ".
    void setImportTick(ImportBox box, bool ticked);

    // "OK": false after the message when an entry is refused (the entries stay as typed and the shared criteria
    // as they were); true when the criteria were rebuilt.
    bool accept();

    // Whether a text is a date of the pickers' range in their form.
    static bool isPickerDate(const QString& text);

private:
    CSelectCriteria& m_criteria;
    CUserInterface& m_ui;
    QString m_folderText;
    Form m_form;
};
