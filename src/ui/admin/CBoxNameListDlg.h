#pragma once

#include <QDialog>

class CEditListCtrl;
class CEditListState;
class QLineEdit;

// The box-name list dialog both kinds of box names share: the target folder, the "留守録BOX" and "内線BOX" lists
// to edit, OK/キャンセル. What OK does with the lists is the subclass's (register the names, rename the folders).
class CBoxNameListDlg : public QDialog {
    Q_OBJECT
public:
    CEditListCtrl* list(bool answeringMachine) const { return answeringMachine ? m_rusuroku : m_naisen; }
    QLineEdit* folderField() const { return m_folder; }
    // Takes a cell's open edit into its list first, so what is typed is what OK handles.
    void pressOk();

protected:
    enum class Close { StayOpen, Done };

    // The lists edit the logic's list states in place; the logic must have been opened.
    CBoxNameListDlg(const QString& title, const QString& targetFolder, CEditListState& rusuroku, CEditListState& naisen,
                    QWidget* parent);
    // OK pressed with every edit committed: whether the dialog stays or ends, and how.
    virtual Close ok() = 0;
    // How the logic's "OK" ends the dialog: done (names written or folders renamed) as done; anything else, a "いいえ"
    // to the question included, keeps it open with what was typed.
    template <class Ok> static Close closeAfter(Ok ok, Ok done) { return ok == done ? Close::Done : Close::StayOpen; }

private:
    QLineEdit* m_folder;
    CEditListCtrl* m_rusuroku;
    CEditListCtrl* m_naisen;
};
