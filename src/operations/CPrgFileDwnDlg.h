#pragma once

#include "platform/CProgressDlg.h"

// The download progress window ("ダウンロード中"): a text line, a "current／total" counter, a bar and
// "キャンセル", which sets the program's cancel flag and leaves the window open saying that the download is stopping
// (Esc and the title bar's close ask the same). The download run hands it to the
// FTP client and the decoder, whose reports it shows:
// - step total n: range 0..n (0..100 when n <= 0); kilobytes of a voice file, or the decoder's frame total
// - step done n: bar to n, or to the end when n is out of range (-1 fills the bar)
// - next file: counter + 1 (not past the total), bar to 0
// - phase: the text of downloading (range back to 0..100) or of converting, bar to 0
// - file counted: counter shown and put on the bar, then advanced
class CPrgFileDwnDlg : public CProgressDlg {
public:
    static inline const QString kTitle = QStringLiteral("ダウンロード中");
    static inline const QString kStoppingText = QStringLiteral("ダウンロードを中止しています。");

    explicit CPrgFileDwnDlg(CUserInterface& ui);

    void setStepTotal(long long total) override;
    void setStepDone(long long done) override;
    void nextFile() override;
    void setPhase(Phase phase) override;
    void countFile() override;
    void messageReceived() override { ++m_received; }

    // "キャンセル" (or Esc, or the close box): the cancel flag is set, the window says at once that the download
    // is stopping and the button greys; what the transfer still reports does not take that back.
    void requestCancel();
    bool cancelRequested() const { return m_cancelRequested; }
    // Messages (information files, for a run counted by files) this run brought from the unit.
    int received() const { return m_received; }

    void setCounterTotal(int total) { m_total = total; }
    // current + 1 and the counter text shown, as the set-up of a run does.
    void advanceCounter();
    int counterCurrent() const { return m_current; }

private:
    void showCounter();
    int m_total = 0;
    int m_current = 0;
    int m_received = 0;
    bool m_cancelRequested = false;
};
