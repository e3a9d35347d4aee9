#pragma once

// How the main window takes this controller in (TMainForm):
//
//   // tmainform.h: a member beside m_fileWindow
//   TaggingController* m_tagging = nullptr;
//   // at the end of wireFileWindow() (the file window and the page control exist):
//   m_tagging = new TaggingController(m_cat, m_state, m_settings, m_fileWindow->model(),
//                                     *m_prompter, *m_plugins, this);
//   m_tagging->setTreeWidget(MainTreeView);
//   m_tagging->setFileListWidget(m_fileWindow->MainListBox);
//   ZenPageControl->addWidget(m_tagging->fileAttrPage()); // ts_FC_FileAttr
//   // at the end of buildCommands(), so that wireMenus() registers them:
//   for (const auto& [name, handler] : m_tagging->commands())
//       m_commands[name] = handler;
//   // in fileCommandRequested(), for the file window's numeric-pad keys:
//   case FileCommand::ToggleFileTags:
//   case FileCommand::TagFilesSpecial:
//   case FileCommand::UnTagFilesSpecial:
//       m_tagging->fileCommand(static_cast<FileCommand>(command));
//       break;
//
// The attributes page shows itself in its page control (the QStackedWidget it
// was added to), making the control visible while it is up, and gives the
// control its earlier page and visibility back when it closes. The attribute
// change, when it comes, sets attribute mode 0 (model().SetAttributeMode(0))
// before showing the page and takes its "&OK" through OK_FileAttributes.

#include "filewindow/filewindowui.h"
#include "filewindow/tagging.h"
#include "filewindow/taggingui.h"
#include "gui/controls/strippage.h"

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
class FileWindow;
class PluginCalls;
class Prompter;
struct Settings;
class TFileAttrPage;

/// Ties the tag commands (Tagging) to the windows: the special-tag dialog, the
/// attributes page of the command strip, and the Down keys that move the file
/// window and the tree on after the single-file and directory commands. Owns
/// the Tagging model; the page belongs to the page control it is added to, or
/// to the controller's parent widget (without either, the controller deletes it).
class TaggingController : public QObject, public TaggingUi {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    /// `parent` is the main window: dialogs open over it.
    TaggingController(Catalogue& catalogue, AppState& state, Settings& settings,
                      FileWindow& fileWindow, Prompter& prompter, PluginCalls& plugins,
                      QWidget* parent);
    ~TaggingController() override;

    Tagging& model() { return *m_model; }
    /// Every tag, untag and toggle command by the name the menus use.
    const std::map<std::string, Command>& commands() const { return m_commands; }
    /// The file window's numeric-pad keys (ToggleFileTags, TagFilesSpecial,
    /// UnTagFilesSpecial). False for any other command.
    bool fileCommand(FileCommand command) { return m_model->RunFileCommand(command); }
    /// After an error: the attributes page is closed and serves nothing any more
    /// (attribute mode 0), so that its next "&OK" does only what opened it then.
    void ResetAttributePage();

    /// ts_FC_FileAttr, for the main window's page control.
    TFileAttrPage* fileAttrPage() const { return m_page; }
    void setTreeWidget(QWidget* tree) { m_tree = tree; }
    void setFileListWidget(QWidget* list) { m_fileList = list; }

    /// "&OK" of the attributes page while it serves the attribute change
    /// (attribute mode 0); none leaves the page open.
    std::function<void(const std::string& text)> OK_FileAttributes;

    // --- TaggingUi ------------------------------------------------------------------
    void moveToNextEntry() override;
    void moveToNextDirectory() override;
    bool runSpecTagForm(const std::string& caption, std::string& selectionSpec) override;
    void showAttributePage(const std::string& caption) override;
    void closeAttributePage() override;
    void addAttributeHistory(const std::string& text) override;
    bool fileWindowEnabled() const override;

signals:
    /// The attributes page came up / went away.
    void commandPageShown(QWidget* page);
    void commandPageClosed();

private:
    void pageOk(const QString& text);
    QStackedWidget* pageControl() const;

    std::unique_ptr<Tagging> m_model;
    PluginCalls& m_plugins;
    Catalogue& m_cat;
    QPointer<QWidget> m_owner;
    QPointer<TFileAttrPage> m_page;
    QPointer<QWidget> m_tree;
    QPointer<QWidget> m_fileList;
    StripPage m_strip; // our page while it is up
    std::map<std::string, Command> m_commands;
};

} // namespace zentrix
