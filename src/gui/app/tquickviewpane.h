#pragma once

#include "core/latestrequestworker.h"
#include "filewindow/quickview.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QMovie;
class QPlainTextEdit;

namespace zentrix {

class TQuickViewMedia;

/// What the quick view's worker finds for a file: the lines, and the picture
/// already read (reading a large picture takes time too).
struct QuickViewResult {
    std::string fileName;
    std::string hostPath;
    QuickViewContent content;
    QImage picture;
};

/// The quick-view pane below the statistics (pnQuickView): the information
/// lines of the current file and the start of text files in `meFileInfo`, or a
/// picture in `imgQuick`; `pnMedia` for the kinds a player takes.
///
/// What a file shows is found on a thread of its own (the information lines of
/// an archive or a network file may take a while), so that moving through the
/// files never waits for it; what arrives for a file the user has already left
/// is dropped.
class TQuickViewPane : public QWidget {
    Q_OBJECT
public:
    explicit TQuickViewPane(QWidget* parent = nullptr);
    ~TQuickViewPane() override;

    QPlainTextEdit* meFileInfo = nullptr;
    QLabel* imgQuick = nullptr;
    TQuickViewMedia* pnMedia = nullptr;
    /// Media files start playing as soon as they are shown (setting AutoPlay).
    bool AutoPlay = false;

    /// Shows what the quick view has for a file (its catalogue name and host
    /// path) once it is found; until then the pane is empty.
    void ShowFile(const std::string& fileName, const std::string& hostPath);
    void Clear();
    /// True while what a file shows is still being found.
    bool Searching() const;
    /// Called on the worker's thread before a file's information is looked
    /// for, with its catalogue name: tests pace the search with it.
    static inline std::function<void(const std::string& fileName)> OnSearchBegins;

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
    struct Request {
        std::string fileName;
        std::string hostPath;
    };
    void showResult(uint64_t ticket, const std::shared_ptr<QuickViewResult>& result);
    void showMedia(const std::string& fileName, const std::string& hostPath, bool media);
    void showAnimation(const std::string& fileName, const std::string& hostPath);
    void stopAnimation();

    bool m_fontChosen = false;
    QMovie* m_movie = nullptr;
    std::unique_ptr<LatestRequestWorker<Request, QuickViewResult>> m_worker;
};

} // namespace zentrix
