#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace zentrix {

class Catalogue;
class FileWindow;
class Prompter;
struct DesktopApplication;

/// "Open with" in the file window's popup: a submenu of the applications the
/// desktop's databases offer for the current file's type, the default first.
/// Choosing one starts it with the file as an argument, never through a
/// shell. The menu is filled each time it is about to show.
class OpenWithMenu : public QObject {
    Q_OBJECT
public:
    /// `item` is the popup's "Open with" item; it gets the submenu.
    OpenWithMenu(QAction* item, Catalogue& catalogue, FileWindow& fileWindow, Prompter& prompter,
                 QObject* parent);
    ~OpenWithMenu() override;

    QMenu* menu() const { return m_menu; }
    /// Fills the submenu for the current file.
    void fill();

    /// Starts a program (the first of `argv`) in a directory; true when it
    /// started. The platform's detached start unless a test puts another here.
    std::function<bool(const std::vector<std::string>& argv, const std::string& directory)> start;

private:
    void open(const DesktopApplication& app, const std::string& hostPath);

    QPointer<QMenu> m_menu;
    Catalogue& m_cat;
    FileWindow& m_fileWindow;
    Prompter& m_prompter;
};

} // namespace zentrix
