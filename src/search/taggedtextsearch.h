#pragma once

#include <string>

namespace zentrix {

class AppState;
class Catalogue;
class FileWindow;
class Progress;
class Prompter;
struct Settings;
class TWDList;

/// What the tagged-files text search needs from the windows. Every call has a
/// harmless default; the search controller overrides them.
class TaggedSearchUi {
public:
    virtual ~TaggedSearchUi() = default;

    /// Shows the inline panel "Search files for text:" and focuses its box.
    virtual void showSearchPanel() {}
    virtual void closeSearchPanel() {}
    /// Adds the text to hbSearchStrings' history.
    virtual void addSearchHistory(const std::string&) {}
    /// The viewer's last search text, so that a viewer opened next finds it at once.
    virtual void setViewerSearchText(const std::string&) {}
    /// An entry of the file window lost its tag: it is shown when out of view.
    virtual void bringEntryIntoView(int /*index*/) {}
};

/// "Search ...": narrows the tagged files of the file window to those whose
/// contents hold a text. Runs on the main thread with the status line's
/// "STOP" and progress; the files are read by a ParallelContentSearch, so one
/// is read while the one before is matched, and the window's events are
/// processed between files. Unreadable files lose their tag; their texts are
/// shown together in one error box at the end.
class TaggedTextSearch {
public:
    TaggedTextSearch(Catalogue& catalogue, AppState& state, Settings& settings,
                     FileWindow& fileWindow, Prompter& prompter, Progress& progress);
    TaggedTextSearch(const TaggedTextSearch&) = delete;
    TaggedTextSearch& operator=(const TaggedTextSearch&) = delete;

    void SetUi(TaggedSearchUi* ui);
    /// The WatchDog that logs "Search file for text" (none: nothing is logged).
    void SetWatchDog(TWDList* watchDog) { m_watchDog = watchDog; }

    /// The menu command: nothing while a tagged-file operation runs; "There are
    /// no tagged files to operate with!     " with none; otherwise the panel.
    void SearchTaggedFilesForString();
    /// The panel's "&OK".
    void OK_SearchTaggedFilesForString(const std::string& text, bool ignoreCase);
    /// The panel's "&Cancel": it closes and the file window gets the focus.
    void CancelSearch();

    /// Files searched by the last run.
    int FilesSearched() const { return m_searched; }

private:
    int taggedEntries();

    Catalogue& m_cat;
    AppState& m_state;
    Settings& m_settings;
    FileWindow& m_fw;
    Prompter& m_prompter;
    Progress& m_progress;
    TaggedSearchUi m_noUi;
    TaggedSearchUi* m_ui = &m_noUi;
    TWDList* m_watchDog = nullptr;
    int m_searched = 0;
};

} // namespace zentrix
