#pragma once

#include <QString>

class CKeldaSettings;
class CUserInterface;

// "起動時のフォルダ指定": which folder the next start opens, the last one or a chosen one.
class CFolderSetLogic {
public:
    CFolderSetLogic(CUserInterface& ui, CKeldaSettings& doc) : m_ui(ui), m_doc(doc) {}

    void open();
    bool specified() const { return m_specified; }
    // "設定" and the folder field are usable.
    bool chooserEnabled() const { return m_chooser; }
    const QString& field() const { return m_field; }

    void selectPrevious();
    void selectSpecified();
    // The choice list ended with OK on a row: its full path goes into the field.
    void chosen(const QString& fullPath) { m_field = fullPath; }
    // OK: true when the dialog closes.
    bool ok();

private:
    CUserInterface& m_ui;
    CKeldaSettings& m_doc;
    bool m_specified = false;
    bool m_chooser = false;
    QString m_field;
};
