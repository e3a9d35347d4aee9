#pragma once

// How the main window takes this controller in (TMainForm):
//
//   // after the file window and the WatchDog exist (wireFileWindow):
//   m_copyMove = new CopyMoveController(m_cat, m_state, m_fileWindow->model(), *m_logger,
//                                       *m_watchDog, *FileOperator1, *m_prompter, *this,
//                                       *m_plugins, this);
//   for (TCopyMovePage* page : m_copyMove->pages())
//       ZenPageControl->addWidget(page);
//   // in buildCommands(): for (auto& [name, handler] : m_copyMove->commands()) ...
//   // the disk switches for "<" and ">": m_copyMove->prevDisk / nextDisk.
//
// A page shows itself in its page control (the QStackedWidget it was added to),
// making the control visible while it is up, and gives the control its earlier
// page and visibility back when it closes.

#include "gui/controls/strippage.h"
#include "ops/copymovecommands.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QStackedWidget;
class QWidget;

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class DiskLogger;
class FileWindow;
class PluginCalls;
class Prompter;
class TCopyMovePage;
class TFileOperator;
class TWDList;

/// Ties the copy and move commands (CopyMoveCommands) to the command strip:
/// the six prompt pages with their history boxes and aids (extended file
/// specification, folder chooser, favorites, previous and next logged disk).
/// Owns the model; the pages belong to the page control they are added to, or
/// to the controller's parent widget.
class CopyMoveController : public QObject, public CopyMoveUi {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    /// `parent` is the main window: dialogs open over it.
    CopyMoveController(Catalogue& catalogue, AppState& state, FileWindow& fileWindow,
                       DiskLogger& logger, TWDList& watchDog, TFileOperator& fileOperator,
                       Prompter& prompter, CatalogueUi& catalogueUi, PluginCalls& plugins,
                       QWidget* parent);
    ~CopyMoveController() override;

    CopyMoveCommands& model() { return *m_model; }
    const std::map<std::string, Command>& commands() const { return m_commands; }
    const std::vector<TCopyMovePage*>& pages() const { return m_pages; }
    TCopyMovePage* page(CopyMovePage page) const;
    /// The page that is up; none.
    TCopyMovePage* currentPage() const;

    /// The main window's disk switches ("<" and ">" in a "to" box).
    std::function<void()> prevDisk;
    std::function<void()> nextDisk;
    /// The number of logged disks (the previous disk needs two).
    std::function<int()> loggedDiskCount;
    /// The folder chooser: a host directory to start in, the chosen host
    /// directory back (none on Cancel). The default is the desktop's chooser.
    std::function<std::optional<std::string>(const std::string&)> chooseFolder;

    // --- CopyMoveUi ------------------------------------------------------------------
    void showPage(CopyMovePage page, const std::string& text, bool selectAll) override;
    void closePage() override;
    void addHistory(CopyMovePage page, const std::string& text) override;
    std::string recentHistory(CopyMovePage page) override;
    void setHourglass(bool on) override;

signals:
    void commandPageShown(QWidget* page);
    void commandPageClosed();

private:
    void browse(TCopyMovePage* page);
    void filesToClipboard(bool cut);
    void pasteFromClipboard();
    void favorites(TCopyMovePage* page);
    void switchDisk(TCopyMovePage* page, bool next);
    static QStackedWidget* pageControl(QWidget* page);

    std::unique_ptr<CopyMoveCommands> m_model;
    Catalogue& m_cat;
    PluginCalls& m_plugins;
    Prompter& m_prompter;
    QPointer<QWidget> m_owner;
    std::vector<TCopyMovePage*> m_pages;
    StripPage m_strip;
    std::map<std::string, Command> m_commands;
};

} // namespace zentrix
