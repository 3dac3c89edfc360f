#pragma once

#include "operations/CMsgCopy.h"
#include "platform/DlgOutcome.h"

#include <QDialog>

class CBoxTickList;
class CMsgCopyLogic;
class QLineEdit;

// "音声メッセージ移動・コピー": one target box folder, checked in one of two lists, and move or copy.
class CMsgCopyDlg : public QDialog {
    Q_OBJECT
public:
    CMsgCopyDlg(CMsgCopyLogic& logic, QWidget* parent);
    // Fills the lists and runs the dialog; a folder without box folders ends at once as cancelled.
    DlgOutcome run();
    bool prepare();

    CBoxTickList* answeringList() const { return m_answering; }
    CBoxTickList* extensionList() const { return m_extension; }
    // "移動" (0) or "コピー" (1).
    void pressKind(CMsgCopy::Kind kind);

private:
    CMsgCopyLogic& m_logic;
    QLineEdit* m_folder;
    CBoxTickList* m_answering;
    CBoxTickList* m_extension;
};
