#pragma once

#include "core/latestrequestworker.h"
#include "filewindow/quickview.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QPlainTextEdit;

namespace zentrix {

/// What the quick view's worker finds for a file: the lines, and the picture
/// already read (reading a large picture takes time too).
struct QuickViewResult {
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
    QWidget* pnMedia = nullptr;

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
    /// True once the user chose a font (it is then kept with the settings).
    bool fontChosen() const { return m_fontChosen; }
    void setFontChosen(bool chosen) { m_fontChosen = chosen; }

signals:
    /// The pane's popup (pmQView) at a global position.
    void popupRequested(const QPoint& globalPos);

private:
    struct Request {
        std::string fileName;
        std::string hostPath;
    };
    void showResult(uint64_t ticket, const std::shared_ptr<QuickViewResult>& result);

    bool m_fontChosen = false;
    std::unique_ptr<LatestRequestWorker<Request, QuickViewResult>> m_worker;
};

} // namespace zentrix
