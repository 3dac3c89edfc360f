#pragma once

#include "platform/CProgressDlg.h"

// The "書き出し中" progress window of an audio export: the files begun of the run and the frames of the file in
// hand. "キャンセル" and Esc raise the program-wide cancel flag, which the export reads between two chunks.
class CAudioExportDlg : public CProgressDlg {
public:
    static inline const QString kTitle = QStringLiteral("書き出し中");

    CAudioExportDlg(CUserInterface& ui, int files);

    void setStepTotal(long long total) override;
    void setStepDone(long long done) override;
    void nextFile() override;

private:
    int m_files;
    int m_begun = 0;
    long long m_total = 0;
};
