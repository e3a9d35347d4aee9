#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QTimer;

namespace zentrix {

class AppState;
class Catalogue;
class DiskLogger;
class FileWindowController;
class LiveCatalogue;
class THETreeView;
struct Settings;

/// Brings the changes on disk into the catalogue as they settle: the
/// watcher's worker asks for a pass on the main thread, and the pass waits
/// while anything that holds records runs (an operation, a fill, a question,
/// an open menu). Tells the follower which directories are on screen, so that
/// they keep their watches when watches run short.
class LiveController : public QObject {
    Q_OBJECT
public:
    LiveController(Catalogue& catalogue, DiskLogger& logger, const Settings& settings,
                   AppState& state, THETreeView* tree, FileWindowController& fileWindow,
                   QObject* parent = nullptr);
    ~LiveController() override;

    LiveCatalogue& live() { return *m_live; }
    /// "Follow changes on disk" as the settings say now.
    void applySettings();
    /// The directories on screen may have changed (selection, scrolling, a fill).
    void screenChanged();

signals:
    /// Changes from the disk reached the catalogue (and the windows).
    void applied();
    /// Something for the status line.
    void hint(const QString& text);

private:
    bool mayApplyNow() const;
    void tryApply();
    void updateOnScreen();

    Catalogue& m_cat;
    const Settings& m_settings;
    AppState& m_state;
    THETreeView* m_tree;
    FileWindowController& m_fileWindow;
    std::unique_ptr<LiveCatalogue> m_live;
    QTimer* m_retry;
    QTimer* m_screen;
};

} // namespace zentrix
