#include "filewindow/quickview.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace zentrix;
using zentrix::test::TempDir;

TEST(QuickView, TextKindsShowTheirStartAfterTheInformationLines) {
    TempDir t;
    t.write("notes.txt", "first\r\nsecond\nunfinished");
    auto info = [](const std::string& path) { return std::vector<std::string>{"info for " + path}; };
    const QuickViewContent c = BuildQuickView("notes.txt", t.at("notes.txt"), info);
    EXPECT_EQ(c.lines, (std::vector<std::string>{"info for " + t.at("notes.txt"), "first", "second"}));
    EXPECT_EQ(c.picture, "");
    EXPECT_FALSE(c.media);

    // Only the first 8192 characters are read.
    t.write("long.log", std::string(8191, 'x') + "\n" + "beyond\n");
    EXPECT_EQ(QuickViewTextLines(t.at("long.log")).size(), 1u);
    t.write("exact.ini", std::string(8190, 'y') + "\nz\n");
    EXPECT_EQ(QuickViewTextLines(t.at("exact.ini")).size(), 1u); // "z" starts at 8191, its line feed beyond

    EXPECT_TRUE(QuickViewTextLines(t.at("missing.txt")).empty());
}

TEST(QuickView, PicturesAndMediaAndTheAviException) {
    int asked = 0;
    auto info = [&](const std::string&) {
        ++asked;
        return std::vector<std::string>{"line"};
    };
    QuickViewContent pic = BuildQuickView("photo.bmp", "/x/photo.bmp", info);
    EXPECT_EQ(pic.picture, "/x/photo.bmp");
    EXPECT_EQ(pic.lines, (std::vector<std::string>{"line"}));
    QuickViewContent avi = BuildQuickView("clip.AVI", "/x/clip.AVI", info);
    EXPECT_TRUE(avi.media);
    EXPECT_TRUE(avi.lines.empty());
    EXPECT_EQ(asked, 1); // not asked for ".AVI"
    EXPECT_TRUE(BuildQuickView("song.wav", "/x/song.wav", info).media);
    EXPECT_EQ(BuildQuickView("README", "/x/README", info).picture, "");
}
