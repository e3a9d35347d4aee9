#include "core/helpindex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

using namespace zentrix;

namespace {

const HelpTopic::Target* TargetOf(const HelpTopic& t, const std::string& key) {
    for (const auto& target : t.targets)
        if (target.key == key)
            return &target;
    return nullptr;
}

} // namespace

TEST(HelpTopicReader, TextTitleAndTargetsComeFromTheHtml) {
    const HelpTopic t = ReadHelpTopic("tree.html", R"(<!DOCTYPE html>
<html><head><title>The  directory
tree</title><style>p { color: red }</style><script>var x = "<p>no</p>";</script></head>
<body data-help="77 MainTreeView">
<h1>The tree</h1><!-- a <b>comment</b> -->
<p>Keys &amp; mouse: &lt;Enter&gt; opens&nbsp;it, &#169; &#x263A; &bogus; R&amp;D</p>
<h2 id="keys" data-help='81 lbDrives'>Keys</h2><p>Press   L.</p>
<p data-help="99">No id: the whole topic.</p>
</body></html>)");
    EXPECT_EQ(t.title, "The directory tree");
    EXPECT_EQ(t.text,
              "The tree\nKeys & mouse: <Enter> opens it, \xC2\xA9 \xE2\x98\xBA &bogus; R&D\n"
              "Keys\nPress L.\nNo id: the whole topic.");
    ASSERT_EQ(t.targets.size(), 5u);
    EXPECT_EQ(TargetOf(t, "77")->anchor, "");
    EXPECT_EQ(TargetOf(t, "MainTreeView")->anchor, "");
    const auto* keys = TargetOf(t, "lbDrives");
    EXPECT_EQ(keys->anchor, "keys");
    EXPECT_EQ(t.text.substr(keys->offset, 4), "Keys");
    EXPECT_EQ(TargetOf(t, "99")->anchor, "");

    // Without a title the file name stands for it.
    EXPECT_EQ(ReadHelpTopic("x.html", "<p>hi</p>").title, "x.html");
}

TEST(HelpTopicReader, BrokenMarkupEndsTheTopicWithoutHarm) {
    for (const char* html :
         {"<p", "<p id=\"unterminated", "<!-- open comment", "<script>never closed", "<a href='x'",
          "&#", "&#x;", "&#99999999999999;", "<<>>", "</", "<title>open", "<body data-help=\"1 2",
          "&amp", "<p =x>", "\xFF\xFE<p>\x80</p>"}) {
        const HelpTopic t = ReadHelpTopic("b.html", html);
        EXPECT_FALSE(t.title.empty()) << html;
    }
    // A section declared at the very end starts where the text ends.
    const HelpTopic end = ReadHelpTopic("e.html", "<p>Text</p> <h2 id=\"end\" data-help=\"k\">");
    ASSERT_EQ(end.targets.size(), 1u);
    EXPECT_EQ(end.targets[0].offset, end.text.size());
    // A huge input is read only up to the limit.
    const std::string huge(kMaxHelpTopicBytes + 1000, 'a');
    EXPECT_EQ(ReadHelpTopic("h.html", huge).text.size(), kMaxHelpTopicBytes);
}

TEST(HelpIndexTest, KeysFindTopicsAndSectionsAndSummaries) {
    HelpIndex index;
    index.Add(ReadHelpTopic("tagging.html", R"(<title>Tagging</title><body>
<p>Tags mark files.</p>
<h2 id="attributes" data-help="48 hbFilesAttrHistory">By attributes</h2>
<p>Type +A or -H. Then press Enter to apply the text to every file in the window.</p>
<h2 id="age" data-help="ageBox">By age</h2><p>Days.</p></body>)"));
    index.Add(ReadHelpTopic("tree.html", R"(<title>Tree</title><body data-help="77 MainTreeView">
<p>Opening reads.</p></body>)"));

    EXPECT_EQ(index.TopicFor(48), "tagging.html#attributes");
    EXPECT_EQ(index.TopicFor("HBFILESATTRHISTORY"), "tagging.html#attributes");
    EXPECT_EQ(index.TopicFor("MainTreeView"), "tree.html");
    EXPECT_EQ(index.TopicFor(12345), "");
    EXPECT_EQ(index.TopicFor(""), "");

    // A summary runs from its heading to the next section.
    EXPECT_EQ(index.SummaryFor("48"),
              "By attributes\nType +A or -H. Then press Enter to apply the text to every file "
              "in the window.");
    const std::string shortened = index.SummaryFor("48", 30);
    EXPECT_LE(shortened.size(), 34u);
    EXPECT_EQ(shortened, "By attributes\nType +A or -H.");
    EXPECT_EQ(index.SummaryFor("77"), "Opening reads."); // the whole topic
    EXPECT_EQ(index.TitleOf("tree.html"), "Tree");
}

TEST(HelpIndexTest, SearchFindsTopicsHoldingEveryWordBestFirst) {
    HelpIndex index;
    index.Add(
        ReadHelpTopic("a.html", "<title>Disks</title><p>Release a disk. A disk, a DISK.</p>"));
    index.Add(ReadHelpTopic("b.html", "<title>Tagging</title><p>Tag files on a disk by age.</p>"));
    index.Add(ReadHelpTopic("c.html", "<title>Options</title><p>Nothing here.</p>"));

    auto files = [&](std::string_view q) {
        std::vector<std::string> out;
        for (const HelpHit& h : index.Search(q))
            out.push_back(h.file);
        return out;
    };
    // The title counts most, then how often the word occurs; case is ignored.
    EXPECT_EQ(files("disk"), (std::vector<std::string>{"a.html", "b.html"}));
    EXPECT_EQ(files("DISK age"), (std::vector<std::string>{"b.html"}));
    EXPECT_EQ(files("tag"), (std::vector<std::string>{"b.html"})); // inside "Tagging" and "Tag"
    EXPECT_TRUE(files("nowhere").empty());
    EXPECT_TRUE(files("   ").empty());
    const std::vector<HelpHit> hits = index.Search("age");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_NE(hits[0].excerpt.find("by age"), std::string::npos) << hits[0].excerpt;
}

TEST(HelpIndexTest, TheFolderIsBesideTheExecutableOrInTheInstalledShare) {
    EXPECT_EQ(HelpDirectoryCandidates("/opt/z/bin/"),
              (std::vector<std::string>{"/opt/z/bin/help", "/opt/z/bin/../share/zentrix/help"}));
}

// The topics shipped with the program: every one is reached from the contents
// page, every link leads to a topic and section that exist, and no key is
// claimed by two topics (the first would silently win).
TEST(HelpTopics, ShippedTopicsAreLinkedAndTheirLinksAndKeysAreSound) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(ZENTRIX_SOURCE_DIR) / "docs" / "help";
    ASSERT_TRUE(fs::exists(dir / "index.html"));
    std::map<std::string, std::string> html;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".html")
            continue;
        std::ifstream in(entry.path());
        std::stringstream s;
        s << in.rdbuf();
        html[entry.path().filename().string()] = s.str();
    }
    ASSERT_GE(html.size(), 7u);

    std::map<std::string, std::set<std::string>> ids;
    std::map<std::string, std::string> claimed;
    const std::regex idRe(R"re(\bid="([^"]+)")re");
    for (const auto& [file, text] : html) {
        for (std::sregex_iterator it(text.begin(), text.end(), idRe), end; it != end; ++it)
            ids[file].insert((*it)[1]);
        const HelpTopic topic = ReadHelpTopic(file, text);
        EXPECT_NE(topic.title, file) << file << " has no title";
        for (const auto& target : topic.targets) {
            const auto [at, fresh] = claimed.emplace(target.key, file);
            EXPECT_TRUE(fresh) << target.key << " is claimed by " << at->second << " and " << file;
        }
    }

    const std::regex linkRe(R"re(href="([^"#:]*)(?:#([^"]*))?")re");
    std::set<std::string> fromContents;
    for (const auto& [file, text] : html) {
        for (std::sregex_iterator it(text.begin(), text.end(), linkRe), end; it != end; ++it) {
            const std::string target = (*it)[1].str().empty() ? file : (*it)[1].str();
            const std::string anchor = (*it)[2];
            ASSERT_TRUE(html.count(target)) << file << " links to a missing " << target;
            if (!anchor.empty()) {
                EXPECT_TRUE(ids[target].count(anchor))
                    << file << " links to " << target << "#" << anchor;
            }
            if (file == "index.html")
                fromContents.insert(target);
        }
    }
    for (const auto& [file, text] : html) {
        if (file != "index.html") {
            EXPECT_TRUE(fromContents.count(file)) << file << " is missing from the contents page";
        }
    }
}
