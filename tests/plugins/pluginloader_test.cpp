#include "core/plugincalls.h"
#include "platform/pluginlibrary.h"
#include "pluginapi/pluginapi.h"
#include "plugintestsupport.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace zentrix {
namespace {

using test::ScopedEnv;

TEST(PluginLoader, MissingOrBrokenLibraryIsReportedByItsFileAndEndsTheCommand) {
    test::TempDir empty;
    ScopedEnv dir("ZENTRIX_PLUGIN_DIR", empty.path());
    test::ScriptedPrompter prompter;
    PluginCalls calls(prompter);

    std::string why;
    EXPECT_FALSE(platform::PluginLibrary::Load("Utils", &why));
    EXPECT_NE(why.find("Utils.so"), std::string::npos);

    EXPECT_EQ(calls.CallExtendedFileSpec({"Text (*.TXT)"}, "*.*", nullptr), std::nullopt);
    calls.CallShowDiskInfo('C', nullptr);
    ASSERT_EQ(prompter.shown().size(), 2u);
    for (const auto& shown : prompter.shown()) {
        EXPECT_EQ(shown.kind, test::ScriptedPrompter::Kind::Warn);
        EXPECT_EQ(shown.text, "Zentrix plugin Utils.so not found.");
    }

    // A file of the right name that is no library is just as absent.
    empty.write("Utils.so", "this is not a shared object");
    prompter.clear();
    calls.CallShowAboutForm(nullptr);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Zentrix plugin Utils.so not found."});

    // Names never reach outside the plug-in directory.
    EXPECT_FALSE(platform::PluginLibrary::Load("../Utils"));
    EXPECT_FALSE(platform::PluginLibrary::Load(""));
}

TEST(PluginLoader, MissingEntryEndsSilentlyAndPresentEntriesAreCalledAndReleased) {
    ScopedEnv dir("ZENTRIX_PLUGIN_DIR", PARTIAL_PLUGIN_DIR);
    test::ScriptedPrompter prompter;
    PluginCalls calls(prompter);
    const std::string path = std::string(PARTIAL_PLUGIN_DIR) + "/Utils.so";

    EXPECT_EQ(calls.CallExtendedFileSpec({}, "*.TXT", nullptr), std::nullopt);
    calls.CallShowZentrixQCV(nullptr);
    EXPECT_TRUE(prompter.shown().empty());

    int aboutCalls = 0;
    calls.CallShowAboutForm(&aboutCalls);
    calls.CallShowAboutForm(&aboutCalls);
    EXPECT_EQ(aboutCalls, 2);
    // Loaded per call and released right after it.
    EXPECT_FALSE(test::IsLoaded(path));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(PluginLoader, LibrariesAskTheProgramAboutVolumes) {
    ScopedEnv dir("ZENTRIX_PLUGIN_DIR", PARTIAL_PLUGIN_DIR);
    test::ScriptedPrompter prompter;
    PluginCalls calls(prompter);

    ZxVolumeFacts facts{};
    calls.CallShowDiskInfo('c', &facts);
    EXPECT_EQ(facts.letter, 'C');
    EXPECT_EQ(facts.ready, 1);
    EXPECT_EQ(std::string(facts.root), test::DriveRoot());
    EXPECT_EQ(std::string(facts.label), "DATA");
    EXPECT_GT(facts.totalBytes, 0u);

    ZxVolumeFacts none{};
    calls.CallShowDiskInfo('Q', &none);
    EXPECT_EQ(none.letter, '-');

    // A caller with a smaller (older) structure is refused rather than overrun.
    ZxVolumeFacts small{};
    small.structSize = 8;
    EXPECT_EQ(platform::PluginLibrary::Host().queryVolume('C', &small), 0);
}

TEST(PluginLoader, FileInfoStaysBoundAndMissingFileInfoGivesNoLines) {
    {
        test::TempDir empty;
        ScopedEnv dir("ZENTRIX_PLUGIN_DIR", empty.path());
        EXPECT_FALSE(PluginCalls::BindFileInfo());
        EXPECT_TRUE(PluginCalls::CallGetFileInfo("/etc/hostname").empty());
    }
    ScopedEnv dir("ZENTRIX_PLUGIN_DIR", ZENTRIX_BUILD_DIR);
    ASSERT_TRUE(PluginCalls::BindFileInfo());
    EXPECT_FALSE(PluginCalls::CallGetFileInfo(ZENTRIX_BUILD_DIR "/FileInfo.so").empty());
    EXPECT_TRUE(test::IsLoaded(ZENTRIX_BUILD_DIR "/FileInfo.so"));
}

TEST(PluginLoader, LibrariesAreFoundBesideABuildOrInTheInstalledTree) {
    test::TempDir tree;
    // An installed tree: bin/ holds the program, lib/zentrix/ the libraries.
    tree.write("usr/bin/zentrix", "");
    tree.write("usr/lib/zentrix/Utils.so", "");
    EXPECT_EQ(platform::PluginLibrary::DirectoryFor(tree.at("usr/bin")),
              tree.at("usr/lib/zentrix"));
    EXPECT_EQ(platform::PluginLibrary::DirectoryFor(tree.at("usr/bin") + "/"),
              tree.at("usr/lib/zentrix"));

    // A build folder with its libraries beside the program wins over any tree around it.
    tree.write("usr/bin/FileInfo.so", "");
    EXPECT_EQ(platform::PluginLibrary::DirectoryFor(tree.at("usr/bin")), tree.at("usr/bin"));

    // A directory or a near miss named like a library does not count; with no
    // libraries anywhere the program's own folder is named (messages show it).
    tree.mkdir("build/Utils.so");
    tree.write("build/Utils.so.old", "");
    tree.mkdir("lib/zentrix");
    EXPECT_EQ(platform::PluginLibrary::DirectoryFor(tree.at("build")), tree.at("build"));
}

} // namespace
} // namespace zentrix

namespace zentrix {
namespace {

// Changes the current directory for its lifetime.
class ScopedDirectory {
public:
    explicit ScopedDirectory(const std::string& dir) {
        char buf[4096];
        if (::getcwd(buf, sizeof buf))
            m_old = buf;
        EXPECT_EQ(::chdir(dir.c_str()), 0);
    }
    ~ScopedDirectory() {
        if (!m_old.empty()) {
            EXPECT_EQ(::chdir(m_old.c_str()), 0);
        }
    }

private:
    std::string m_old;
};

TEST(PluginLoader, ARelativeDirectoryIsNeverReadAgainstTheCurrentOne) {
    // What a packed directory may hold: a library of a plug-in's name.
    test::TempDir packed;
    std::filesystem::create_directory(packed.at("plugins"));
    std::filesystem::copy_file(std::string(PARTIAL_PLUGIN_DIR) + "/Utils.so",
                               packed.at("plugins/Utils.so"));
    ScopedDirectory inside(packed.path());
    ScopedEnv dir("ZENTRIX_PLUGIN_DIR", "plugins");
    test::ScriptedPrompter prompter;
    PluginCalls calls(prompter);
    int ran = 0;
    calls.CallShowAboutForm(&ran);
    EXPECT_EQ(ran, 0) << "the library in the current directory ran";
    EXPECT_NE(platform::PluginLibrary::Directory(), "plugins");

    // Anchored at start, the folder the user meant stays meant from anywhere.
    platform::PluginLibrary::AnchorDirectory();
    EXPECT_EQ(platform::PluginLibrary::Directory(), packed.at("plugins"));
    test::TempDir elsewhere;
    ScopedDirectory moved(elsewhere.path());
    calls.CallShowAboutForm(&ran);
    EXPECT_EQ(ran, 1);
}

} // namespace
} // namespace zentrix
