#pragma once

#include "platform/CProgressDlg.h"

// The "変換中" progress dialog of a convert or play run. It counts the files begun, takes the frame total of the
// file in hand and follows the decoder's frame count. "キャンセル" raises the program-wide cancel flag, which the
// decoder reads after every frame, and closes the dialog.
class CWavConvDlg : public CProgressDlg {
public:
    static inline const QString kTitle = QStringLiteral("変換中");

    CWavConvDlg(CUserInterface& ui, int files);

    void setStepTotal(long long total) override;
    void setStepDone(long long done) override;
    void nextFile() override;

    int files() const { return m_files; }
    int filesBegun() const { return m_begun; }

    static ProgressLook look(int files);

private:
    int m_files;
    int m_begun = 0;
    long long m_total = 0;
};
