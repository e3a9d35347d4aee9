#pragma once

#include "gui/app/tdaytextform.h"

namespace zentrix {

class Prompter;
struct Settings;

/// "Tip of the day": tips about the program's keys, from the program's resources.
/// The check box is the setting ShowHintsAtStartUp.
class TTipsForm : public TDayTextForm {
public:
    TTipsForm(std::vector<std::string> tips, Settings& settings, QWidget* parent);

    /// The resource the tips come from.
    static const char* ResourcePath() { return ":/daytexts/tips.txt"; }

    /// Shows the window modally (miHelpTipClick, and at start-up when
    /// ShowHintsAtStartUp is set). Without tips: "Tips library not found!".
    static void Execute(Settings& settings, Prompter& prompter, QWidget* parent);
};

} // namespace zentrix
