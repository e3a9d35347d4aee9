#include "gui/view/tquickviewmedia.h"

#include "gui/controls/a11y.h"

#include <QAudioOutput>
#include <QHBoxLayout>
#include <QMediaPlayer>
#include <QProgressBar>
#include <QToolButton>
#include <QUrl>
#include <QVideoWidget>

namespace zentrix {

TQuickViewMedia::TQuickViewMedia(QWidget* parent) : QWidget(parent) {
    NameComponent(this, "pnMedia", "Media player");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    btnPlay = new QToolButton(this);
    NameComponent(btnPlay, "btnPlay", "Play");
    btnPlay->setText("Play");
    btnPlay->setIcon(QIcon::fromTheme("media-playback-start"));
    btnStop = new QToolButton(this);
    NameComponent(btnStop, "btnStop", "Stop");
    btnStop->setText("Stop");
    btnStop->setIcon(QIcon::fromTheme("media-playback-stop"));
    pbMedia = new QProgressBar(this);
    NameComponent(pbMedia, "pbMedia", "Playing position");
    pbMedia->setTextVisible(false);
    pbMedia->setRange(0, 0);
    pbMedia->setMaximum(1);
    layout->addWidget(btnPlay);
    layout->addWidget(btnStop);
    layout->addWidget(pbMedia, 1);
    connect(btnPlay, &QToolButton::clicked, this, &TQuickViewMedia::btnPlayClick);
    connect(btnStop, &QToolButton::clicked, this, &TQuickViewMedia::btnStopClick);
}

TQuickViewMedia::~TQuickViewMedia() {
    closePlayer();
}

void TQuickViewMedia::setFile(const std::string& hostPath, bool video) {
    btnStopClick();
    m_file = hostPath;
    m_video = video;
}

QVideoWidget* TQuickViewMedia::videoDisplay() {
    if (!m_display) {
        m_display = new QVideoWidget(parentWidget());
        NameComponent(m_display, "vwMedia", "Video");
        m_display->hide();
    }
    return m_display;
}

bool TQuickViewMedia::playing() const {
    return m_player && m_player->playbackState() == QMediaPlayer::PlayingState;
}

void TQuickViewMedia::btnPlayClick() {
    if (!isVisible() || m_file.empty())
        return;
    closePlayer();
    m_player = new QMediaPlayer(this);
    m_audio = new QAudioOutput(this);
    m_player->setAudioOutput(m_audio);
    if (m_video)
        m_player->setVideoOutput(videoDisplay());
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
        if (error != QMediaPlayer::NoError)
            failed();
    });
    connect(m_player, &QMediaPlayer::durationChanged, this, [this](qint64 ms) {
        pbMedia->setMaximum(static_cast<int>(std::max<qint64>(1, ms / 10)));
    });
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::InvalidMedia)
            failed();
    });
    m_player->setSource(QUrl::fromLocalFile(QString::fromStdString(m_file)));
    if (!m_player) // the source alone could fail
        return;
    pbMedia->setMaximum(static_cast<int>(std::max<qint64>(1, m_player->duration() / 10)));
    m_player->play();
    if (m_player && onStarted)
        onStarted(m_video);
}

void TQuickViewMedia::failed() {
    closePlayer();
    if (onWarn)
        onWarn("Error playing file!     ");
}

void TQuickViewMedia::btnStopClick() {
    if (!m_player)
        return;
    m_player->stop(); // errors while stopping are of no interest
    closePlayer();
}

void TQuickViewMedia::closePlayer() {
    if (!m_player)
        return;
    QMediaPlayer* player = m_player;
    m_player = nullptr;
    player->disconnect(this);
    player->stop();
    player->deleteLater();
    if (m_audio)
        m_audio->deleteLater();
    m_audio = nullptr;
    pbMedia->setValue(0);
    if (m_display)
        m_display->hide();
    if (onStopped)
        onStopped();
}

void TQuickViewMedia::MediaTimerTimer() {
    pbMedia->setValue(playing() ? static_cast<int>(m_player->position() / 10) : 0);
}

} // namespace zentrix
