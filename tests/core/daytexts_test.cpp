#include "core/daytexts.h"

#include <gtest/gtest.h>

using namespace zentrix;

TEST(DayTexts, ReadUntilTheFirstEmptyLineEachCutTo255Characters) {
    EXPECT_EQ(ReadDayTexts("one\r\ntwo\n\nnever read\n"), (std::vector<std::string>{"one", "two"}));
    EXPECT_TRUE(ReadDayTexts("").empty());
    EXPECT_EQ(ReadDayTexts("last without newline"),
              std::vector<std::string>{"last without newline"});

    const std::string longAscii(300, 'a');
    EXPECT_EQ(ReadDayTexts(longAscii).at(0).size(), 255u);
    // 300 two-byte characters: 255 characters, 510 bytes, nothing split.
    std::string longUtf8;
    for (int i = 0; i < 300; ++i)
        longUtf8 += "\xC3\xA9";
    EXPECT_EQ(ReadDayTexts(longUtf8).at(0).size(), 510u);
}

TEST(DayTexts, DayIndexWrapsAndQuotesSplitAtTheLastSeparator) {
    EXPECT_EQ(DayTextIndex(100, 7), 2);
    EXPECT_EQ(DayTextIndex(-1, 7), 6);
    EXPECT_EQ(DayTextIndex(5, 0), 0);

    const QuoteParts q = SplitQuote("A -- B -- Someone");
    EXPECT_EQ(q.text, "A -- B");
    EXPECT_EQ(q.author, "Someone");
    EXPECT_EQ(SplitQuote("No author").author, "");
}
