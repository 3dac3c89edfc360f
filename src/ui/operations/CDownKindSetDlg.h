#pragma once

#include <QDialog>

#include <functional>

class CDownKindSetLogic;
class CDownloadStartLogic;
class QBoxLayout;
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

    // The row both download dialogs end with: the two kinds ("録音情報と音声ファイル" the default) and "キャンセル".
    // A confirmation follows a kind before anything is downloaded. Sets voice and info to the kinds' buttons. Above
    // it, the choice to bring back the messages deleted on the PC alone, kept in logic.
    static void addKindRow(QDialog& dialog, QBoxLayout& layout, CDownloadStartLogic& logic,
                           std::function<void(int kind)> press, QPushButton*& voice, QPushButton*& info);

private:
    void updateButtons();

    CDownKindSetLogic& m_logic;
    QPushButton* m_voice;
    QPushButton* m_info;
    QTimer* m_timer;
};
