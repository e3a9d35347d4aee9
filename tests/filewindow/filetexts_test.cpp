#include "config/settings.h"
#include "filewindow/filecolumns.h"
#include "filewindow/filetexts.h"
#include "platform/filetime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace zentrix {
namespace {

TEST(NumberPicture, SizesAtTheirBoundaries) {
    EXPECT_EQ(SizeText(0), "0");
    EXPECT_EQ(SizeText(123), "123");
    EXPECT_EQ(SizeText(999), "999");
    EXPECT_EQ(SizeText(1000), "1.000");
    EXPECT_EQ(SizeText(1234567), "1.234.567");
    EXPECT_EQ(SizeText(999999999), "999.999.999");
    // A figure too wide for the picture widens it by whole groups: a real
    // file never shows negative or as a row of asterisks.
    EXPECT_EQ(SizeText(1000000000), "1.000.000.000");
    EXPECT_EQ(SizeText(INT32_MAX), "2.147.483.647");
    EXPECT_EQ(SizeText(int64_t(1) << 32), "4.294.967.296");
    EXPECT_EQ(SizeText(INT64_MAX), "9.223.372.036.854.775.807");
}

TEST(NumberPicture, StatisticsFigures) {
    EXPECT_EQ(StatFigureText(0), "0");
    EXPECT_EQ(StatFigureText(12345678), "12.345.678");
    EXPECT_EQ(StatFigureText(INT32_MAX), "2.147.483.647");
    EXPECT_EQ(FormatNumberPicture(99999999999LL, kStatPicture), "99.999.999.999");
    EXPECT_EQ(StatFigureText(100000000000LL), "100.000.000.000");
    // The minus sign takes a place of the field; beyond it the picture widens.
    EXPECT_EQ(FormatNumberPicture(-1234, kSizePicture), "-1.234");
    EXPECT_EQ(FormatNumberPicture(-99999999, kSizePicture), "-99.999.999");
    EXPECT_EQ(FormatNumberPicture(-100000000, kSizePicture), "-100.000.000");
    EXPECT_EQ(FormatNumberPicture(INT64_MIN, kSizePicture), "-9.223.372.036.854.775.808");
}

TEST(EntryTexts, AttributesInTheirOrder) {
    EXPECT_EQ(AttributeText(0), "");
    EXPECT_EQ(AttributeText(0x20), "A");
    EXPECT_EQ(AttributeText(0x27), "ARSH");
    EXPECT_EQ(AttributeText(0x3F), "ARSHVD");
    EXPECT_EQ(AttributeText(0x03), "RH");
}

TEST(EntryTexts, DateInLocalTime) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "UTC", 1);
    tzset();
    // 2024-01-02 03:04:05 UTC
    const int64_t t = platform::kUnixEpochAsFileTime + 1704164645LL * 10000000LL;
    EXPECT_EQ(DateText(t), "01/02/24 03:04:05");
    setenv("TZ", "Etc/GMT-2", 1); // two hours east of Greenwich
    tzset();
    EXPECT_EQ(DateText(t), "01/02/24 05:04:05");
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

// One unit per character; the ellipsis is one character too.
int chars(std::string_view s) {
    int n = 0;
    for (char c : s)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

TEST(EntryTexts, FittingWithTheEllipsis) {
    EXPECT_EQ(FitText("ABCDEFGH", 8, chars, FitSide::End), "ABCDEFGH");
    EXPECT_EQ(FitText("ABCDEFGH", 5, chars, FitSide::End), "ABCD\xE2\x80\xA6");
    EXPECT_EQ(FitText("1.234.567", 6, chars, FitSide::Start), "\xE2\x80\xA6"
                                                              "4.567");
    EXPECT_EQ(FitText("ABCDEFGH", 1, chars, FitSide::End), "\xE2\x80\xA6");
    // Too narrow even for the ellipsis: the ellipsis alone.
    EXPECT_EQ(FitText("ABCDEFGH", 0, chars, FitSide::End), "\xE2\x80\xA6");
    EXPECT_EQ(FitText("", -3, chars, FitSide::End), "\xE2\x80\xA6");
    // Characters are never cut.
    EXPECT_EQ(FitText("ÄÖÜß", 3, chars, FitSide::End), "ÄÖ\xE2\x80\xA6");
    EXPECT_EQ(FitText("ÄÖÜß", 3, chars, FitSide::Start), "\xE2\x80\xA6"
                                                         "Üß");
}

TEST(FileHeader, SectionLimits) {
    EXPECT_EQ(ClampSectionWidth(0, 10), 65);
    EXPECT_EQ(ClampSectionWidth(0, 900), 500);
    EXPECT_EQ(ClampSectionWidth(1, 100), 30);
    EXPECT_EQ(ClampSectionWidth(2, 20), 30);
    EXPECT_EQ(ClampSectionWidth(3, 251), 250);
    EXPECT_EQ(ClampSectionWidth(4, 101), 100);
    EXPECT_EQ(ClampSectionWidth(5, 5000), 5000);
}

TEST(FileHeader, RowLayoutFollowsTheSections) {
    const SectionWidths w = DefaultSectionWidths();
    const DetailRowLayout plain = LayoutDetailRow(w, 0, kFormatNormal, 16);
    EXPECT_FALSE(plain.hasIcon);
    EXPECT_EQ(plain.name.left, 3);
    EXPECT_EQ(plain.name.right, 158);
    EXPECT_EQ(plain.nameFitWidth, 155);
    EXPECT_EQ(plain.size.left, 160);
    EXPECT_EQ(plain.size.width(), 68);
    EXPECT_EQ(plain.date.left, 230);
    EXPECT_EQ(plain.date.width(), 78);
    EXPECT_EQ(plain.attributes.left, 310);
    EXPECT_EQ(plain.description.left, 360);
    EXPECT_EQ(plain.description.width(), 248);

    const DetailRowLayout icons = LayoutDetailRow(w, 0, kFormatLargeIcons, 32);
    EXPECT_TRUE(icons.hasIcon);
    EXPECT_EQ(icons.iconX, 1);
    EXPECT_EQ(icons.name.left, 37); // 32 + 2 + 1, then 2 more
    EXPECT_EQ(icons.name.right, 35 + 158 - 36);
    EXPECT_EQ(icons.nameFitWidth, 158 - 36 - 2);
}

} // namespace
} // namespace zentrix
