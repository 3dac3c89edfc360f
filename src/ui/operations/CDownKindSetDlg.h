#pragma once

#include <QDialog>

class CDownKindSetLogic;
class QPushButton;
class QTimer;

// "ダウンロード種別": the bulk download's kind, voice and information or information only.
class CDownKindSetDlg : public QDialog {
    Q_OBJECT
public:
    CDownKindSetDlg(CDownKindSetLogic& logic, QWidget* parent);

    QPushButton* voiceButton() const { return m_voice; }
    QPushButton* infoButton() const { return m_info; }
    // A download button: kind 0 "録音情報と音声ファイル", kind 1 "録音情報のみ".
    void pressDownload(int kind);

private:
    void updateButtons();

    CDownKindSetLogic& m_logic;
    QPushButton* m_voice;
    QPushButton* m_info;
    QTimer* m_timer;
};
