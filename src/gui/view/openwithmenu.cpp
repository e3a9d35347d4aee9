#include "gui/view/openwithmenu.h"

#include "catalogue/catalogue.h"
#include "core/prompter.h"
#include "filewindow/filewindow.h"
#include "platform/fileprobe.h"
#include "platform/mimetypes.h"
#include "platform/process.h"
#include "view/dispatchrules.h"
#include "view/openwith.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

#include <cstdlib>

namespace zentrix {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string directoryOf(const std::string& hostPath) {
    const size_t slash = hostPath.rfind('/');
    return slash == 0 ? "/" : hostPath.substr(0, slash);
}

} // namespace

OpenWithMenu::OpenWithMenu(QAction* item, Catalogue& catalogue, FileWindow& fileWindow,
                           Prompter& prompter, QObject* parent)
    : QObject(parent), m_cat(catalogue), m_fileWindow(fileWindow), m_prompter(prompter) {
    setObjectName("OpenWithMenu");
    start = [](const std::vector<std::string>& argv, const std::string& directory) {
        return platform::StartDetachedIn(argv.front(), {argv.begin() + 1, argv.end()}, directory);
    };
    if (!item)
        return;
    m_menu = new QMenu;
    m_menu->setObjectName("pmOpenWith");
    item->setMenu(m_menu);
    item->setEnabled(true);
    connect(m_menu, &QMenu::aboutToShow, this, &OpenWithMenu::fill);
}

OpenWithMenu::~OpenWithMenu() {
    delete m_menu.data(); // a menu set on an action is not its child
}

void OpenWithMenu::fill() {
    if (!m_menu)
        return;
    m_menu->clear();
    const TFileClass* record = m_fileWindow.Record(m_fileWindow.Current());
    const auto host = record ? m_cat.HostPath(record) : std::nullopt;
    std::vector<DesktopApplication> apps;
    if (host && platform::IsFile(*host))
        apps = ApplicationsForTypes(platform::MimeTypesOfFile(*host),
                                    OpenWithDirs::FromEnvironment());
    if (apps.empty()) {
        m_menu->addAction("(no application for this file)")->setEnabled(false);
        return;
    }
    bool first = true;
    for (const DesktopApplication& app : apps) {
        const QString name = q(app.name.empty() ? app.id : app.name);
        QAction* action = m_menu->addAction(first ? name + " (default)" : name);
        action->setObjectName(q(app.id));
        if (!app.icon.empty())
            action->setIcon(QIcon::fromTheme(q(app.icon)));
        // The file is found again when chosen: the menu may stay open a while.
        const std::string path = *host;
        connect(action, &QAction::triggered, this, [this, app, path] { open(app, path); });
        first = false;
    }
}

void OpenWithMenu::open(const DesktopApplication& app, const std::string& hostPath) {
    auto argv = OpenWithArguments(app, hostPath);
    const std::string name = app.name.empty() ? app.id : app.name;
    if (!argv) {
        m_prompter.warnWith("Could not start " + name + "     ",
                            app.file + ": the Exec line cannot be read");
        return;
    }
    if (app.terminal) {
        const char* terminal = std::getenv("TERMINAL");
        const LaunchCommand term = TerminalCommand(terminal ? terminal : "");
        argv->insert(argv->begin(), {term.program, "-e"});
    }
    if (platform::FindProgram(argv->front()).empty()) {
        m_prompter.warnWith("Could not start " + name + "     ",
                            argv->front() + ": no such program");
        return;
    }
    if (!start(*argv, directoryOf(hostPath)))
        m_prompter.warnWith("Could not start " + name + "     ",
                            argv->front() + ": the system did not start it");
}

} // namespace zentrix
