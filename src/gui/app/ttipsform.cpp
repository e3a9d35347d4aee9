#include "gui/app/ttipsform.h"

#include "config/settings.h"
#include "core/prompter.h"

namespace zentrix {

TTipsForm::TTipsForm(std::vector<std::string> tips, Settings& settings, QWidget* parent)
    : TDayTextForm("Tip of the day", "Did you know...", std::move(tips),
                   settings.ShowHintsAtStartUp, "&Show tips at start-up", false, parent) {
    setObjectName("TipsForm");
}

void TTipsForm::Execute(Settings& settings, Prompter& prompter, QWidget* parent) {
    std::vector<std::string> tips = LoadDayTextResource(ResourcePath());
    if (tips.empty()) {
        prompter.warn("Tips library not found!");
        return;
    }
    TTipsForm form(std::move(tips), settings, parent);
    form.exec();
}

} // namespace zentrix
