#include "config/settings.h"
#include "controlstestenv.h"
#include "core/daytexts.h"
#include "gui/app/tquotesform.h"
#include "gui/app/ttipsform.h"
#include "support/scriptedprompter.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace zentrix {
namespace {

TEST(DayTextForms, TheProgramCarriesTipsAndQuotes) {
    const auto tips = LoadDayTextResource(TTipsForm::ResourcePath());
    const auto quotes = LoadDayTextResource(TQuotesForm::ResourcePath());
    EXPECT_GE(tips.size(), 40u);
    EXPECT_GE(quotes.size(), 30u);
    for (const auto& quote : quotes)
        EXPECT_FALSE(SplitQuote(quote).author.empty()) << quote;
    EXPECT_TRUE(LoadDayTextResource(":/daytexts/missing.txt").empty());
}

TEST(DayTextForms, NextAndPreviousWrapAndTheCheckBoxIsTheSetting) {
    Settings settings;
    TTipsForm form({"first", "second", "third"}, settings, nullptr);
    EXPECT_EQ(form.windowTitle(), "Tip of the day");
    form.ShowText(0);
    EXPECT_EQ(form.lbText->text(), "first");
    EXPECT_EQ(form.lbCounter->text(), "1 of 3");
    form.btnPrevious->click();
    EXPECT_EQ(form.lbText->text(), "third");
    form.btnNext->click();
    form.btnNext->click();
    EXPECT_EQ(form.lbText->text(), "second");

    EXPECT_TRUE(form.cbShowAtStartUp->isChecked());
    form.cbShowAtStartUp->click();
    EXPECT_FALSE(settings.ShowHintsAtStartUp);
    EXPECT_TRUE(settings.ShowQuotesAtStartUp);

    // The day decides where the window starts.
    TTipsForm today({"a", "b", "c", "d", "e"}, settings, nullptr);
    EXPECT_EQ(today.Index(), DayTextIndex(TodayNumber(), 5));
}

TEST(DayTextForms, QuotesShowTheirAuthorApart) {
    Settings settings;
    settings.ShowQuotesAtStartUp = false;
    TQuotesForm form({"Well begun is half done. -- Aristotle"}, settings, nullptr);
    EXPECT_FALSE(form.cbShowAtStartUp->isChecked());
    EXPECT_EQ(form.lbText->text(), "Well begun is half done.");
    EXPECT_EQ(form.lbSource->text(), QString::fromUtf8("\u2014 Aristotle"));
    form.cbShowAtStartUp->click();
    EXPECT_TRUE(settings.ShowQuotesAtStartUp);
}

TEST(DayTextForms, ExecuteShowsTheWindowModally) {
    Settings settings;
    test::ScriptedPrompter prompter;
    QString title;
    test::OnModalShown([&](QWidget* dialog) {
        title = dialog->windowTitle();
        dialog->findChild<QPushButton*>("btnClose")->click();
    });
    TQuotesForm::Execute(settings, prompter, nullptr);
    EXPECT_EQ(title, "Quote of the day");
    EXPECT_TRUE(prompter.shown().empty());
}

} // namespace
} // namespace zentrix
