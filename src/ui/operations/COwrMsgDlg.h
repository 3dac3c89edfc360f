#pragma once

#include "operations/CMsgCopy.h"

#include <QDialog>

// "ﾌｧｲﾙ上書きの確認": whether a file that already exists in the target box folder is replaced.
class COwrMsgDlg : public QDialog {
    Q_OBJECT
public:
    COwrMsgDlg(const QString& fileName, QWidget* parent);

    // The answer of the last run; "キャンセル" (also the Esc key and the close box) when none was given.
    OverwriteAnswer answer() const { return m_answer; }
    void press(OverwriteAnswer answer);

    // Shows the question modally and returns the answer.
    static OverwriteAnswer ask(const QString& fileName, QWidget* parent);

protected:
    // The letters of the buttons answer without Alt, as in every other question of the program.
    void keyPressEvent(QKeyEvent* event) override;

private:
    OverwriteAnswer m_answer = OverwriteAnswer::Cancel;
};
