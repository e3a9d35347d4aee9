#pragma once

// How the main window takes this controller in (TMainForm, after the file
// window and the status line exist):
//
//   m_wizard = new TagWizardController({...}, this);
//   for (const auto& [name, handler] : m_wizard->commands())
//       m_commands[name] = handler;

#include <QObject>

#include <functional>
#include <map>
#include <string>

class QWidget;

namespace zentrix {

class AppState;
class Catalogue;
class CatalogueUi;
class DiskLogger;
class FileWindow;
class PluginCalls;
class Progress;
class Prompter;
class TEnhIniFile;
class TTagWizardForm;

/// What the tag wizard works with; the controller owns none of it.
struct TagWizardParts {
    Catalogue& catalogue;
    AppState& state;
    DiskLogger& logger;
    FileWindow& fileWindow;
    CatalogueUi& ui;
    Progress& progress;
    Prompter& prompter;
    PluginCalls& plugins;
    TEnhIniFile& store;
};

/// "Tag Wizard ..." (miDirTagWizardClick): shows the wizard modally and, when it
/// closes with "&Run" and holds criteria, applies them to the catalogue.
class TagWizardController : public QObject {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    /// `parent` is the main window: the wizard opens over it.
    TagWizardController(const TagWizardParts& parts, QWidget* parent);

    const std::map<std::string, Command>& commands() const { return m_commands; }
    void miDirTagWizardClick();

    /// Called with each wizard before it is shown (tests drive it from here).
    std::function<void(TTagWizardForm&)> onShown;
    /// Opens a help topic.
    std::function<void(int topic)> showHelp;

private:
    TagWizardParts m_parts;
    QWidget* m_owner;
    std::map<std::string, Command> m_commands;
};

} // namespace zentrix
