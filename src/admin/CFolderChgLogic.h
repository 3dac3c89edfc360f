#pragma once

#include "admin/CFolderRows.h"

#include <QList>

class CKeldaSettings;

// "フォルダ変更": switches the folder the program works on.
class CFolderChgLogic {
public:
    explicit CFolderChgLogic(CKeldaSettings& doc) : m_doc(doc) {}
    void open();
    const QList<CFolderRows::Row>& rows() const { return m_rows; }
    // Both buttons work exactly while a row is selected.
    void select(int row) { m_selected = (row >= 0 && row < m_rows.size()) ? row : -1; }
    int selected() const { return m_selected; }
    bool buttonsEnabled() const { return m_selected >= 0; }
    // "フォルダ変更": the current folder, and the folder of the slot the next list window takes. True: end OK.
    bool change();
    // After a rename through the name dialog.
    void renamed() { open(); }

private:
    CKeldaSettings& m_doc;
    QList<CFolderRows::Row> m_rows;
    int m_selected = -1;
};
