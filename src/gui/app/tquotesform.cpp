#include "gui/app/tquotesform.h"

#include "config/settings.h"
#include "core/prompter.h"

namespace zentrix {

TQuotesForm::TQuotesForm(std::vector<std::string> quotes, Settings& settings, QWidget* parent)
    : TDayTextForm("Quote of the day", "Smart quote", std::move(quotes),
                   settings.ShowQuotesAtStartUp, "&Show quotes at start-up", true, parent) {
    setObjectName("QuotesForm");
}

void TQuotesForm::Execute(Settings& settings, Prompter& prompter, QWidget* parent) {
    std::vector<std::string> quotes = LoadDayTextResource(ResourcePath());
    if (quotes.empty()) {
        prompter.warn("Smart quote library not found!");
        return;
    }
    TQuotesForm form(std::move(quotes), settings, parent);
    form.exec();
}

} // namespace zentrix
