#include "ui/list/CPlayerBar.h"

#include "audio/CAudioDeviceOutput.h"
#include "list/CListPlayOrder.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CLevelStrip.h"
#include "ui/list/CListDispView.h"
#include "voice/CVoiceMeasureCache.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kNoVoice = QStringLiteral("この行は録音情報だけで、音声データがありません。");
const QString kUnreadable = QStringLiteral("音声ファイルを読めません。");
const QString kNoDevice = QStringLiteral("音声の出力装置がないため試聴できません（「再生」は使えます）。");
const QString kMarkFailed = QStringLiteral("再生済みの記録をファイルに書き込めませんでした。");
const QString kOneRow = QStringLiteral("試聴するメッセージを一つだけ選んでください。");
const QString kNoneUnplayed = QStringLiteral("この後に未再生のメッセージはありません。");

} // namespace

CPlayerBar::CPlayerBar(CListDispView& view, QWidget* parent) : QWidget(parent), m_view(view) {
    setObjectName(QStringLiteral("playerBar"));
    m_play = new QToolButton(this);
    m_play->setObjectName(QStringLiteral("play"));
    m_play->setToolTip(QStringLiteral("再生／一時停止 (Space)"));
    m_stop = new QToolButton(this);
    m_stop->setObjectName(QStringLiteral("stop"));
    m_stop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    m_stop->setToolTip(QStringLiteral("停止"));
    m_seek = new QSlider(Qt::Horizontal, this);
    m_seek->setObjectName(QStringLiteral("seek"));
    m_time = new QLabel(this);
    m_time->setObjectName(QStringLiteral("time"));
    m_strip = new CLevelStrip(this);
    m_speed = new QComboBox(this);
    m_speed->setObjectName(QStringLiteral("speed"));
    for (double s : CVoicePlayer::SPEEDS) {
        m_speed->addItem(QStringLiteral("%1×").arg(s), s);
    }
    m_speed->setCurrentIndex(1);
    m_speed->setToolTip(QStringLiteral("速度（音の高さは変わりません）"));
    m_volume = new QSlider(Qt::Horizontal, this);
    m_volume->setObjectName(QStringLiteral("volume"));
    m_volume->setRange(0, 100);
    m_volume->setValue(100);
    m_volume->setMaximumWidth(80);
    m_volume->setToolTip(QStringLiteral("音量"));
    m_next = new QPushButton(QStringLiteral("次の未再生"), this);
    m_next->setObjectName(QStringLiteral("next"));
    m_continue = new QCheckBox(QStringLiteral("続けて再生"), this);
    m_continue->setObjectName(QStringLiteral("continue"));
    m_level = new QCheckBox(QStringLiteral("音量を揃える"), this);
    m_level->setObjectName(QStringLiteral("level"));
    m_level->setChecked(true);
    m_level->setToolTip(QStringLiteral("どのメッセージも -18 LUFS の大きさで再生します（最大 +20 dB、"
                                       "音の最大値が割れない範囲まで）"));
    m_skipSilence = new QCheckBox(QStringLiteral("無音を飛ばす"), this);
    m_skipSilence->setObjectName(QStringLiteral("skipSilence"));
    m_skipSilence->setToolTip(QStringLiteral("話し声のない 0.5 秒を超える間を 0.3 秒に縮めて再生します"));
    m_fromStart = new QPushButton(QStringLiteral("最初から"), this);
    m_fromStart->setObjectName(QStringLiteral("fromStart"));
    m_fromStart->setToolTip(QStringLiteral("途中で止めたメッセージを初めから再生します"));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("message"));

    // The list window is not erased before it paints (it paints all of its list itself): the bar fills its own
    // ground, or rows scrolled away and other windows would show through it.
    setAutoFillBackground(true);
    // A click on a control leaves the keys with the list: the arrows move the rows, never the speed or the volume
    // behind the user's back. Tab reaches the controls, where the arrows then work on purpose.
    for (QWidget* w : std::initializer_list<QWidget*>{m_play, m_stop, m_seek, m_speed, m_volume, m_next, m_continue,
                                                      m_level, m_skipSilence, m_fromStart}) {
        w->setFocusPolicy(Qt::TabFocus);
    }

    auto* controls = new QHBoxLayout;
    controls->setContentsMargins(0, 0, 0, 0);
    controls->addWidget(m_play);
    controls->addWidget(m_stop);
    // Before the slider, which gives them its room: what lies right of it stays where it was.
    controls->addWidget(m_fromStart);
    controls->addWidget(m_level);
    controls->addWidget(m_skipSilence);
    controls->addWidget(m_seek, 1);
    controls->addWidget(m_time);
    controls->addWidget(m_speed);
    controls->addWidget(new QLabel(QStringLiteral("音量"), this));
    controls->addWidget(m_volume);
    controls->addWidget(m_next);
    controls->addWidget(m_continue);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    layout->addWidget(m_strip);
    layout->addLayout(controls);
    layout->addWidget(m_message);

    useOutput(std::make_unique<CAudioDeviceOutput>());

    connect(m_play, &QToolButton::clicked, this, &CPlayerBar::togglePlay);
    connect(m_stop, &QToolButton::clicked, this, &CPlayerBar::stop);
    connect(m_next, &QPushButton::clicked, this, &CPlayerBar::playNextUnplayed);
    connect(m_fromStart, &QPushButton::clicked, this, &CPlayerBar::playFromStart);
    m_measureLong.setMayWork([this] { return isEnabled() && QApplication::activeModalWidget() == nullptr; });
    connect(&m_measureLong, &CMeasureRun::measured, this, [this](const QString& path, const CVoiceMeasure::Figures& f) {
        if (path == m_loadedPath && m_player->totalFrames() > 0) {
            m_player->setFigures(f);
        }
    });
    connect(m_level, &QCheckBox::toggled, this, [this](bool on) { m_player->setLevelling(on); });
    connect(m_skipSilence, &QCheckBox::toggled, this, [this](bool on) { m_player->setSkipSilence(on); });
    connect(m_strip, &CLevelStrip::playRequested, this, &CPlayerBar::togglePlay);
    connect(m_strip, &CLevelStrip::seekRequested, this, [this](double f) {
        m_player->seekToFrame(static_cast<int>(f * m_player->totalFrames()));
        refresh();
    });
    connect(m_seek, &QSlider::sliderPressed, this, [this] { m_seeking = true; });
    connect(m_seek, &QSlider::sliderReleased, this, [this] {
        m_seeking = false;
        m_player->seekToFrame(m_seek->value());
        refresh();
    });
    connect(m_seek, &QSlider::actionTriggered, this, [this](int action) {
        // Page and arrow steps of the slider seek at once; a drag seeks where it is let go.
        if (action != QAbstractSlider::SliderMove) {
            m_player->seekToFrame(m_seek->sliderPosition());
        }
    });
    connect(m_speed, &QComboBox::currentIndexChanged, this,
            [this] { m_player->setSpeed(m_speed->currentData().toDouble()); });
    connect(m_volume, &QSlider::valueChanged, this, [this](int v) { m_player->setVolume(v / 100.0); });
    m_view.list()->installEventFilter(this);
    connect(m_view.list()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CPlayerBar::selectionChanged);
    refresh();
}

CPlayerBar::~CPlayerBar() {
    rememberPosition();
    // The player hands its last samples to the output: it goes first.
    m_player.reset();
}

void CPlayerBar::useOutput(std::unique_ptr<CVoiceOutput> output) {
    m_player.reset();
    m_output = std::move(output);
    m_player = std::make_unique<CVoicePlayer>(*m_output);
    m_player->setSpeed(m_speed->currentData().toDouble());
    m_player->setVolume(m_volume->value() / 100.0);
    m_player->setLevelling(m_level->isChecked());
    m_player->setSkipSilence(m_skipSilence->isChecked());
    m_loadedPath.clear();
    m_strip->levels = [this](int columns) { return m_player->stream().levels(columns); };
    connect(m_player.get(), &CVoicePlayer::positionChanged, this, &CPlayerBar::refresh);
    connect(m_player.get(), &CVoicePlayer::stateChanged, this, &CPlayerBar::onStateChanged);
    connect(m_player.get(), &CVoicePlayer::marked, this, &CPlayerBar::onMarked);
}

QString CPlayerBar::messageText() const {
    return m_message->text();
}

void CPlayerBar::say(const QString& text) {
    m_message->setText(text);
    m_message->setVisible(!text.isEmpty());
}

int CPlayerBar::rowOfLoaded() const {
    const CListModel& model = m_view.model();
    for (int row = 0; row < model.rowCount(); ++row) {
        if (FILESTS_INFO::text(model.recordAt(row).filePath) == m_loadedPath) {
            return row;
        }
    }
    return -1;
}

bool CPlayerBar::load(int row) {
    const CListModel& model = m_view.model();
    if (row < 0 || row >= model.rowCount()) {
        return false;
    }
    const FILESTS_INFO rec = model.recordAt(row);
    const QString path = FILESTS_INFO::text(rec.filePath);
    qint64 size = 0;
    qint64 mtime = 0;
    CVoiceMeasureCache::stamp(path, size, mtime);
    // The same message as loaded, unless another run replaced its file meanwhile (its voice data downloaded, say).
    if (path == m_loadedPath && size == m_loadedSize && mtime == m_loadedMtime &&
        m_player->state() != CVoicePlayer::State::Empty) {
        return true;
    }
    rememberPosition();
    m_loadedPath = path;
    m_loadedSize = size;
    m_loadedMtime = mtime;
    m_damageText.clear();
    switch (m_player->open(rec)) {
    case CVoicePlayer::OpenResult::Ready:
        say(QString());
        break;
    case CVoicePlayer::OpenResult::Damaged:
        m_damageText = m_player->totalFrames() > 0 ? QStringLiteral("音声データは %1 から先が壊れています。")
                                                         .arg(CVoicePlayer::clockText(m_player->durationMs()))
                                                   : QStringLiteral("音声データが壊れていて再生できません。");
        say(m_damageText);
        break;
    case CVoicePlayer::OpenResult::NoVoiceData:
        say(kNoVoice);
        break;
    case CVoicePlayer::OpenResult::Unreadable:
        say(kUnreadable);
        break;
    }
    prepareLoaded();
    refresh();
    return m_player->state() != CVoicePlayer::State::Empty;
}

bool CPlayerBar::loadSelected() {
    const std::vector<int> rows = m_view.list()->selectedRowNumbers();
    if (rows.size() != 1) {
        return m_player->state() != CVoicePlayer::State::Empty;
    }
    return load(rows.front());
}

void CPlayerBar::selectionChanged() {
    const CVoicePlayer::State s = m_player->state();
    if (s == CVoicePlayer::State::Paused) {
        // The paused message stays loaded, but it is kept where it was left should the window close meanwhile.
        rememberPosition();
    }
    if (s == CVoicePlayer::State::Playing || s == CVoicePlayer::State::Paused) {
        return;
    }
    loadSelected();
}

void CPlayerBar::startPlaying() {
    if (!m_player->play()) {
        say(kNoDevice);
    }
    refresh();
}

void CPlayerBar::togglePlay() {
    switch (m_player->state()) {
    case CVoicePlayer::State::Playing:
        m_player->pause();
        break;
    case CVoicePlayer::State::Paused:
        startPlaying();
        break;
    default:
        if (loadSelected()) {
            startPlaying();
        } else if (m_view.list()->selectedRowNumbers().size() > 1) {
            say(kOneRow);
        }
        break;
    }
    refresh();
}

void CPlayerBar::stop() {
    // Stopped part-way, the message plays on from a little before here the next time.
    const int leftAt = m_player->positionFrame();
    const bool finished = m_player->state() == CVoicePlayer::State::Finished;
    m_player->stop();
    if (!finished) {
        m_player->seekToFrame(CVoicePlayer::resumeFrameFor(leftAt, m_player->totalFrames()));
    }
    rememberPosition();
    refresh();
}

void CPlayerBar::playFromStart() {
    if (m_player->state() == CVoicePlayer::State::Empty && !loadSelected()) {
        return;
    }
    m_player->seekToFrame(0);
    rememberPosition();
    if (m_player->state() != CVoicePlayer::State::Playing) {
        startPlaying();
    }
    refresh();
}

void CPlayerBar::prepareLoaded() {
    if (m_player->totalFrames() == 0) {
        return;
    }
    const QString folder = QFileInfo(m_loadedPath).absolutePath();
    CVoiceMeasureCache cache(folder);
    cache.load();
    m_measureLong.stop();
    if (const auto kept = cache.valid(m_loadedPath)) {
        m_player->setFigures(*kept);
    } else if (m_player->totalFrames() > MEASURE_AT_ONCE_FRAMES) {
        m_measureLong.start({m_loadedPath});
    } else if (const auto figures = cache.measure(m_loadedPath)) {
        m_player->setFigures(*figures);
    }
    const int resumeAt = cache.resumeFrame(m_loadedPath);
    // A cache that cannot be written costs the next time a measurement, nothing more.
    cache.save();
    if (resumeAt > 0 && resumeAt < m_player->totalFrames()) {
        m_player->seekToFrame(resumeAt);
        say(QStringLiteral("前回止めた所の少し前（%1）から再生します。「最初から」で初めから再生します。")
                .arg(CVoicePlayer::clockText(m_player->positionMs())));
    }
}

void CPlayerBar::rememberPosition() {
    if (!m_player || m_loadedPath.isEmpty() || m_player->totalFrames() == 0) {
        return;
    }
    const CVoicePlayer::State s = m_player->state();
    int resumeAt = 0;
    if (s == CVoicePlayer::State::Playing || s == CVoicePlayer::State::Paused) {
        resumeAt = CVoicePlayer::resumeFrameFor(m_player->positionFrame(), m_player->totalFrames());
    } else if (s == CVoicePlayer::State::Stopped) {
        // A stopped message stands where it resumes (see stop()).
        resumeAt = m_player->positionFrame();
    }
    CVoiceMeasureCache cache(QFileInfo(m_loadedPath).absolutePath());
    cache.load();
    if (cache.resumeFrame(m_loadedPath) == resumeAt) {
        return;
    }
    cache.setResumeFrame(m_loadedPath, resumeAt);
    cache.save();
}

void CPlayerBar::playNextUnplayed() {
    const CListModel& model = m_view.model();
    int after = rowOfLoaded();
    if (after < 0) {
        const std::vector<int> rows = m_view.list()->selectedRowNumbers();
        after = rows.empty() ? -1 : rows.front();
    }
    const int next = CListPlayOrder::nextUnplayed(
        model.rowCount(), after, [&model](int row) -> const FILESTS_INFO& { return model.recordAt(row); });
    if (next < 0) {
        say(kNoneUnplayed);
        return;
    }
    // The message left for the next one resumes where it was left.
    rememberPosition();
    m_loadedPath.clear();
    m_player->stop();
    m_view.list()->selectRow(next);
    if (load(next)) {
        startPlaying();
    }
}

void CPlayerBar::onMarked(CVoicePlayer::MarkResult result, const FILESTS_INFO&) {
    if (result == CVoicePlayer::MarkResult::WriteFailed) {
        say(kMarkFailed);
        return;
    }
    if (result == CVoicePlayer::MarkResult::Written) {
        // The row, its icon and the counts of the status line show the mark, as after "再生".
        m_view.reload(CListModel::Sort::Keep, CListModel::Columns::Same);
    }
}

void CPlayerBar::onStateChanged() {
    if (m_player->state() == CVoicePlayer::State::Finished) {
        rememberPosition(); // heard to its end: the next time from the start
    }
    if (m_player->state() == CVoicePlayer::State::Finished && m_continue->isChecked()) {
        // After the player's step is over: going on opens another message.
        QTimer::singleShot(0, this, [this] {
            if (m_player->state() == CVoicePlayer::State::Finished) {
                playNextUnplayed();
            }
        });
    }
    refresh();
}

void CPlayerBar::refresh() {
    const CVoicePlayer::State s = m_player->state();
    const bool loaded = s != CVoicePlayer::State::Empty;
    const bool playing = s == CVoicePlayer::State::Playing;
    m_play->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    m_play->setEnabled(loaded || m_view.list()->selectedRowNumbers().size() == 1);
    m_stop->setEnabled(loaded && s != CVoicePlayer::State::Stopped);
    m_seek->setEnabled(loaded);
    m_fromStart->setEnabled(loaded || m_view.list()->selectedRowNumbers().size() == 1);
    m_seek->setRange(0, std::max(0, m_player->totalFrames()));
    if (!m_seeking) {
        m_seek->setValue(m_player->positionFrame());
    }
    m_time->setText(QStringLiteral("%1 / %2").arg(CVoicePlayer::clockText(m_player->positionMs()),
                                                  CVoicePlayer::clockText(m_player->durationMs())));
    m_strip->setPosition(
        loaded && m_player->totalFrames() > 0 ? double(m_player->positionFrame()) / m_player->totalFrames() : -1.0);
    m_strip->update();
}

void CPlayerBar::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space) {
        togglePlay();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool CPlayerBar::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_view.list() && e->type() == QEvent::KeyPress && isVisible()) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Space && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            togglePlay();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}
