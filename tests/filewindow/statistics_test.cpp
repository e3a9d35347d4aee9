#include "fixture.h"

namespace zentrix::test {
namespace {

class StatisticsTest : public FileWindowFixture {
protected:
    void SetUp() override {
        dir.write("a.txt", std::string(100, 'a'));
        dir.write("b.doc", std::string(2048, 'b'));
        dir.write("README");
        dir.write("c.TXT", std::string(1023, 'c'));
        dir.write("docs/d.txt", std::string(5000, 'd'));
        dir.write("docs/e.doc", std::string(3000, 'e'));
        dir.write("docs/sub/g.txt", std::string(4096, 'g'));
        other.write("x.txt", std::string(2048, 'x'));
        start();
        logAll('E');
        logAll('D');
        select("D:\\");
    }
    const StatisticsTexts& stats() { return fw->Statistics(); }
    void expectRow(const char* upper, const char* files, const char* size, const char* lower,
                   const char* tagged, const char* taggedSize) {
        EXPECT_EQ(stats().upperCaption, upper);
        EXPECT_EQ(stats().files, files);
        EXPECT_EQ(stats().size, size);
        EXPECT_EQ(stats().lowerCaption, lower);
        EXPECT_EQ(stats().taggedFiles, tagged);
        EXPECT_EQ(stats().taggedSize, taggedSize);
    }
};

TEST_F(StatisticsTest, DirectoryRowsWithAndWithoutTheFocus) {
    ui.focus = RecordingUi::Focus::FileWindow;
    fill();
    fw->InvertTag(fw->Count() - 1); // README, 0 bytes
    fw->InvertTag(1);               // b.doc
    expectRow(" Current directory statistics: ", "4", "3.171 bytes.",
              " Directory tagged statistics: ", "2", "2.048 bytes.");
    EXPECT_EQ(ui.label, "D:\\");

    // Without the focus the lower group shows the disk's tagged files, in
    // kilobytes, and keeps them until the cache is reset.
    file("D:\\docs\\d.txt")->SetTagged(true);
    ui.focus = RecordingUi::Focus::Tree;
    fw->ResetDiskStatCache();
    fw->UpdateStatistics();
    expectRow(" Current directory statistics: ", "4", "3.171 bytes.",
              " Disk tagged statistics: ", "3", "6 Kb.");
    EXPECT_EQ(fw->DiskStatCache(), 'D');
    file("D:\\docs\\e.doc")->SetTagged(true);
    fw->UpdateStatistics();
    EXPECT_EQ(stats().taggedFiles, "3");
    fw->ResetDiskStatCache();
    fw->UpdateStatistics();
    EXPECT_EQ(stats().taggedFiles, "4");
    EXPECT_EQ(stats().taggedSize, "8 Kb.");

    // Gaining the focus resets the cache and shows the window's tags again.
    ui.focus = RecordingUi::Focus::FileWindow;
    fw->FileWindowEnter();
    EXPECT_EQ(stats().lowerCaption, " Directory tagged statistics: ");
    EXPECT_EQ(fw->DiskStatCache(), 0);

    // A directory without a record shows zeros.
    fw->ResetDiskStatCache();
    logger->UnlogBranch(node("D:\\docs\\"));
    select("D:\\docs\\");
    fw->UpdateStatistics();
    EXPECT_EQ(stats().files, "0");
    EXPECT_EQ(stats().size, "0");
}

TEST_F(StatisticsTest, ShowAllRows) {
    file("D:\\b.doc")->SetTagged(true);
    file("D:\\docs\\sub\\g.txt")->SetTagged(true);
    file("E:\\x.txt")->SetTagged(true);
    select("D:\\docs\\");

    state.scope = 2;
    fw->UpdateStatistics();
    // 0+2+0+0 + 4+2 + 4 + 2 kilobytes (each file rounded down).
    expectRow(" Global ShowAll statistics: ", "8", "14 Kb.", " Global tagged statistics: ", "3",
              "8 Kb.");
    state.scope = 5;
    fw->UpdateStatistics();
    EXPECT_EQ(stats().upperCaption, " Global ShowAll statistics: ");

    state.scope = 6;
    fw->UpdateStatistics();
    expectRow(" Disk ShowAll statistics: ", "7", "12 Kb.", " Disk tagged statistics: ", "2",
              "6 Kb.");
    state.scope = 4;
    fw->UpdateStatistics();
    expectRow(" Branch ShowAll statistics: ", "3", "10 Kb.", " Branch tagged statistics: ", "1",
              "4 Kb.");

    state.scope = 8;
    cat->ResultFiles = {"D:\\B.DOC", "E:\\X.TXT", "D:\\NONE.TXT"};
    ui.focus = RecordingUi::Focus::Tree;
    fill();
    expectRow(" Find results statistics ", "3", "-", " Find results tagged statistics ", "2",
              "4.096 bytes.");
}

TEST_F(StatisticsTest, CurrentFilePanel) {
    settings.ShowFileDescOption = true;
    ui.focus = RecordingUi::Focus::FileWindow;
    fill();
    fw->SetCurrent(1);
    const CurrentFileTexts& t = fw->CurrentFile();
    EXPECT_EQ(t.pos, " 2 of 4");
    EXPECT_EQ(t.name, " b.doc");
    EXPECT_EQ(t.size, " 2.048 bytes");
    EXPECT_EQ(t.date.substr(0, 1), " ");
    EXPECT_GT(t.date.size(), 8u);
    EXPECT_FALSE(t.desc.empty());
    EXPECT_NE(t.desc, " -");
    settings.ShowFileDescOption = false;
    fw->SetCurrent(2);
    EXPECT_EQ(t.desc, " -");
    EXPECT_EQ(t.name, " c.TXT");
    // A hidden panel is not updated.
    ui.panelVisible = false;
    fw->SetCurrent(0);
    EXPECT_EQ(t.name, " c.TXT");
}

} // namespace
} // namespace zentrix::test
