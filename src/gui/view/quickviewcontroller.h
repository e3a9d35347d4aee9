#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <string>

class QTimer;
class QToolButton;

namespace zentrix {

class MainMenuBar;
class TQuickViewPane;
struct Settings;

/// The quick view's own controls: its switch (the button and "&Quick view"),
/// "&Auto play MM files", the popups of the text box and the picture, the
/// media timer and the messages of the media panel.
class QuickViewController : public QObject {
    Q_OBJECT
public:
    QuickViewController(TQuickViewPane* pane, Settings& settings, QTimer* mediaTimer,
                        QObject* parent);

    using Command = std::function<void()>;
    const std::map<std::string, Command>& commands() const { return m_commands; }
    /// Connects the popups pmQView, pmImgQuick and pmAutoPlay.
    void attachMenus(MainMenuBar& menus);

    /// The switch (btnQuickFileView); a right click opens pmAutoPlay.
    QToolButton* btnQuickFileView = nullptr;

    void btnQuickFileViewClick();
    void pmiAutoPlayClick();

    std::function<bool()> fileWindowHasFocus;
    std::function<void()> focusFileWindow;
    /// Shows or hides the pane as the setting and the focus say.
    std::function<void()> updatePanel;
    std::function<void(const std::string&)> warn;

private:
    TQuickViewPane* m_pane;
    Settings& m_settings;
    QTimer* m_timer;
    MainMenuBar* m_menus = nullptr;
    std::map<std::string, Command> m_commands;
};

} // namespace zentrix
