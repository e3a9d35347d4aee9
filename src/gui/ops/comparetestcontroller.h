#pragma once

// How the main window takes this controller in (TMainForm):
//
//   m_compareTest = new CompareTestController(m_cat, m_state, m_settings,
//                                             m_fileWindow->model(), *m_prompter,
//                                             *MainStatusBar, this);
//   // in buildCommands():
//   for (const auto& [name, handler] : m_compareTest->commands())
//       m_commands[name] = handler;

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QWidget;

namespace zentrix {

class AppState;
class Catalogue;
class CompareFileList;
class FileTest;
class FileWindow;
class Progress;
class Prompter;
class TCompareForm;
struct Settings;

/// "Compare file&list" (K) with its dialog, and the three test commands (W,
/// Ctrl+W in the file window and in the tree). Owns the CompareFileList and
/// FileTest rules; their messages go through the main window's Prompter and
/// their "STOP" through its status bar.
class CompareTestController : public QObject {
    Q_OBJECT
public:
    using Command = std::function<void()>;

    /// `parent` is the main window: the dialog opens over it.
    CompareTestController(Catalogue& catalogue, AppState& state, const Settings& settings,
                          FileWindow& fileWindow, Prompter& prompter, Progress& progress,
                          QWidget* parent);
    ~CompareTestController() override;

    const std::map<std::string, Command>& commands() const { return m_commands; }
    CompareFileList& compare() { return *m_compare; }
    FileTest& test() { return *m_test; }

    /// Shows the dialog and, when it closes with "&Run", tags by its choice.
    void miFileCompareClick();

    /// Called with each dialog before it is shown (tests drive it from here).
    std::function<void(TCompareForm&)> onShown;
    /// Opens a help topic.
    std::function<void(int topic)> showHelp;

private:
    Catalogue& m_cat;
    AppState& m_state;
    Prompter& m_prompter;
    QWidget* m_owner;
    std::unique_ptr<CompareFileList> m_compare;
    std::unique_ptr<FileTest> m_test;
    std::map<std::string, Command> m_commands;
};

} // namespace zentrix
