#pragma once

#include <QWidget>
#include <functional>
#include <string>

class QAudioOutput;
class QMediaPlayer;
class QProgressBar;
class QToolButton;
class QVideoWidget;

namespace zentrix {

/// The media panel of the quick view (pnMedia): play and stop buttons and the
/// progress gauge. The player is made when first needed; video is shown in a
/// display that takes the text box's place while it plays.
class TQuickViewMedia : public QWidget {
    Q_OBJECT
public:
    explicit TQuickViewMedia(QWidget* parent = nullptr);
    ~TQuickViewMedia() override;

    QToolButton* btnPlay = nullptr;
    QToolButton* btnStop = nullptr;
    QProgressBar* pbMedia = nullptr;

    /// The file the panel plays (host path); a video kind shows its picture.
    void setFile(const std::string& hostPath, bool video);
    const std::string& file() const { return m_file; }
    /// The video display (the pane puts it where the text box is).
    QVideoWidget* videoDisplay();

    void btnPlayClick();
    void btnStopClick();
    /// The gauge follows the position while playing (the 250 ms timer).
    void MediaTimerTimer();
    bool playerOpen() const { return m_player != nullptr; }
    bool playing() const;
    QMediaPlayer* player() const { return m_player; }

    /// "Error playing file!     " goes here.
    std::function<void(const std::string&)> onWarn;
    /// Playback started (with video) and the player was closed.
    std::function<void(bool video)> onStarted;
    std::function<void()> onStopped;

private:
    void closePlayer();
    void failed();

    std::string m_file;
    bool m_video = false;
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_audio = nullptr;
    QVideoWidget* m_display = nullptr;
};

} // namespace zentrix
