#pragma once

#include "voice/CMeasureRun.h"
#include "voice/CVoicePlayer.h"

#include <QWidget>

#include <memory>

class CLevelStrip;
class CListDispView;
class CVoiceOutput;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QToolButton;

// The player bar under a list: plays the selected row's voice data in place, with seek, speed, volume, the next
// unplayed message and going on to it when a message ends. A message heard here is marked played as "再生"
// marks it, and the list shows it.
class CPlayerBar : public QWidget {
    Q_OBJECT
public:
    // Up to this length a message not measured yet is measured as it is loaded (a few tens of milliseconds);
    // a longer one in the background.
    static constexpr int MEASURE_AT_ONCE_FRAMES = 12000;

    explicit CPlayerBar(CListDispView& view, QWidget* parent = nullptr);
    ~CPlayerBar() override;

    // Another sound output (tests); the default is the desktop's sound device.
    void useOutput(std::unique_ptr<CVoiceOutput> output);
    CVoicePlayer& player() { return *m_player; }
    // The one-line message of the bar (no voice data, damage, no device); empty when all is well.
    QString messageText() const;

    // The buttons' actions.
    void togglePlay();
    void stop();
    void playNextUnplayed();
    // "最初から": plays the loaded message from its start and forgets where it was left.
    void playFromStart();
    // The list's selection changed: a message not being heard follows it.
    void selectionChanged();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    // Space in the list plays and pauses while the bar is shown.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Loads the selected row unless it is the one loaded; false when nothing playable is selected.
    bool loadSelected();
    bool load(int row);
    void startPlaying();
    void onMarked(CVoicePlayer::MarkResult result, const FILESTS_INFO& row);
    void onStateChanged();
    void refresh();
    void say(const QString& text);
    // The loaded message's figures (measured now unless its folder's cache holds them) and where it was left.
    void prepareLoaded();
    // Keeps where the loaded message is left, in its folder's cache, for the next time it is played.
    void rememberPosition();
    int rowOfLoaded() const;

    CListDispView& m_view;
    std::unique_ptr<CVoiceOutput> m_output;
    std::unique_ptr<CVoicePlayer> m_player;
    QString m_loadedPath;
    qint64 m_loadedSize = 0;
    qint64 m_loadedMtime = 0;
    QString m_damageText;
    bool m_seeking = false;

    QToolButton* m_play;
    QToolButton* m_stop;
    QSlider* m_seek;
    QLabel* m_time;
    CLevelStrip* m_strip;
    QComboBox* m_speed;
    QSlider* m_volume;
    QPushButton* m_next;
    QCheckBox* m_continue;
    QCheckBox* m_level;
    QCheckBox* m_skipSilence;
    QPushButton* m_fromStart;
    // A long message not measured yet is measured between events; its figures apply once they are known.
    CMeasureRun m_measureLong;
    QLabel* m_message;
};
