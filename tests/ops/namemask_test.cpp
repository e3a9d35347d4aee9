#include "ops/namemask.h"

#include <gtest/gtest.h>

#include <set>

using namespace zentrix;

TEST(NameMask, ThePartsExamplesAndTheHardCases) {
    struct Case {
        const char* name;
        const char* mask;
        const char* result;
    };
    const Case cases[] = {
        {"README.TXT", "*.BAK", "README.BAK"},
        {"REPORT.DOC", "NEW?????.*", "NEWORT.D.DOC"},
        {"MAKEFILE.", "*.OLD", "MAKEFILE.OLD"}, // the dot a name without extension gets
        {"anything", "LITERAL.TXT", "LITERAL.TXT"},
        {"README.TXT", "*", "README.TXT"},
        {"README.TXT", "**.*", "README.TXT"}, // "**" counts as "*"
        {"README.TXT", "*.*", "README.TXT"},
        // "*.*" and "*" keep every name whole, several dots or none.
        {"README.commands.gz", "*.*", "README.commands.gz"},
        {"x.v1.txt", "**.**", "x.v1.txt"},
        {"a.b.c", "*", "a.b.c"},
        {"README", "*.*", "README"},
        // Other masks keep their positional walk.
        {"README.commands.gz", "*.BAK", "README.BAK"},
        // "*" at the end: what follows the last occurrence of the last character written.
        {"IMG_001.JPG", "HOLIDAY_*", "HOLIDAY_001.JPG"},
        {"readme.txt", "X.*", "X.txt"},
        {"data.txt", "NEW-*", "NEW-data.txt"}, // "-" does not occur: the whole name
        {"data.txt", "?*", "data.txt"},
        // "*" followed by a character the name lacks: the rest of the name.
        {"README", "*.TXT", "README.TXT"},
        {"ab", "*Z", "abZ"},
        // "?" past the end of the name copies nothing.
        {"AB", "???.X", "AB.X"},
        {"", "???", ""},
        {"", "*.x", ".x"},
        // Case is ignored when "*" looks for the next character.
        {"photo.JPG", "*.jpg", "photo.jpg"},
        {"Straße.txt", "?????E.*", "StraßE.txt"},
        // Several "%" stay as they are.
        {"a.txt", "A%B%.*", "A%B%.txt"},
        {"a.txt", "A%%B.*", "A1B.txt"}, // "%%" counts as "%"
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplyNameMask(c.name, c.mask), c.result) << c.name << " / " << c.mask;
}

TEST(NameMask, AFileNameWithoutExtensionMeetsTheMaskWithAnEmptyOne) {
    EXPECT_EQ(ApplyNameMaskToFile("MAKEFILE", "*.OLD"), "MAKEFILE.OLD");
    EXPECT_EQ(ApplyNameMaskToFile("README", "*.*"), "README");
    EXPECT_EQ(ApplyNameMaskToFile("README", "X.*"), "X");
    EXPECT_EQ(ApplyNameMaskToFile("README.", "*.*"), "README.") << "a real final dot stays";
    EXPECT_EQ(ApplyNameMaskToFile("a.b.c", "*.*"), "a.b.c");
    std::set<std::string> existing = {"README1"};
    EXPECT_EQ(ApplyNameMaskToFile("README", "README%",
                                  [&](const std::string& n) { return existing.count(n) > 0; }),
              "README2");
}

TEST(NameMask, PercentTakesTheFirstFreeNumber) {
    std::set<std::string> existing;
    const NameTaken taken = [&](const std::string& name) {
        return existing.count(name) > 0;
    };
    EXPECT_EQ(ApplyNameMask("DATA.TXT", "DATA%.TXT", taken), "DATA1.TXT");
    existing = {"DATA1.TXT"};
    EXPECT_EQ(ApplyNameMask("DATA.TXT", "DATA%.TXT", taken), "DATA2.TXT");
    existing = {"DATA1.TXT", "DATA2.TXT", "DATA4.TXT"};
    EXPECT_EQ(ApplyNameMask("DATA.TXT", "DATA%.TXT", taken), "DATA3.TXT");
    existing = {"COPY1-report.doc"};
    EXPECT_EQ(ApplyNameMask("report.doc", "COPY%-*", taken), "COPY2-report.doc");
}

TEST(NameMask, NamesThatAreNotTextComeOutByteForByte) {
    const std::string name = "a\xff\xfe.b\xc3";
    EXPECT_EQ(ApplyNameMask(name, "*.*"), name);
    EXPECT_EQ(ApplyNameMask(name, "???"), "a\xff\xfe");
    EXPECT_EQ(ApplyNameMask(name, "*.X"), "a\xff\xfe.X");
}
