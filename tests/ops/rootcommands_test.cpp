#include "config/tenhinifile.h"
#include "filewindow/fixture.h"
#include "giostandin.h"
#include "ops/networkbrowser.h"
#include "ops/rootcommands.h"
#include "platform/process.h"
#include "support/files.h"
#include "support/scopedenv.h"

#include <sys/stat.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

/// Drive D on a temporary directory, its tree logged, a settings file of its
/// own, and the stand-in gio first on the PATH.
class RootCommandsTest : public FileWindowFixture {
protected:
    GioStandIn gio;
    std::unique_ptr<TEnhIniFile> store;
    std::unique_ptr<RootCommands> roots;
    int loggedDisks = 2;

    void SetUp() override {
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
    EXPECT_EQ(ReadFile(dir.at("docs/a.txt")), "a");
}

TEST_F(RootCommandsTest, ANetworkShareIsMappedWithThePasswordOnStandardInput) {
    // A server alone is no disk.
    prompter.answerText("smb://server");
    roots->sbConnectClick();
    EXPECT_EQ(prompter.texts().back(), "Must select a shared disk resource!     ");

    // A wrong password: gio's own words.
    gio.dir.write("mount-error", "gio: smb://server/share: Permission denied\n");
    prompter.clear();
    prompter.answerText("\\\\server\\share").answerText("wrong");
    roots->sbConnectClick();
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{
                  "Network share (smb://server/share, sftp://host/dir, dav://host/dir):",
                  "Enter password (if required):", "gio: smb://server/share: Permission denied"}));
    EXPECT_EQ(drives->Find('C'), nullptr);

    // The right one: never on a command line; the directory gio made gets the first free letter.
    ::unlink(gio.dir.at("mount-error").c_str());
    ::unlink(gio.dir.at("stdin").c_str());
    prompter.clear();
    prompter.answerText("smb://server/share").answerText("s3cret pass");
    roots->sbConnectClick();
    EXPECT_EQ(ReadFile(gio.dir.at("stdin")), "s3cret pass\n");
    const std::string calls = ReadFile(gio.dir.at("calls"));
    EXPECT_EQ(calls.find("s3cret"), std::string::npos);
    EXPECT_NE(calls.find("mount -- smb://server/share\ninfo -- smb://server/share\n"),
              std::string::npos);
    const platform::DriveInfo* f = drives->Find('C');
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->kind, platform::DriveKind::Network);
    EXPECT_EQ(f->root, gio.dir.at("share"));
    EXPECT_NE(node("C:\\"), nullptr);

    // Releasing it offers the disconnect (full compatibility only).
    settings.Compatibility = 2;
    settings.SkipReleaseDrvOption = true;
    gio.dir.write("unmount-fails");
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
    ::unlink(gio.dir.at("unmount-fails").c_str());
    prompter.answerText("C:");
    roots->sbDisconnectClick();
    EXPECT_EQ(drives->Find('C'), nullptr);
    EXPECT_NE(ReadFile(gio.dir.at("calls")).find("mount -u " + gio.dir.at("share") + "\n"),
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

TEST_F(RootCommandsTest, MappedNetworkDisksComeBackWhileTheirSharesAreMounted) {
    prompter.answerText("smb://server/share").answerText("");
    roots->sbConnectClick();
    ASSERT_NE(drives->Find('C'), nullptr) << ::testing::PrintToString(prompter.texts());
    EXPECT_EQ(store->ReadString(RootCommands::kNetworkSection, "C", ""), "smb://server/share");
    store->WriteString(RootCommands::kNetworkSection, "G", "sftp://gone/dir");
    store->UpdateFile();
    // gio writes the server as it likes and a closing slash.
    gio.dir.write("mounts", "Drive(0): disk\n  Volume(0): root\n    Mount(0): root -> file:///\n"
                            "Mount(0): share on server -> smb://SERVER/share/\n"
                            "  Type: GDaemonMount\n");

    // The next start: C comes back on the share's directory, G is forgotten.
    const auto nextStart = [&](platform::DriveTable& table) {
        TEnhIniFile kept("Zentrix.INI", other.at("registry.ini"));
        RootCommands next(*cat, table, settings, *logger, prompter, catUi, kept);
        next.RestoreNetworkDisks();
    };
    platform::DriveTable fresh = platform::DriveTable::FromSpec("D=" + dir.path(), {});
    nextStart(fresh);
    const platform::DriveInfo* c = fresh.Find('C');
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->mappedShare);
    EXPECT_EQ(c->root, gio.dir.at("share"));
    EXPECT_EQ(c->label, "smb://server/share");
    EXPECT_EQ(fresh.Find('G'), nullptr);
    TEnhIniFile reread("Zentrix.INI", other.at("registry.ini"));
    EXPECT_FALSE(reread.ValueExists(RootCommands::kNetworkSection, "G"));
    EXPECT_TRUE(reread.ValueExists(RootCommands::kNetworkSection, "C"));

    // Its letter taken by another drive: left out, and kept for later.
    platform::DriveTable taken =
        platform::DriveTable::FromSpec("C=" + dir.at("docs") + ";D=" + dir.path(), {});
    nextStart(taken);
    EXPECT_FALSE(taken.Find('C')->mappedShare);
    // Without gio nothing is known to be gone.
    {
        ScopedEnv noGio("PATH", other.path());
        platform::DriveTable bare = platform::DriveTable::FromSpec("D=" + dir.path(), {});
        nextStart(bare);
        EXPECT_EQ(bare.Find('C'), nullptr);
    }
    EXPECT_TRUE(TEnhIniFile("Zentrix.INI", other.at("registry.ini"))
                    .ValueExists(RootCommands::kNetworkSection, "C"));

    // Unmapping forgets it; a share unmounted elsewhere is dropped at the next start.
    prompter.clear();
    prompter.answerText("C:");
    roots->sbDisconnectClick();
    EXPECT_EQ(drives->Find('C'), nullptr);
    EXPECT_FALSE(store->ValueExists(RootCommands::kNetworkSection, "C"));
    store->WriteString(RootCommands::kNetworkSection, "H", "smb://server/share");
    store->UpdateFile();
    gio.dir.write("mounts", "");
    platform::DriveTable later = platform::DriveTable::FromSpec("D=" + dir.path(), {});
    nextStart(later);
    EXPECT_EQ(later.Find('H'), nullptr);
    EXPECT_TRUE(TEnhIniFile("Zentrix.INI", other.at("registry.ini"))
                    .ReadSectionPairs(RootCommands::kNetworkSection)
                    .empty());
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Unmap a network disk:"});
}

TEST_F(RootCommandsTest, TheNetworkIsListedByGio) {
    gio.list("network:///",
             GioListLine("network:///smb-root", "mountable", "Windows Network", "smb:///") +
                 GioListLine("network:///server%3Dfiles", "shortcut", "files", "smb://files/"));
    gio.list("smb://files/",
             GioListLine("smb://files/public", "shortcut", "public", "smb://files/public") +
                 "smb://files/Home%20Dirs\t0\t(shortcut)\n");

    const NetworkListing root = NetworkBrowser::ListRoot();
    EXPECT_EQ(root.error, "");
    ASSERT_EQ(root.entries.size(), 2u);
    EXPECT_EQ(root.entries[0].name, "Windows Network");
    EXPECT_EQ(root.entries[0].Location(), "smb:///");
    EXPECT_EQ(root.entries[1].Location(), "smb://files/");
    EXPECT_TRUE(NetworkBrowser::CanOpen(root.entries[1].Location()));

    const NetworkListing shares = NetworkBrowser::List("smb://files/");
    ASSERT_EQ(shares.entries.size(), 2u);
    EXPECT_EQ(shares.entries[1].name, "Home Dirs");
    EXPECT_EQ(shares.entries[1].Location(), "smb://files/Home%20Dirs");
    EXPECT_FALSE(NetworkBrowser::CanOpen(shares.entries[0].Location()));
    EXPECT_NE(ReadFile(gio.dir.at("calls"))
                  .find("list -l -u -a standard::display-name,standard::target-uri -- "
                        "smb://files/\n"),
              std::string::npos);

    // A server that cannot be read: gio's own words.
    const NetworkListing none = NetworkBrowser::List("smb://nobody/");
    EXPECT_TRUE(none.entries.empty());
    EXPECT_EQ(none.error, "gio: smb://nobody/: Operation not supported");

    // A desktop without network browsing: the Windows network instead, and
    // when that shows nothing either, why the network could not be read.
    gio.dir.remove("list/network____");
    gio.list("smb:///", GioListLine("smb://workgroup/", "directory", "WORKGROUP"));
    const NetworkListing windows = NetworkBrowser::ListRoot();
    ASSERT_EQ(windows.entries.size(), 1u);
    EXPECT_EQ(windows.entries[0].name, "WORKGROUP");
    gio.dir.remove("list/smb____");
    EXPECT_EQ(NetworkBrowser::ListRoot().error, "gio: network:///: Operation not supported");
    ScopedEnv noGio("PATH", other.path());
    EXPECT_EQ(NetworkBrowser::ListRoot().error,
              "Browsing the network needs gio (package libglib2.0-bin).");
}

TEST(NetworkBrowser, ReadsWhatGioPrints) {
    // Blanks and "=" in display names, attributes in either order, CR LF, and
    // lines that are no entries.
    const auto entries = NetworkBrowser::ParseList(
        "smb://a/x\t0\t(shortcut)\tstandard::target-uri=smb://a/x standard::display-name=My "
        "share = old\r\n"
        "gio: smb://b/: Operation not supported\n"
        "\n"
        "sftp://h/\t0\t(mountable)\tstandard::display-name=h standard::target-uri=not a uri\n"
        "smb://a/%41%zz\n"
        "smb://a/b%0Ac\n");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, "My share = old");
    EXPECT_EQ(entries[0].target, "smb://a/x");
    EXPECT_EQ(entries[0].type, "shortcut");
    EXPECT_EQ(entries[1].target, "");
    EXPECT_EQ(entries[1].Location(), "sftp://h/");
    EXPECT_EQ(entries[2].name, "A%zz");
    EXPECT_EQ(entries[3].name, "b%0Ac"); // a name stays on one line

    EXPECT_EQ(NetworkBrowser::ParseMounts("Mount(0): a -> smb://s/a/\n"
                                          "    Mount(1): b on c -> sftp://me@c/home/\n"
                                          "Mount(2): broken ->\n"
                                          "Volume(0): x -> smb://s/v\n"
                                          "  Type: GDaemonMount\n"),
              (std::vector<std::string>{"smb://s/a/", "sftp://me@c/home/"}));

    for (const char* uri : {"network:///", "smb:///", "smb://WORKGROUP/", "smb://server"})
        EXPECT_TRUE(NetworkBrowser::CanOpen(uri)) << uri;
    for (const char* uri : {"smb://server/share", "sftp://host/", "dav://h/d", "nonsense"})
        EXPECT_FALSE(NetworkBrowser::CanOpen(uri)) << uri;

    EXPECT_TRUE(NetworkBrowser::SameLocation("smb://Server/Share/", "SMB://server/share"));
    EXPECT_TRUE(NetworkBrowser::SameLocation("sftp://HOST/home/", "sftp://host/home"));
    EXPECT_FALSE(NetworkBrowser::SameLocation("sftp://host/Home", "sftp://host/home"));
    EXPECT_FALSE(NetworkBrowser::SameLocation("smb://s/a", "sftp://s/a"));
    EXPECT_FALSE(NetworkBrowser::SameLocation("smb://s/a", "smb://s/a/b"));
}
