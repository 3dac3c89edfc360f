#pragma once

#include "platform/CProgressDlg.h"

// The "変換中" progress dialog of a convert or play run. It counts the files begun (1125), takes the frame total
// of the file in hand (1128) and follows the decoder's frame count (1124). "キャンセル" raises the program-wide
// cancel flag, which the decoder reads after every frame, and closes the dialog.
class CWavConvDlg : public CProgressDlg {
public:
    static inline const QString kTitle = QStringLiteral("変換中");

    CWavConvDlg(CUserInterface& ui, int files);

    void post(int msg, long long wParam = 0, long long lParam = 0) override;

    int files() const { return m_files; }
    int filesBegun() const { return m_begun; }
    long long frameTotal() const { return m_total; }

    static ProgressSpec look(int files);

private:
    int m_files;
    int m_begun = 0;
    long long m_total = 0;
};
