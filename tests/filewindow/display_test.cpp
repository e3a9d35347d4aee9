#include "fixture.h"

#include "catalogue/icon.h"
#include "filewindow/filecolumns.h"
#include "filewindow/filetexts.h"

namespace zentrix::test {
namespace {

/// Counts what the window asks the system for.
class CountingIcons : public IconProvider {
public:
    std::vector<std::string> asked;
    std::unique_ptr<TIcon> largeIconFor(const std::string& hostPath, const std::string&) override {
        asked.push_back(hostPath.substr(hostPath.rfind('/') + 1));
        return std::make_unique<TIcon>();
    }
};

class DisplayTest : public FileWindowFixture {
protected:
    CountingIcons icons;
    void SetUp() override {
        dir.write("a.txt", "1");
        dir.write("b.txt", "22");
        dir.write("c.TXT", "333");
        dir.write("tool.exe", "MZ");
        dir.write("other.exe", "MZ");
        dir.write("pic.bmp", "BM");
        dir.write("sub/deep.txt");
        start();
        fw->SetIconProvider(&icons);
        logAll('D');
        select("D:\\");
        fill();
    }
};

TEST_F(DisplayTest, IconsAndDescriptionsAreFetchedOncePerExtensionOrFile) {
    for (int pass = 0; pass < 3; ++pass)
        for (int i = 0; i < fw->Count(); ++i) {
            ASSERT_NE(fw->DisplayIcon(fw->Record(i)), nullptr);
            fw->DisplayDescription(fw->Record(i));
        }
    // One per extension for the plain files (".txt" and ".TXT" are one), one
    // per file for the programs and pictures.
    std::sort(icons.asked.begin(), icons.asked.end());
    EXPECT_EQ(icons.asked, (std::vector<std::string>{"a.txt", "other.exe", "pic.bmp", "tool.exe"}));
    EXPECT_EQ(cat->DescCache().Count(), 1);
    // Own kinds keep their description in the record, the others share the cache's.
    TFileClass* tool = file("D:\\tool.exe");
    EXPECT_FALSE(tool->DescText().empty());
    EXPECT_EQ(fw->DisplayDescription(file("D:\\b.txt")), fw->DisplayDescription(file("D:\\c.TXT")));
}

TEST_F(DisplayTest, NameTextsAndOptimisedWidths) {
    TFileClass* deep = file("D:\\sub\\deep.txt");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(EntryNameText(*deep, settings), "deep.txt");
    settings.DisplayFullPathOption = true;
    EXPECT_EQ(EntryNameText(*deep, settings), "D:\\sub\\deep.txt");
    EXPECT_EQ(ColumnNameText(*deep, settings), "deep.txt"); // never the full path
    settings.ShowShortNames = true; // the short form here is the name itself
    EXPECT_EQ(EntryNameText(*deep, settings), "deep.txt");
    settings.ShowShortNames = false;

    // Seven units per character.
    auto measure = [](std::string_view s) {
        return static_cast<int>(s.size()) * 7;
    };
    const SectionWidths current = DefaultSectionWidths();
    std::vector<const TFileClass*> records = fw->Records();
    records.push_back(deep);
    SectionWidths w =
        OptimizedSectionWidths(records, current, settings, kFormatNormal, 16, measure);
    EXPECT_EQ(w[0], ClampSectionWidth(0, 15 * 7 - 30 + 8)); // "D:\sub\deep.txt"
    EXPECT_EQ(w[1], 30);
    EXPECT_EQ(w[2], 30); // "3" is narrow: the minimum
    EXPECT_EQ(w[3], ClampSectionWidth(
                        3, static_cast<int>(DateText(deep->LastWriteTime()).size()) * 7 + 8));
    EXPECT_EQ(w[4], 4 * 7 + 8);
    EXPECT_EQ(w[5], current[5]);
    settings.DisplayFullPathOption = false;
    w = OptimizedSectionWidths(records, current, settings, kFormatLargeIcons, 32, measure);
    EXPECT_EQ(w[0], 9 * 7 + 36 - 30 + 8); // "other.exe" and its icon
    EXPECT_EQ(OptimizedSectionWidths(records, current, settings, kFormat3Columns, 16, measure),
              current);
}

} // namespace
} // namespace zentrix::test
