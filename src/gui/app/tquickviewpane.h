#pragma once

#include <QWidget>
#include <string>

class QLabel;
class QMovie;
class QPlainTextEdit;

namespace zentrix {

class TQuickViewMedia;

/// The quick-view pane below the statistics (pnQuickView): the information
/// lines of the current file and the start of text files in `meFileInfo`, or a
/// picture in `imgQuick`; `pnMedia` for the kinds a player takes.
class TQuickViewPane : public QWidget {
    Q_OBJECT
public:
    explicit TQuickViewPane(QWidget* parent = nullptr);

    QPlainTextEdit* meFileInfo = nullptr;
    QLabel* imgQuick = nullptr;
    TQuickViewMedia* pnMedia = nullptr;
    /// Media files start playing as soon as they are shown (setting AutoPlay).
    bool AutoPlay = false;

    /// Shows what the quick view has for a file (its catalogue name and host path).
    void ShowFile(const std::string& fileName, const std::string& hostPath);
    void Clear();

    void pmiQViewCopyClick();
    void pmiQViewAppendToClipboardClick();
    void pmiQViewFontClick();
    /// The picture shown, to the clipboard (opening the picture's popup).
    void CopyPictureToClipboard();
    /// Media: play, stop (also whenever the file window is left) and the gauge.
    void btnPlayClick();
    void btnStopClick();
    void MediaTimerTimer();
    /// The running animation of a GIF picture (none otherwise).
    QMovie* movie() const { return m_movie; }
    /// True once the user chose a font (it is then kept with the settings).
    bool fontChosen() const { return m_fontChosen; }
    void setFontChosen(bool chosen) { m_fontChosen = chosen; }

signals:
    /// The pane's popup (pmQView) at a global position.
    void popupRequested(const QPoint& globalPos);
    /// The picture's popup (pmImgQuick).
    void picturePopupRequested(const QPoint& globalPos);
    /// Esc in the text box: the focus goes back to the file window.
    void escapePressed();
    /// Media playback started or stopped (the main window runs its media timer).
    void playbackChanged(bool playing);
    /// A message for the user ("Error playing file!     ").
    void warning(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMedia(const std::string& fileName, const std::string& hostPath, bool media);
    void showAnimation(const std::string& fileName, const std::string& hostPath);
    void stopAnimation();

    bool m_fontChosen = false;
    QMovie* m_movie = nullptr;
};

} // namespace zentrix
