#include "view/desktopentry.h"
#include "view/dispatchrules.h"
#include "view/shellhistory.h"
#include "view/zipplan.h"

#include <gtest/gtest.h>

using namespace zentrix;

TEST(DispatchRules, TheViewCommandByExtensionAndSetting) {
    struct Case {
        const char* name;
        bool builtIn;
        bool pictureViewer;
        ViewAction expected;
    };
    const Case cases[] = {
        {"a.zip", true, true, ViewAction::OpenZip},
        {"a.ZIP", false, false, ViewAction::OpenZip},
        {"arrow.cur", true, true, ViewAction::LoadCursor},
        {"busy.ani", false, true, ViewAction::LoadCursor},
        {"photo.jpg", true, true, ViewAction::PictureViewer},
        {"photo.JPEG", true, true, ViewAction::PictureViewer},
        {"scan.pcx", true, true, ViewAction::PictureViewer},
        // Without the picture viewer the built-in viewer takes pictures.
        {"photo.jpg", true, false, ViewAction::BuiltInViewer},
        {"anim.gif", true, true, ViewAction::GifWindow},
        {"anim.gif", true, false, ViewAction::GifWindow},
        // The associated viewer when the built-in one is not wanted, GIF included.
        {"anim.gif", false, true, ViewAction::AssociatedViewer},
        {"photo.jpg", false, true, ViewAction::AssociatedViewer},
        {"readme.txt", true, true, ViewAction::BuiltInViewer},
        {"Makefile", true, true, ViewAction::BuiltInViewer},
        {"archive.tar.gz", true, true, ViewAction::BuiltInViewer},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseViewAction(c.name, c.builtIn, c.pictureViewer), c.expected)
            << c.name << " " << c.builtIn << c.pictureViewer;
}

TEST(DispatchRules, AssociatedProgramsThatNameAnotherSystemsDefaultsReadAsEmpty) {
    EXPECT_EQ(AssociatedProgram("C:\\ETC\\NOTEPAD.EXE"), "");
    EXPECT_EQ(AssociatedProgram("c:\\windows\\pbrush.exe"), "");
    EXPECT_EQ(AssociatedProgram("  "), "");
    EXPECT_EQ(AssociatedProgram("/usr/bin/gedit"), "/usr/bin/gedit");
    EXPECT_EQ(AssociatedProgram("mousepad "), "mousepad");
}

TEST(DispatchRules, ShellOpenSplitsAfterTheExtension) {
    auto split = SplitShellCommand("C:\\Program Files\\App.exe /x");
    EXPECT_EQ(split.program, "C:\\Program Files\\App.exe");
    EXPECT_EQ(split.parameters, "/x");
    // A parameter with a full stop moves the split into it.
    split = SplitShellCommand("C:\\App.exe file.txt more");
    EXPECT_EQ(split.program, "C:\\App.exe file.txt");
    EXPECT_EQ(split.parameters, "more");
    // No extension, or a directory separator after the last full stop.
    EXPECT_EQ(SplitShellCommand("C:\\DIR.X\\PROG").program, "");
    EXPECT_EQ(SplitShellCommand("notepad").program, "");
    EXPECT_EQ(SplitShellCommand("notepad").parameters, "notepad");
}

TEST(DispatchRules, SmallRules) {
    EXPECT_TRUE(IsArchiveCandidate("A.EXE"));
    EXPECT_TRUE(IsArchiveCandidate("a.zip"));
    EXPECT_FALSE(IsArchiveCandidate("a.txt"));
    EXPECT_TRUE(ShowsRegisteredTypeName("x.dll"));
    EXPECT_TRUE(ShowsRegisteredTypeName("x.CP$"));
    EXPECT_FALSE(ShowsRegisteredTypeName("x.txt"));
    EXPECT_FALSE(ShowsRegisteredTypeName("x.EX"));
    EXPECT_EQ(FileSizeText(12345), "12 KB (12345 B)");
    EXPECT_EQ(FileSizeText(0), "0 KB (0 B)");
    EXPECT_EQ(TerminalCommand(" xterm ").program, "xterm");
    EXPECT_EQ(TerminalCommand("").program, "x-terminal-emulator");
    EXPECT_EQ(DefragCommand("ext4", "/mnt").program, "e4defrag");
    EXPECT_TRUE(DefragCommand("vfat", "/mnt").empty());
    EXPECT_TRUE(CheckDiskCommand("tmpfs").empty());
    const LaunchCommand wrapped = InTerminal({"xterm", {}}, {"fsck", {"-n", "/dev/it's"}});
    ASSERT_EQ(wrapped.arguments.size(), 4u);
    EXPECT_EQ(wrapped.arguments[3].substr(0, 26), "'fsck' '-n' '/dev/it'\\''s'");
}

TEST(ZipPlan, TaggedFilesRelativeToTheirCommonDirectory) {
    // One file: its name, the archive named after it, in its directory.
    ZipPlan plan = PlanTaggedZip({"D:\\DOCS\\Letter.txt"}, "D:\\");
    EXPECT_EQ(plan.baseDirectory, "D:\\DOCS\\");
    EXPECT_EQ(plan.names, std::vector<std::string>{"Letter.txt"});
    EXPECT_FALSE(plan.keepSubdirectories);
    EXPECT_EQ(plan.archivePath, "D:\\DOCS\\LETTER.ZIP");
    // Several directories: the subdirectory flag and the common directory's name.
    plan = PlanTaggedZip({"D:\\DOCS\\A\\x.txt", "D:\\DOCS\\B\\y.txt", "D:\\docs\\z.txt"},
                         "D:\\DOCS\\A\\");
    EXPECT_EQ(plan.baseDirectory, "D:\\DOCS\\");
    EXPECT_EQ(plan.names, (std::vector<std::string>{"A\\x.txt", "B\\y.txt", "z.txt"}));
    EXPECT_TRUE(plan.keepSubdirectories);
    EXPECT_EQ(plan.archivePath, "D:\\DOCS\\DOCS.ZIP");
    // The same name apart from the extension.
    plan = PlanTaggedZip({"D:\\P\\song.mp3", "D:\\P\\Song.txt"}, "D:\\P\\");
    EXPECT_EQ(plan.archivePath, "D:\\P\\SONG.ZIP");
    // Files on a root: "NewArchive.ZIP" in the selected directory.
    plan = PlanTaggedZip({"D:\\a.txt", "D:\\X\\b.txt"}, "D:\\X\\");
    EXPECT_EQ(plan.archivePath, "D:\\X\\NewArchive.ZIP");
}

TEST(ZipPlan, TheLibrarysListCarriesEveryNameWholeAndTellsMasksApart) {
    const std::vector<ZipListItem> items = {{"x\" .. \"y", false},
                                            {"a b.txt", false},
                                            {"star*", false},
                                            {"/d/*.txt", true},
                                            {"line\nbreak", false}};
    const std::string list = ZipFileList(items);
    EXPECT_EQ(list.back(), '\0');
    const auto back = ParseZipFileList(list.c_str());
    ASSERT_EQ(back.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(back[i].path, items[i].path);
        EXPECT_EQ(back[i].mask, items[i].mask);
    }
    // Nothing to carry: the list is its end alone.
    EXPECT_TRUE(ParseZipFileList(ZipFileList({}).c_str()).empty());
    EXPECT_TRUE(ParseZipFileList(nullptr).empty());
}

TEST(ZipPlan, ADirectoryWithTheMasksOfTheFileSpecification) {
    ZipPlan plan = PlanDirectoryZip("D:\\DOCS\\", "*.txt  *.doc", true);
    EXPECT_EQ(plan.names, (std::vector<std::string>{"D:\\DOCS\\*.txt", "D:\\DOCS\\*.doc"}));
    EXPECT_TRUE(plan.recurse);
    EXPECT_TRUE(plan.keepSubdirectories);
    EXPECT_EQ(plan.archivePath, "D:\\DOCS\\DOCS.ZIP");
    plan = PlanDirectoryZip("D:\\", "", false);
    EXPECT_EQ(plan.names, std::vector<std::string>{"D:\\*.*"});
    EXPECT_EQ(plan.archivePath, "D:\\NewArchive.ZIP");
}

TEST(ShellHistory, CommandsSortedOnceWithoutTimeStamps) {
    const std::string bash = "ls -l\n#1700000000\nmake test\n\nls -l\r\n  cd /tmp  \n";
    EXPECT_EQ(ParseShellHistory(bash), (std::vector<std::string>{"cd /tmp", "ls -l", "make test"}));
    EXPECT_EQ(ParseShellHistory(": 1700000000:0;git status\n: 1700000001:0;vim x\n"),
              (std::vector<std::string>{"git status", "vim x"}));
    // Only the newest distinct commands are kept.
    EXPECT_EQ(ParseShellHistory("old\nnew1\nnew2\nnew1\n", 2),
              (std::vector<std::string>{"new1", "new2"}));
    EXPECT_EQ(ShellHistoryPath(nullptr, "/home/u"), "/home/u/.bash_history");
    EXPECT_EQ(ShellHistoryPath("/h/f", "/home/u"), "/h/f");
}

TEST(DesktopEntry, OnlyTheDesktopEntryGroup) {
    const auto keys =
        ParseDesktopEntry("# comment\n[Other]\nIcon=wrong\n[Desktop Entry]\r\n"
                          "Name = Editor \nIcon=accessories-text-editor\nIcon=second\n"
                          "broken line\n=novalue\n[Desktop Action x]\nIcon=no\n");
    EXPECT_EQ(keys.at("Icon"), "accessories-text-editor");
    EXPECT_EQ(keys.at("Name"), "Editor");
    EXPECT_EQ(keys.size(), 2u);
}
