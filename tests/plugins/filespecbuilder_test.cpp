#include "Utils/filespecbuilder.h"

#include <gtest/gtest.h>

namespace zentrix::utils {
namespace {

using Words = std::vector<std::string>;

TEST(FileSpecBuilder, ParsesUserTypesAndSkipsBrokenEntries) {
    const auto types = ParseUserFileTypes(
        {"Text files (*.txt *.DOC)", "no masks at all", "Empty ()", "Sources (*.CPP  *.H *.cpp)"});
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0].description, "Text files");
    EXPECT_EQ(types[0].masks, (Words{"*.TXT", "*.DOC"}));
    // Double blanks and repeats give no empty or repeated masks.
    EXPECT_EQ(types[1].masks, (Words{"*.CPP", "*.H"}));
}

TEST(FileSpecBuilder, TypedMasksSplitAtBlanksCommasAndSemicolons) {
    EXPECT_EQ(SplitMasks("  *.txt;*.Doc, readme\t*.TXT ;; "), (Words{"*.TXT", "*.DOC", "README"}));
    EXPECT_TRUE(SplitMasks("  ;, ").empty());
}

TEST(FileSpecBuilder, ChoiceFromSpecChecksOnlyTypesWhollyPresent) {
    const auto types = ParseUserFileTypes({"Text (*.TXT *.DOC)", "Pictures (*.BMP *.PNG)"});
    SpecChoice c = ChoiceFromSpec(types, "*.bmp *.TXT *.doc *.INI");
    EXPECT_EQ(c.chosen, (std::vector<bool>{true, false}));
    // *.BMP alone does not choose Pictures and stays a typed mask.
    EXPECT_EQ(c.otherMasks, "*.BMP *.INI");

    c = ChoiceFromSpec(types, "*.*");
    EXPECT_EQ(c.chosen, (std::vector<bool>{false, false}));
    EXPECT_EQ(c.otherMasks, "");
}

TEST(FileSpecBuilder, BuildsChosenMasksThenTypedOnesEachOnce) {
    const auto types = ParseUserFileTypes({"Text (*.TXT *.DOC)", "Docs (*.DOC *.RTF)"});
    EXPECT_EQ(BuildFileSpec(types, {true, true}, "*.doc *.log"), "*.TXT *.DOC *.RTF *.LOG");
    EXPECT_EQ(BuildFileSpec(types, {false, false}, ""), "*.*");
    EXPECT_EQ(BuildFileSpec(types, {}, "*.c"), "*.C");
    // Round trip: what the dialog builds it reads back the same way.
    const SpecChoice back = ChoiceFromSpec(types, "*.TXT *.DOC *.LOG");
    EXPECT_EQ(BuildFileSpec(types, back.chosen, back.otherMasks), "*.TXT *.DOC *.LOG");
}

TEST(FileSpecBuilder, BufferLimitCountsTheTerminator) {
    EXPECT_TRUE(FitsBuffer(std::string(8191, 'A'), 8192));
    EXPECT_FALSE(FitsBuffer(std::string(8192, 'A'), 8192));
}

} // namespace
} // namespace zentrix::utils
