#pragma once

#include "voice/CMailAttach.h"

#include <QString>

class CMainFrame;

// The voice commands of the frame: "変換" and "再生" of the active list's selected rows, "WAVファイルを消去する...",
// the two conversion settings of the settings popup, and the passing on of the selected messages: "音声を書き出す..."
// into a chosen folder and "メールで送る". It deletes the WAV files queued after playing when the program closes.
class CVoiceUiCommands {
public:
    explicit CVoiceUiCommands(CMainFrame& frame);
    ~CVoiceUiCommands();

    // The mail program's launch; tests point it at a stand-in.
    CMailAttach::Setup mailSetup;
    // Where "メールで送る" puts the files it attaches: a new folder below this one per mail.
    QString mailFolderRoot;

private:
    void convert();
    void play();
    void wavDelete();
    void exportAudio();
    void mailAudio();

    CMainFrame& m_frame;
    // The folder the last export went to: the chooser opens there the next time.
    QString m_exportFolder;
};
