#pragma once

#include "platform/CProgressDlg.h"

// The download progress window ("ダウンロード中"): a text line, a "current／total" counter, a bar and
// "キャンセル", which sets the program's cancel flag and leaves the window open. The FTP client and the decoder
// find it by its title and send it the reports below.
class CPrgFileDwnDlg : public CProgressDlg {
public:
    enum Report : int {
        Position = 1124,    // n: bar to n, or to the end when n is out of range (-1 fills the bar)
        NextMessage = 1125, // counter + 1 (not past the total), bar to 0
        Downloading = 1126, // text back to downloading, range 0..100
        Converting = 1127,  // text to converting
        FileSize = 1128,    // n: range 0..n (0..100 when n <= 0); the decoder's frame total lands here too
        FileStep = 1130,    // counter shown and put on the bar, then advanced
    };

    static inline const QString kTitle = QStringLiteral("ダウンロード中");

    explicit CPrgFileDwnDlg(CUserInterface& ui);

    void post(int msg, long long wParam = 0, long long lParam = 0) override;

    void setCounterTotal(int total) { m_total = total; }
    // current + 1 and the counter text shown, as the set-up of a run does.
    void advanceCounter();
    int counterTotal() const { return m_total; }
    int counterCurrent() const { return m_current; }

private:
    void showCounter();
    int m_total = 0;
    int m_current = 0;
};
