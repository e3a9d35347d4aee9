#include "filewindow/fixture.h"
#include "ops/twdlist.h"
#include "search/taggedtextsearch.h"

#include <fstream>
#include <sstream>

using namespace zentrix;
using namespace zentrix::test;

namespace {

class RecordingSearchUi : public TaggedSearchUi {
public:
    int panelShown = 0;
    int panelClosed = 0;
    std::vector<std::string> history;
    std::string viewerText;
    std::vector<int> broughtIntoView;
    void showSearchPanel() override { ++panelShown; }
    void closeSearchPanel() override { ++panelClosed; }
    void addSearchHistory(const std::string& text) override { history.push_back(text); }
    void setViewerSearchText(const std::string& text) override { viewerText = text; }
    void bringEntryIntoView(int index) override { broughtIntoView.push_back(index); }
};

class TaggedSearchTest : public FileWindowFixture {
protected:
    std::unique_ptr<TaggedTextSearch> search;
    RecordingSearchUi searchUi;

    void SetUp() override {
        dir.write("a.txt", "Here is the Needle.");
        dir.write("b.txt", "here is the NEEDLE");
        dir.write("c.txt", "nothing in here");
        dir.write("d.log", "needle in a log");
        dir.write("e.txt", "needle, but not tagged");
        start();
        logAll('D');
        select("D:\\");
        fill();
        search = std::make_unique<TaggedTextSearch>(*cat, state, settings, *fw, prompter, progress);
        search->SetUi(&searchUi);
    }
    void tag(std::initializer_list<const char*> names) {
        for (const char* name : names)
            file(std::string("D:\\") + name)->SetTagged(true);
    }
    std::vector<std::string> tagged() {
        std::vector<std::string> out;
        for (const char* name : {"a.txt", "b.txt", "c.txt", "d.log", "e.txt"})
            if (file(std::string("D:\\") + name)->Tagged())
                out.push_back(name);
        return out;
    }
};

} // namespace

TEST_F(TaggedSearchTest, UntagsTheFilesWithoutTheTextAndLeavesTheRest) {
    search->SearchTaggedFilesForString();
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"There are no tagged files to operate with!     "}));
    EXPECT_EQ(searchUi.panelShown, 0);

    tag({"a.txt", "b.txt", "c.txt", "d.log"});
    search->SearchTaggedFilesForString();
    EXPECT_EQ(searchUi.panelShown, 1);
    search->OK_SearchTaggedFilesForString("needle", true);
    EXPECT_EQ(tagged(), (std::vector<std::string>{"a.txt", "b.txt", "d.log"}));
    EXPECT_EQ(search->FilesSearched(), 4);
    EXPECT_EQ(searchUi.viewerText, "needle");
    EXPECT_EQ(searchUi.history, (std::vector<std::string>{"needle"}));
    EXPECT_EQ(searchUi.panelClosed, 1);
    EXPECT_FALSE(state.fileOperationRunning);
    EXPECT_FALSE(progress.stopShown);
    EXPECT_EQ(ui.focus, RecordingUi::Focus::FileWindow);

    // A text every tagged file holds leaves every tag in place.
    search->OK_SearchTaggedFilesForString("HERE", true);
    EXPECT_EQ(tagged(), (std::vector<std::string>{"a.txt", "b.txt"}));
    search->OK_SearchTaggedFilesForString("here is", true);
    EXPECT_EQ(tagged(), (std::vector<std::string>{"a.txt", "b.txt"}));
    // Case counts without "Ignore case?".
    search->OK_SearchTaggedFilesForString("Needle", false);
    EXPECT_EQ(tagged(), (std::vector<std::string>{"a.txt"}));
}

TEST_F(TaggedSearchTest, SearchesOnlyTheEntriesTheWindowShows) {
    tag({"a.txt", "c.txt", "d.log"});
    fw->ApplyTypedFileSpec("*.txt"); // d.log stays tagged but out of the window
    fill();
    search->OK_SearchTaggedFilesForString("needle", true);
    EXPECT_EQ(tagged(), (std::vector<std::string>{"a.txt", "d.log"}));
    EXPECT_EQ(search->FilesSearched(), 2);
    ASSERT_EQ(searchUi.broughtIntoView.size(), 1u);
    EXPECT_EQ(fw->Record(searchUi.broughtIntoView[0]), file("D:\\c.txt"));
}

TEST_F(TaggedSearchTest, UnreadableFilesLoseTheirTagAndAreNamedOnce) {
    tag({"a.txt", "b.txt", "c.txt"});
    dir.remove("b.txt"); // gone since it was logged
    search->OK_SearchTaggedFilesForString("needle", true);
    EXPECT_EQ(tagged(), (std::vector<std::string>{"a.txt"}));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].kind, ScriptedPrompter::Kind::Error);
    EXPECT_EQ(prompter.shown()[0].text, "Cannot scan D:\\B.TXT.\nFile not found.");
}

TEST_F(TaggedSearchTest, AStopLeavesTheFilesNotYetSearchedTagged) {
    // "STOP" is clicked while the first events are let through.
    class StopOnEvents : public StoppingProgress {
    protected:
        void processEvents() override { stop = true; }
    } stopping;
    TaggedTextSearch stopped(*cat, state, settings, *fw, prompter, stopping);
    tag({"a.txt", "b.txt", "c.txt", "d.log", "e.txt"});
    stopped.OK_SearchTaggedFilesForString("absent", true);
    EXPECT_EQ(stopped.FilesSearched(), 0);
    EXPECT_EQ(tagged().size(), 5u);
    EXPECT_FALSE(stopping.stopShown);
    EXPECT_FALSE(state.fileOperationRunning);
}

TEST_F(TaggedSearchTest, TheWatchDogLogsTheTextAndTheFilesSearched) {
    settings.WDEnabled = true;
    settings.WDFilePath = "E:\\";
    std::array<bool, 15> flags{};
    flags[static_cast<size_t>(WDOperation::SearchFileForText)] = true;
    TWDList watchDog(settings, prompter, *drives);
    watchDog.LoadFlags(flags);
    search->SetWatchDog(&watchDog);
    tag({"a.txt", "c.txt"});
    search->OK_SearchTaggedFilesForString("needle", true);
    std::ifstream log(other.at("WATCHDOG.LOG"));
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(text.str().find(" Search 2 file(s) for text: needle\r\n"), std::string::npos)
        << text.str();

    // Nothing is searched for an empty text; only the completion sound.
    search->OK_SearchTaggedFilesForString("", true);
    EXPECT_EQ(tagged(), (std::vector<std::string>{"a.txt"}));
}
