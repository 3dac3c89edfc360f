#pragma once

#include "operations/CMsgDelete.h"

#include <QDialog>

class CDelKindSetLogic;
class QPushButton;
class QTimer;

// "音声メッセージ消去": the deletion kind, on the unit only, on the unit and the PC, or on the PC only.
class CDelKindSetDlg : public QDialog {
    Q_OBJECT
public:
    CDelKindSetDlg(CDelKindSetLogic& logic, QWidget* parent);

    QPushButton* unitButton() const { return m_unit; }
    QPushButton* bothButton() const { return m_both; }
    QPushButton* pcButton() const { return m_pc; }
    // A kind button: 0 "ＺＵＮＯのみ", 1 "ＺＵＮＯとＰＣ", 2 "ＰＣのみ".
    void pressKind(CMsgDelete::Kind kind);
    // One tick of the 1000 ms timer.
    void tick();

private:
    void updateButtons();

    CDelKindSetLogic& m_logic;
    QPushButton* m_unit;
    QPushButton* m_both;
    QPushButton* m_pc;
    QTimer* m_timer;
};
