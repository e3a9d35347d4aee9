#include "core/text.h"

#include <gtest/gtest.h>

using namespace zentrix;

TEST(Text, SplitLinesKeepsEmptyLinesButMakesNoneAfterTheLastNewline) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines("one\n\nthree\n"), (V{"one", "", "three"}));
    EXPECT_EQ(SplitLines("no newline"), (V{"no newline"}));
    EXPECT_EQ(SplitLines("dos\r\nline"), (V{"dos\r", "line"}));
    EXPECT_EQ(SplitLines("\n"), (V{""}));
    EXPECT_TRUE(SplitLines("").empty());
}
