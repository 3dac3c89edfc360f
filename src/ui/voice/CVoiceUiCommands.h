#pragma once

class CMainFrame;

// The voice commands of the frame: "変換" and "再生" of the active list's selected rows, "WAVファイルを消去する..."
// and the two conversion settings of the settings popup. It deletes the WAV files queued after playing when the
// program closes.
class CVoiceUiCommands {
public:
    explicit CVoiceUiCommands(CMainFrame& frame);
    ~CVoiceUiCommands();

private:
    void convert();
    void play();
    void wavDelete();

    CMainFrame& m_frame;
};
