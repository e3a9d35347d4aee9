#pragma once

#include "config/commandbuttons.h"
#include "config/menutable.h"
#include "config/usertools.h"

#include <QIcon>
#include <QString>

#include <functional>

namespace zentrix {

class Prompter;

/// What the options pages of the user tools, the command buttons and the
/// shortcuts edit. The main window's tools controller owns all of it; the
/// shortcuts and the button lists are edited live (Cancel puts them back from
/// the store), the tools as a copy that OK writes.
struct ToolsConfig {
    MenuTable* table = nullptr;
    Prompter* prompter = nullptr;
    TCommandList* dirButtons = nullptr;
    TCommandList* fileButtons = nullptr;
    ToolProbe probe = ToolProbe::System();
    /// The item's image in the menus (null when none) and on a button.
    std::function<QIcon(const MenuItem&)> commandImage;
    std::function<QIcon(const MenuItem&)> buttonImage;
    std::function<QIcon(const TToolClass&)> toolIcon;
    /// The entries' shortcuts changed: the menus follow.
    std::function<void()> shortcutsChanged;
    /// A file dialog: caption, filter ("Name (*.A *.B);;All files (*)"), start;
    /// `save` for a save dialog. Empty when cancelled.
    std::function<QString(const QString& caption, const QString& filter, const QString& start,
                          bool save)>
        chooseFile;
    /// Shows a text file in the viewer; false when it could not.
    std::function<bool(const QString& path)> viewFile;
};

} // namespace zentrix
