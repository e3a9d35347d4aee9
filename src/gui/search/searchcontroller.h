#pragma once

// How the main window takes this controller in (TMainForm):
//
//   // after the file window, the status line and both page controls exist:
//   m_search = new SearchController(m_cat, m_state, m_settings, m_drives, *m_logger,
//                                   m_fileWindow->model(), *m_prompter, *MainStatusBar,
//                                   *m_plugins, this);
//   m_search->setWatchDog(&watchDog());
//   m_search->setTreeWidget(MainTreeView);
//   m_search->setFileList(m_fileWindow->MainListBox);
//   m_search->installPages(DirPageControl, ZenPageControl);
//   m_search->treePanelVisible = [this] { return pnMainTreeView->isVisible(); };
//   // in buildCommands(): every command of m_search->commands().
//   // in the destructor, with the other controllers: delete m_search.
//
// The "Info" and "Finder" pages join the tree page in DirPageControl (whose
// tab bar then shows); the "Search ..." page joins the command strip.

#include "search/dirinfoui.h"
#include "search/finderui.h"
#include "search/taggedtextsearch.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QStackedWidget;
class QTabWidget;
class QWidget;

namespace zentrix {

namespace platform {
class DriveTable;
}
class AppState;
class Catalogue;
class DiskLogger;
class FileWindow;
class MainThreadBridge;
class PluginCalls;
class Progress;
class Prompter;
struct Settings;
class TDirInfoPage;
class TDirInfoThread;
class TFileFinderThread;
class TFinderPage;
class THistoryComboBox;
class TSearchStringsPage;
class TVirtualListBox;
class TWDList;

/// The finder, the directory statistics and the text search of tagged files
/// in the main window: their pages, commands and workers. The workers reach
/// the pages only through a MainThreadBridge; the controller closes it and
/// waits for them before it goes. Owns the pages until they are installed.
class SearchController : public QObject, private FinderUi, private TaggedSearchUi {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    /// `window` is the main window: dialogs open over it, drops on its file
    /// window are watched.
    SearchController(Catalogue& catalogue, AppState& state, Settings& settings,
                     const platform::DriveTable& drives, DiskLogger& logger, FileWindow& fileWindow,
                     Prompter& prompter, Progress& progress, PluginCalls& plugins, QWidget* window);
    ~SearchController() override;

    TFinderPage* finderPage() const;
    TDirInfoPage* dirInfoPage() const;
    TSearchStringsPage* searchStringsPage() const;
    TaggedTextSearch& taggedSearch() { return *m_tagged; }

    /// The "Info" and "Finder" pages after the tree page; the "Search ..." page
    /// in the command strip.
    void installPages(QTabWidget* dirPageControl, QStackedWidget* zenPageControl);
    void setWatchDog(TWDList* watchDog);
    void setTreeWidget(QWidget* tree) { m_tree = tree; }
    void setFileList(TVirtualListBox* list);

    /// FindFile, SearchTaggedFilesForString, miDirStatisticsClick, pmiDirInfoClick.
    const std::map<std::string, Command>& commands() const { return m_commands; }

    // --- commands and buttons ------------------------------------------------------
    /// The Finder page, set to the directory selected in the tree.
    void FindFile();
    void btnFindFileClick();
    void btnFindFillResultsClick();
    void btnScanClick();
    void pmiDirInfoClick();
    void miDirStatisticsClick();
    void SearchTaggedFilesForString();

    /// True while a finder or statistics thread object exists (until its end
    /// has been handled).
    bool finderAlive() const { return m_finder != nullptr; }
    bool dirInfoAlive() const { return m_dirInfo != nullptr; }
    /// The text the built-in viewer should look for next ("Search ..." sets it).
    const std::string& viewerSearchText() const { return m_viewerSearchText; }

    // --- what the main window tells -----------------------------------------------
    std::function<bool()> treePanelVisible;
    /// Shows a file in the built-in viewer; without it the desktop's program opens it.
    std::function<void(const std::string& fullName)> viewFile;
    /// Given to each finder run (TFileFinderThread::OnDirectoryEntered).
    std::function<void(const std::string& path)> onFinderDirectory;
    /// The viewer's next search text (see TaggedSearchUi::setViewerSearchText).
    std::function<void(const std::string& text)> onViewerSearchText;
    /// Puts a line on the status line (the end of a search is told there).
    std::function<void(const std::string& text)> showStatus;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // FinderUi
    void OnStatus(int state) override;
    void ShowDirectory(const std::string& text) override;
    std::string DirectoryText() override;
    void AddResults(const std::vector<std::string>& fullNames, int count) override;
    void ShowCount(int count) override;
    void TurboOff() override;
    void CannotScan(const std::string& text) override;
    void OnTerminate() override;
    // TaggedSearchUi
    void showSearchPanel() override;
    void closeSearchPanel() override;
    void addSearchHistory(const std::string& text) override;
    void setViewerSearchText(const std::string& text) override;
    void bringEntryIntoView(int index) override;

    /// The statistics thread's side of the page (its calls have the same
    /// names as the finder's).
    class DirInfoSide;
    void wireFinderPage();
    void startFind();
    void finderStatus(int state);
    void finderDone();
    void finderPageShown();
    void dirInfoStatus(int state);
    void dirInfoDone();
    void pageChanged();
    void selectDisksOfStartDirs();
    void fillDiskList();
    void disksReleased();
    void browseStartDir();
    void browsePatterns();
    void boxLeft(THistoryComboBox* box);
    void openResult(bool view);
    void dragResults();
    bool finderPageActive() const;
    bool infoPageActive() const;
    bool isTreePanelVisible() const;
    void restoreFileWindow();
    /// The end of a worker: "Aborted. Partial results displayed.     ", the
    /// sound, or `doneText`, as the window's state asks.
    void completion(bool aborted, bool pageActive, const std::string& doneText);
    void setTabIcon(QWidget* page, bool running);

    Catalogue& m_cat;
    AppState& m_state;
    Settings& m_settings;
    const platform::DriveTable& m_drives;
    DiskLogger& m_logger;
    FileWindow& m_fw;
    Prompter& m_prompter;
    Progress& m_progress;
    PluginCalls& m_plugins;
    QPointer<QWidget> m_window;
    std::unique_ptr<TaggedTextSearch> m_tagged;
    std::unique_ptr<DirInfoSide> m_dirInfoSide;
    MainThreadBridge* m_bridge = nullptr;
    std::unique_ptr<TFileFinderThread> m_finder;
    std::unique_ptr<TDirInfoThread> m_dirInfo;
    bool m_finderAborted = false;
    bool m_dirInfoAborted = false;
    bool m_statisticsRunning = false; // "&Statistics ..." walks its branch

    QPointer<TFinderPage> m_finderPage;
    QPointer<TDirInfoPage> m_infoPage;
    QPointer<TSearchStringsPage> m_stringsPage;
    QPointer<QTabWidget> m_dirPages;
    QPointer<QStackedWidget> m_commandStrip;
    QPointer<QWidget> m_tree;
    QPointer<TVirtualListBox> m_fileList;
    QPointer<QWidget> m_stripPageBefore;
    bool m_stripWasVisible = false;
    bool m_panelUp = false;
    QIcon m_runIcon;
    QIcon m_stopIcon;
    std::string m_viewerSearchText;
    std::map<std::string, Command> m_commands;
};

} // namespace zentrix
