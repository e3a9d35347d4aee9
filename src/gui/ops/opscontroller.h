#pragma once

// How the main window takes this controller in (TMainForm), after the tagging
// controller, whose attributes page the attribute change shares:
//
//   m_ops = new OpsController(m_cat, m_state, m_fileWindow->model(), *m_prompter,
//                             *MainStatusBar, *m_watchDog, *this, *m_plugins,
//                             *m_tagging, this);
//   m_ops->installPages(ZenPageControl);
//   m_ops->attachTree(*m_treeCommands);
//   // in buildCommands():
//   for (const auto& [name, handler] : m_ops->commands())
//       m_commands[name] = handler;

#include "gui/controls/strippage.h"
#include "gui/ops/tcommandprompt.h"
#include "ops/filechanges.h"
#include "ops/localdatetime.h"

#include <QCalendarWidget>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QStackedWidget;
class QWidget;

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class FileWindow;
class PluginCalls;
class Progress;
class Prompter;
class TaggingController;
class TreeCommands;
class TWDList;

/// The windows of renaming, attributes and the date and time of files: the
/// prompt pages ts_FC_RenameFile (hbRenameFile1), ts_FC_RenameTagged
/// (hbRenameFile2) and ts_FC_DateTime (hbDateTime) of the command strip, the
/// attributes page of the tagging controller in its attribute-change mode, the
/// rename boxes' F2 (extended file specification through Utils.so) and F3
/// (case cycle), and the date box's calendar (F2). Owns the FileChanges
/// rules; the pages belong to the page control they are installed in.
class OpsController : public QObject, public FileChangesUi {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    /// `parent` is the main window: dialogs and the calendar open over it.
    OpsController(Catalogue& catalogue, AppState& state, FileWindow& fileWindow, Prompter& prompter,
                  Progress& progress, TWDList& watchDog, CatalogueUi& ui, PluginCalls& plugins,
                  TaggingController& tagging, QWidget* parent);
    ~OpsController() override;

    FileChanges& model() { return *m_model; }
    const std::map<std::string, Command>& commands() const { return m_commands; }

    /// Adds the three prompt pages to the command strip.
    void installPages(QStackedWidget* control);
    /// The tree's label edit asks the WatchDog which directories are
    /// protected (the directory operations log its renames).
    void attachTree(TreeCommands& tree);
    TCommandPrompt* renameFilePage() const { return m_renameFile; }
    TCommandPrompt* renameTaggedPage() const { return m_renameTagged; }
    TCommandPrompt* dateTimePage() const { return m_dateTime; }
    /// The calendar pop-up while it is open.
    QCalendarWidget* calendar() const { return m_calendar; }

    // --- FileChangesUi -------------------------------------------------------------
    void showPrompt(ChangePrompt prompt, const std::string& caption,
                    const std::optional<std::string>& text) override;
    void closePrompt(ChangePrompt prompt) override;
    void addHistory(ChangePrompt prompt, const std::string& text) override;

private:
    TCommandPrompt* page(ChangePrompt prompt) const;
    void extendedFileSpec(TCommandPrompt* page);
    void cycleCase(TCommandPrompt* page);
    void showCalendar();

    std::unique_ptr<DateTimeTexts> m_dates;
    std::unique_ptr<FileChanges> m_model;
    Catalogue& m_cat;
    PluginCalls& m_plugins;
    TaggingController& m_tagging;
    TWDList& m_wd;
    QPointer<QWidget> m_owner;
    QPointer<TCommandPrompt> m_renameFile;
    QPointer<TCommandPrompt> m_renameTagged;
    QPointer<TCommandPrompt> m_dateTime;
    QPointer<QStackedWidget> m_control;
    QPointer<QWidget> m_calendarFrame;
    QPointer<QCalendarWidget> m_calendar;
    StripPage m_strip; // the prompt that is up
    std::map<std::string, Command> m_commands;
};

} // namespace zentrix
