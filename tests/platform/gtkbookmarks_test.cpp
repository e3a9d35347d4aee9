#include "platform/atomicfile.h"
#include "platform/drivetable.h"
#include "platform/gtkbookmarks.h"
#include "support/scopedenv.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentrix::platform;
using zentrix::test::ScopedEnv;
using zentrix::test::TempDir;

namespace {

class GtkBookmarks : public ::testing::Test {
protected:
    TempDir tmp;
    ScopedEnv config{"XDG_CONFIG_HOME", tmp.at("config")};

    std::string file() const { return tmp.at("config/gtk-3.0/bookmarks"); }
    std::string text() const {
        std::ifstream in(file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

// Names with blanks, per cent signs and letters beyond ASCII are written as
// other desktop programs write them and read back unchanged.
TEST_F(GtkBookmarks, NamesWithBlanksAndNonAsciiLettersGoThereAndBack) {
    const std::string path = "/home/me/My Music/\xc3\xa9t\xc3\xa9 #1 100%";
    const std::string uri = GtkBookmarkUri(path);
    EXPECT_EQ(uri, "file:///home/me/My%20Music/%C3%A9t%C3%A9%20%231%20100%25");
    EXPECT_EQ(ParseGtkBookmarks(uri + " Label with blanks\r\n"), std::vector<std::string>{path});
    EXPECT_EQ(ParseGtkBookmarks("file://localhost/a%2fb\nfile://elsewhere/x\nfile:///bad%00\n"),
              std::vector<std::string>{"/a/b"});
}

TEST_F(GtkBookmarks, AddingKeepsEveryOtherLineAndAddsEachDirectoryOnce) {
    tmp.mkdir("dir one");
    tmp.mkdir("gone");
    const std::string others = "sftp://host/share Remote\r\nfile://" + tmp.at("gone") +
                               "\n# not a bookmark\nfile:///x%20y";
    tmp.write("config/gtk-3.0/bookmarks", others);
    ::chmod(file().c_str(), 0640);

    AddGtkBookmark(tmp.at("dir one"), "First\nfile:///etc injected\t");
    const std::string added =
        others + "\n" + GtkBookmarkUri(tmp.at("dir one")) + " First file:///etc injected\n";
    EXPECT_EQ(text(), added);
    AddGtkBookmark(tmp.at("dir one"), "Again");
    EXPECT_EQ(text(), added);
    struct stat st {};
    ASSERT_EQ(::stat(file().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // Only existing directories are read back.
    ::rmdir(tmp.at("gone").c_str());
    EXPECT_EQ(ReadGtkBookmarks(), std::vector<std::string>{tmp.at("dir one")});
}

TEST_F(GtkBookmarks, AMissingFileIsMadeAndALinkedOneStaysALink) {
    AddGtkBookmark("/srv/a b", "");
    EXPECT_EQ(text(), "file:///srv/a%20b\n");

    tmp.write("dotfiles/bookmarks", "file:///kept\n");
    ::unlink(file().c_str());
    ASSERT_EQ(::symlink(tmp.at("dotfiles/bookmarks").c_str(), file().c_str()), 0);
    AddGtkBookmark("/srv/c", "C");
    struct stat st {};
    ASSERT_EQ(::lstat(file().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(text(), "file:///kept\nfile:///srv/c C\n");
}

TEST_F(GtkBookmarks, AFileThatCannotBeReadIsNeverReplaced) {
    tmp.write("config/gtk-3.0/bookmarks", std::string(2 * 1024 * 1024, 'x'));
    EXPECT_THROW(AddGtkBookmark("/srv/a", "A"), FileWriteError);
    EXPECT_EQ(text().size(), 2u * 1024 * 1024);
}

// user-dirs.dirs as the desktop's tools write it, localised, edited by hand.
TEST(UserDirs, ValuesRelativeToHomeOrAbsoluteComeInTheFavoritesOrder) {
    const std::string text = "# written by xdg-user-dirs-update\n"
                             "XDG_VIDEOS_DIR=\"$HOME/Videos\"\n"
                             "XDG_TEMPLATES_DIR=\"$HOME/Templates\"\n"
                             "  XDG_MUSIC_DIR = \"/srv/music/\"\r\n"
                             "XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\n"
                             "XDG_DOCUMENTS_DIR=\"$HOME/second\"\n"
                             "XDG_DOWNLOAD_DIR=\"$HOME\"\n"
                             "XDG_PICTURES_DIR=\"relative\"\n"
                             "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
    EXPECT_EQ(ParseUserDirs(text, "/home/me"),
              (std::vector<std::string>{"/home/me/Schreibtisch", "/home/me/My \"Docs\"",
                                        "/srv/music", "/home/me/Videos"}));
    // Without a Desktop line the desktop is where the desktop's tools put it.
    EXPECT_EQ(ParseUserDirs("XDG_MUSIC_DIR=\"$HOME/M\"", "/home/me/"),
              (std::vector<std::string>{"/home/me/Desktop", "/home/me/M"}));
}

TEST_F(GtkBookmarks, FavoritesAreTheBookmarksThenHomeAndTheUserDirectoriesOnADrive) {
    tmp.mkdir("home/Documents");
    tmp.mkdir("home/Downloads");
    tmp.mkdir("home/Desktop");
    tmp.mkdir("marked");
    tmp.mkdir("elsewhere/music");
    ScopedEnv home("HOME", tmp.at("home"));
    tmp.write("config/gtk-3.0/bookmarks",
              GtkBookmarkUri(tmp.at("marked")) + "\n" + GtkBookmarkUri(tmp.at("home/Downloads")));
    tmp.write("config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                                       "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n"
                                       "XDG_PICTURES_DIR=\"$HOME/Pictures\"\n"
                                       "XDG_MUSIC_DIR=\"" +
                                           tmp.at("elsewhere/music") + "\"\n");
    const DriveTable drives = DriveTable::FromSpec(
        "D=" + tmp.at("home") + ";E=" + tmp.at("marked"), {});
    // Each once, in that order; Pictures does not exist, the music is on no drive.
    EXPECT_EQ(FavoriteDirectories(drives),
              (std::vector<std::string>{"E:\\", "D:\\Downloads\\", "D:\\", "D:\\Desktop\\",
                                        "D:\\Documents\\"}));
}

} // namespace
