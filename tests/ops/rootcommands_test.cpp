#include "config/tenhinifile.h"
#include "filewindow/fixture.h"
#include "ops/rootcommands.h"
#include "platform/process.h"
#include "support/scopedenv.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

/// Drive D on a temporary directory, its tree logged, a settings file of its
/// own, and a stand-in gio first on the PATH that writes its arguments to
/// "calls" and its standard input to "stdin", mounts every share at
/// "share/", and fails when told to by the files "mount-error" (its text goes
/// to standard error) and "unmount-fails".
class RootCommandsTest : public FileWindowFixture {
protected:
    TempDir gio;
    ScopedEnv path{"PATH", gio.path() + ":" + std::string(std::getenv("PATH"))};
    ScopedEnv standin{"GIO_STANDIN", gio.path()};
    std::unique_ptr<TEnhIniFile> store;
    std::unique_ptr<RootCommands> roots;
    int loggedDisks = 2;

    void SetUp() override {
        gio.write("gio", "#!/bin/sh\n"
                         "echo \"$*\" >> \"$GIO_STANDIN/calls\"\n"
                         "case \"$1 $2\" in\n"
                         "'mount -u') [ -f \"$GIO_STANDIN/unmount-fails\" ] && exit 2; exit 0;;\n"
                         "'mount --') cat >> \"$GIO_STANDIN/stdin\"\n"
                         "  if [ -f \"$GIO_STANDIN/mount-error\" ]; then\n"
                         "    cat \"$GIO_STANDIN/mount-error\" >&2; exit 2; fi\n"
                         "  mkdir -p \"$GIO_STANDIN/share\"; exit 0;;\n"
                         "'info --') echo 'display name: share'\n"
                         "  echo \"local path: $GIO_STANDIN/share\"; exit 0;;\n"
                         "esac\nexit 1\n");
        ::chmod(gio.at("gio").c_str(), 0755);
        dir.write("docs/a.txt", "a");
        dir.write("b.txt", "b");
        start();
        logAll('D');
        store = std::make_unique<TEnhIniFile>("Zentrix.INI", other.at("registry.ini"));
        roots = std::make_unique<RootCommands>(*cat, *drives, settings, *logger, prompter, catUi,
                                               *store);
        roots->LoggedDiskCount = [this] {
            return loggedDisks;
        };
    }
};

} // namespace

TEST_F(RootCommandsTest, AVirtualRootIsMadeKeptAndRemoved) {
    // E is the fixture's second drive: F is the first free letter.
    select("D:\\docs\\");
    prompter.answerText("f:");
    roots->MakeRoot();
    EXPECT_EQ(prompter.shown().at(0).text, "Make virtual root as: ");
    EXPECT_EQ(prompter.shown().at(0).caption, "Zentrix");
    const platform::DriveInfo* f = drives->Find('F');
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->virtualRoot);
    EXPECT_EQ(f->root, dir.at("docs"));
    ASSERT_NE(node("F:\\"), nullptr);
    EXPECT_EQ(store->ReadString(RootCommands::kRootsSection, "F", ""), dir.at("docs"));

    // The next start makes it again from the settings.
    platform::DriveTable fresh = platform::DriveTable::FromSpec("D=" + dir.path(), {});
    TEnhIniFile again("Zentrix.INI", other.at("registry.ini"));
    RootCommands next(*cat, fresh, settings, *logger, prompter, catUi, again);
    next.RestoreRoots();
    ASSERT_NE(fresh.Find('F'), nullptr);
    EXPECT_EQ(fresh.Find('F')->root, dir.at("docs"));

    // A letter in use, or no letter at all.
    prompter.clear();
    prompter.answerText("D").answerText("1");
    roots->MakeRoot();
    roots->MakeRoot();
    EXPECT_EQ(
        prompter.texts(),
        (std::vector<std::string>{"Make virtual root as: ", "Disk already exists!     ",
                                  "Make virtual root as: ", "Could not make virtual root!     "}));

    // Removing: not on the only disk; not an ordinary drive; asked, then gone.
    prompter.clear();
    loggedDisks = 1;
    roots->RemoveRoot();
    loggedDisks = 2;
    select("D:\\");
    prompter.answer(true);
    roots->RemoveRoot();
    EXPECT_NE(drives->Find('D'), nullptr);
    select("F:\\");
    prompter.answer(true);
    roots->RemoveRoot();
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"There is only one disk logged!     ",
                                                          "Remove virtual root D: ?",
                                                          "Could not remove virtual root!     ",
                                                          "Remove virtual root F: ?"}));
    EXPECT_EQ(drives->Find('F'), nullptr);
    EXPECT_EQ(node("F:\\"), nullptr);
    EXPECT_FALSE(settings.SkipReleaseDrvOption);
    EXPECT_FALSE(store->ValueExists(RootCommands::kRootsSection, "F"));
    EXPECT_EQ(readFile(dir.at("docs/a.txt")), "a");
}

TEST_F(RootCommandsTest, ANetworkShareIsMappedWithThePasswordOnStandardInput) {
    // A server alone is no disk.
    prompter.answerText("smb://server");
    roots->sbConnectClick();
    EXPECT_EQ(prompter.texts().back(), "Must select a shared disk resource!     ");

    // A wrong password: gio's own words.
    gio.write("mount-error", "gio: smb://server/share: Permission denied\n");
    prompter.clear();
    prompter.answerText("\\\\server\\share").answerText("wrong");
    roots->sbConnectClick();
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{
                  "Network share (smb://server/share, sftp://host/dir, dav://host/dir):",
                  "Enter password (if required):", "gio: smb://server/share: Permission denied"}));
    EXPECT_EQ(drives->Find('C'), nullptr);

    // The right one: never on a command line; the directory gio made gets the first free letter.
    ::unlink(gio.at("mount-error").c_str());
    ::unlink(gio.at("stdin").c_str());
    prompter.clear();
    prompter.answerText("smb://server/share").answerText("s3cret pass");
    roots->sbConnectClick();
    EXPECT_EQ(readFile(gio.at("stdin")), "s3cret pass\n");
    const std::string calls = readFile(gio.at("calls"));
    EXPECT_EQ(calls.find("s3cret"), std::string::npos);
    EXPECT_NE(calls.find("mount -- smb://server/share\ninfo -- smb://server/share\n"),
              std::string::npos);
    const platform::DriveInfo* f = drives->Find('C');
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->kind, platform::DriveKind::Network);
    EXPECT_EQ(f->root, gio.at("share"));
    EXPECT_NE(node("C:\\"), nullptr);

    // Releasing it offers the disconnect (full compatibility only).
    settings.Compatibility = 2;
    settings.SkipReleaseDrvOption = true;
    gio.write("unmount-fails");
    prompter.clear();
    prompter.answer(true);
    EXPECT_FALSE(logger->ReleaseDrive('C'));
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Disconnect network mapping ?",
                                        "Could not unmap disk from network!     "}));
    EXPECT_NE(node("C:\\"), nullptr);

    // Unmapping: a failure is said; success takes the letter away.
    prompter.clear();
    prompter.answerText("C:");
    roots->sbDisconnectClick();
    EXPECT_EQ(prompter.texts().back(), "Error unmapping a network disk!     ");
    ::unlink(gio.at("unmount-fails").c_str());
    prompter.answerText("C:");
    roots->sbDisconnectClick();
    EXPECT_EQ(drives->Find('C'), nullptr);
    EXPECT_NE(readFile(gio.at("calls")).find("mount -u " + gio.at("share") + "\n"),
              std::string::npos);
    // Cancel says nothing.
    prompter.clear();
    prompter.answerCancel();
    roots->sbDisconnectClick();
    EXPECT_EQ(prompter.texts().size(), 1u);
}

TEST(ShareUri, NamesAShareOrNothing) {
    EXPECT_EQ(RootCommands::ShareUri("\\\\SERVER\\SHARE"), "smb://SERVER/SHARE");
    EXPECT_EQ(RootCommands::ShareUri(" sftp://host "), "sftp://host");
    EXPECT_EQ(RootCommands::ShareUri("dav://host/dir"), "dav://host/dir");
    for (const char* bad : {"smb://server", "smb://server/", "\\\\SERVER", "/home/x", "-x://y/z",
                            "smb:///share", "smb://a/b\nc"})
        EXPECT_FALSE(RootCommands::ShareUri(bad)) << bad;
}
