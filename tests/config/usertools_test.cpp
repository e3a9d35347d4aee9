#include "config/tenhinifile.h"
#include "config/usertools.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <set>

using namespace zentrix;
using namespace zentrix::test;

namespace {

/// Programs and files that "exist" for the probe.
ToolProbe Probe(std::set<std::string> programs, std::set<std::string> files = {}) {
    return {[programs](const std::string& p) { return programs.count(p) > 0; },
            [files](const std::string& p) {
                return files.count(p) > 0;
            }};
}

TEST(UserTools, TheProgramPartIsFoundAsTheCommandLineIsWritten) {
    const ToolProbe probe = Probe({"/opt/My Tools/run.sh", "/usr/bin/meld", "/opt/My App/app",
                                   "/usr/bin/python3.11", "gimp"});
    struct Case {
        const char* line;
        const char* program;
        const char* parameters;
    } cases[] = {
        // A path with blanks, parameters without a ".": split after the extension.
        {"/opt/My Tools/run.sh -v %f", "/opt/My Tools/run.sh", "-v %f"},
        // A parameter with a "." moves the extension's place; the first word that
        // names a program is taken then.
        {"/usr/bin/meld a.txt b.txt", "/usr/bin/meld", "a.txt b.txt"},
        {"/usr/bin/python3.11 script.py", "/usr/bin/python3.11", "script.py"},
        // No extension at all: the longest run of words that names a program.
        {"/opt/My App/app --new %d", "/opt/My App/app", "--new %d"},
        {"  gimp   %f ", "gimp", "%f"},
        {"\"/opt/Some Where/x\" -a", "/opt/Some Where/x", "-a"},
        {"'/unterminated", "/unterminated", ""},
        {"nothing here", "nothing", "here"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const ToolCommand cmd = SplitToolCommand(c.line, probe);
        EXPECT_EQ(cmd.program, c.program) << c.line;
        EXPECT_EQ(cmd.parameters, c.parameters) << c.line;
    }
}

TEST(UserTools, FileNamesNeverBecomeWordsOrCommandsOfTheirOwn) {
    ToolContext ctx;
    ctx.file = "/data/it's a \"quoted\" $HOME; rm -rf ~ `x`.txt";
    ctx.name = "it's a \"quoted\" $HOME; rm -rf ~ `x`.txt";
    ctx.directory = "/data/dir with blanks";
    ctx.tagged = {"/t/one two", "/t/$(three)"};
    EXPECT_EQ(ToolArguments("-x %f --name=%n \"%d/sub dir\" '%%f' %t --each=%t 50%", ctx),
              (std::vector<std::string>{
                  "-x", ctx.file, "--name=" + ctx.name, "/data/dir with blanks/sub dir", "%f",
                  "/t/one two", "/t/$(three)", "--each=/t/one two", "--each=/t/$(three)", "50%"}));
    // Placeholders that stand for nothing leave their word out; quoted empty
    // words and unknown placeholders stay.
    const ToolContext none;
    EXPECT_EQ(ToolArguments("%f %t --f=%f \"\" %x %N", none),
              (std::vector<std::string>{"--f=", "", "%x"}));
    // %N hands a name that begins with "-" over as no option can read it.
    ToolContext dashed;
    dashed.name = "-rf notes.txt";
    EXPECT_EQ(
        ToolArguments("%n %N --in=%N", dashed),
        (std::vector<std::string>{"-rf notes.txt", "./-rf notes.txt", "--in=./-rf notes.txt"}));
}

TEST(UserTools, ToolsWhoseProgramIsGoneAreDroppedOnLoad) {
    TempDir dir;
    TEnhIniFile store("Zentrix.INI", dir.at("r.ini"));
    TToolList tools;
    tools.Items = {
        {"/usr/bin/meld %f", "Compare", "/icons/meld.png", 2, 3},
        {"/gone/tool", "Gone", "", 0, 1},
        {"gimp %f", "Paint", "/missing/icon.png", 4, 6},
        {"gimp", "Themed", "applications-graphics", 1, 1},
    };
    tools.Save(store);
    store.WriteString("UserTools", "Stray", "x");
    tools.Save(store); // the section is written afresh
    EXPECT_FALSE(store.ValueExists("UserTools", "Stray"));
    EXPECT_EQ(store.ReadInteger("UserTools", "ToolsCount", 0), 4);

    TToolList loaded;
    loaded.Load(store, Probe({"/usr/bin/meld", "gimp"}, {"/icons/meld.png"}));
    ASSERT_EQ(loaded.Items.size(), 3u);
    EXPECT_EQ(loaded.Items[0], tools.Items[0]);
    // A missing icon file gives the program's own icon.
    EXPECT_EQ(loaded.Items[1], (TToolClass{"gimp %f", "Paint", "gimp", 0, 6}));
    // A theme icon has no file to look for.
    EXPECT_EQ(loaded.Items[2], tools.Items[3]);

    // A damaged count does not make the loop run on.
    store.WriteString("UserTools", "ToolsCount", "2000000000");
    loaded.Load(store, Probe({"/usr/bin/meld", "gimp"}, {"/icons/meld.png"}));
    EXPECT_EQ(loaded.Items.size(), 3u);
}

TEST(UserTools, PermanentToolsAreTheFirstInstalledOfEachKind) {
    const auto tools = PermanentTools([](const std::string& name) -> std::string {
        if (name == "kcalc" || name == "xcalc" || name == "gnome-system-monitor")
            return "/usr/bin/" + name;
        return {};
    });
    ASSERT_EQ(tools.size(), 2u);
    EXPECT_EQ(tools[0].name, "kcalc");
    EXPECT_EQ(tools[0].path, "/usr/bin/kcalc");
    EXPECT_EQ(tools[1].name, "gnome-system-monitor");
}

} // namespace
