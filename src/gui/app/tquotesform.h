#pragma once

#include "gui/app/tdaytextform.h"

namespace zentrix {

class Prompter;
struct Settings;

/// "Quote of the day", from the program's resources. The check box is the setting
/// ShowQuotesAtStartUp.
class TQuotesForm : public TDayTextForm {
public:
    TQuotesForm(std::vector<std::string> quotes, Settings& settings, QWidget* parent);

    static const char* ResourcePath() { return ":/daytexts/quotes.txt"; }

    /// Shows the window modally (miHelpQuoteClick, and at start-up when
    /// ShowQuotesAtStartUp is set). Without quotes: "Smart quote library not found!".
    static void Execute(Settings& settings, Prompter& prompter, QWidget* parent);
};

} // namespace zentrix
