#include "support/tempdir.h"
#include "view/viewerdocument.h"
#include "view/viewerfile.h"
#include "view/viewerstate.h"
#include "view/viewertext.h"
#include "view/viewertextfinder.h"

#include <algorithm>

#include <gtest/gtest.h>

using namespace zentrix;
using zentrix::test::TempDir;

TEST(ViewerText, TextLinesAsTheyAreShown) {
    // Tabs become eight blanks, carriage returns and other controls go, the
    // line ends at its feed.
    EXPECT_EQ(FormTextLine("a\tb\r\nnext", TextEncoding::Utf8), "a        b");
    EXPECT_EQ(FormTextLine(std::string("x\0\x01y", 4), TextEncoding::Latin1), "xy");
    // A line without feeds stops growing just past 4,096 characters.
    EXPECT_EQ(FormTextLine(std::string(10000, 'z'), TextEncoding::Utf8).size(), 4097u);
    // UTF-8 as characters; a byte-order mark only at the file's start.
    EXPECT_EQ(FormTextLine("\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F", TextEncoding::Utf8, true),
              "gr\xC3\xBC\xC3\x9F");
    // Bytes that are not UTF-8 are shown as the characters they are in Latin-1,
    // never dropped: here a lone 0xE9 and a cut-off sequence.
    EXPECT_EQ(FormTextLine("caf\xE9 \xE2\x82", TextEncoding::Utf8),
              "caf\xC3\xA9 \xC3\xA2\xE2\x80\x9A");
    EXPECT_EQ(FormTextLine("\x80 \xFF", TextEncoding::Latin1), "\xE2\x82\xAC \xC3\xBF");
    // UTF-16 both ways, with a pair of surrogates and a lone one.
    const std::string le("\xFF\xFEh\0i\0\x3D\xD8\x00\xDE\x00\xD8!\0\n\0x\0", 18);
    EXPECT_EQ(FormTextLine(le, TextEncoding::Utf16LE, true), "hi\xF0\x9F\x98\x80\xEF\xBF\xBD!");
    const std::string be("\0h\0\t\0\r\0\n", 8);
    EXPECT_EQ(FormTextLine(be, TextEncoding::Utf16BE), "h        ");
}

TEST(ViewerText, EncodingFromTheFirstBytes) {
    EXPECT_EQ(DetectEncoding("\xFF\xFEh\0"), TextEncoding::Utf16LE);
    EXPECT_EQ(DetectEncoding("\xFE\xFF\0h"), TextEncoding::Utf16BE);
    EXPECT_EQ(DetectEncoding("\xEF\xBB\xBFok"), TextEncoding::Utf8);
    EXPECT_EQ(DetectEncoding("plain"), TextEncoding::Utf8);
    EXPECT_EQ(DetectEncoding("gr\xC3\xBC\xC3"), TextEncoding::Utf8); // cut by the sample's end
    EXPECT_EQ(DetectEncoding("gr\xFC\xDF and more"), TextEncoding::Latin1);
}

TEST(ViewerText, TheAutomaticHexChoice) {
    // More than nine odd bytes in the first 256 make a file binary.
    EXPECT_FALSE(LooksLikeText(std::string(10, '\x01') + "text"));
    EXPECT_TRUE(LooksLikeText(std::string(9, '\x01') + "text"));
    // Odd bytes after the first 256 do not count.
    EXPECT_TRUE(LooksLikeText(std::string(256, 'a') + std::string(50, '\0')));
    // Letters beyond ASCII are letters, in UTF-8 and in Latin-1.
    std::string accented;
    for (int i = 0; i < 40; ++i)
        accented += "\xC3\xA9";
    EXPECT_TRUE(LooksLikeText(accented));
    EXPECT_TRUE(LooksLikeText(std::string(40, '\xE9')));
    EXPECT_FALSE(LooksLikeText(std::string(40, '\x90')));
    // 24 bytes: a byte-order mark, "text" in UTF-16, and zeros to the end.
    std::string utf16("\xFF\xFEt\0e\0x\0t\0", 10);
    utf16.append(14, '\0');
    EXPECT_TRUE(LooksLikeText(utf16));
}

TEST(ViewerText, HexLines) {
    EXPECT_EQ(FormHexLine(0x1F, std::string("A\0\x01\xE9", 4), 4),
              "0000001F :  41 00 01 E9 \"A \xC3\xBF\xC3\xA9\"");
    // A short last line is padded to the line length, three blanks a byte in
    // the hex part and one in the character column.
    EXPECT_EQ(FormHexLine(16, "ab", 4), "00000010 :  61 62       \"ab  \"");
}

TEST(ViewerDocument, HexLinesWithAFirstLineOfItsOwnLength) {
    TempDir tmp;
    std::string bytes;
    for (int i = 0; i < 20; ++i)
        bytes.push_back(static_cast<char>('a' + i));
    tmp.write("f.bin", bytes);
    ViewerState state;
    state.hexMode = true;
    state.firstHexLineLength = 4;
    ViewerDocument doc(state);
    ASSERT_EQ(doc.Load(tmp.at("f.bin"), false), ViewerDocument::LoadResult::Loaded);
    ASSERT_EQ(doc.LineCount(), 2);
    EXPECT_EQ(doc.Line(0), "00000000 :  61 62 63 64 \"abcd\"");
    // Bytes 4..19 fill the second line: no padding.
    EXPECT_EQ(doc.Line(1), "00000004 :  65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 71 72 73 74 "
                           "\"efghijklmnopqrst\"");
    EXPECT_EQ(doc.LineOfOffset(3), 0);
    EXPECT_EQ(doc.LineOfOffset(4), 1);
    // An empty file has no hex lines at all, but one empty text line.
    tmp.write("empty", "");
    ASSERT_EQ(doc.Load(tmp.at("empty"), false), ViewerDocument::LoadResult::Loaded);
    EXPECT_EQ(doc.LineCount(), 0);
    doc.SetHexMode(false);
    doc.WaitForIndex();
    EXPECT_EQ(doc.LineCount(), 1);
}

TEST(ViewerDocument, LoadingChoosesHexForBinaryFilesWhenAsked) {
    TempDir tmp;
    tmp.write("ten", std::string(10, '\x01') + "abc");
    tmp.write("nine", std::string(9, '\x01') + "abc");
    ViewerState state;
    ViewerDocument doc(state);
    doc.Load(tmp.at("ten"), true);
    EXPECT_TRUE(doc.HexMode());
    doc.Load(tmp.at("nine"), true);
    EXPECT_FALSE(doc.HexMode());
    // Without the automatic choice the shared mode stays as it was.
    state.hexMode = true;
    doc.Load(tmp.at("nine"), false);
    EXPECT_TRUE(doc.HexMode());
}

TEST(ViewerDocument, FindLooksAtTheLinesAsShown) {
    TempDir tmp;
    std::string content;
    for (int i = 0; i < 50000; ++i)
        content += (i == 41234 ? "the Needle here\r\n" : "hay " + std::to_string(i) + "\n");
    content += std::string(100, 'y'); // no final feed
    content += "LAST";
    tmp.write("f.txt", content);
    ViewerState state;
    ViewerDocument doc(state);
    doc.Load(tmp.at("f.txt"), false);
    doc.WaitForIndex();
    EXPECT_EQ(doc.Find(0, "needle", false), 41234);
    EXPECT_EQ(doc.Find(0, "needle", true), std::nullopt);
    EXPECT_EQ(doc.Find(41235, "needle", false), std::nullopt); // searching starts there
    EXPECT_EQ(doc.Find(0, "ylast", false), 50000);
    EXPECT_EQ(doc.Find(0, "", false), std::nullopt);
    // Stopped from outside.
    EXPECT_EQ(doc.Find(0, "needle", false, [](int64_t) { return false; }), std::nullopt);

    // In hex mode the digits of a byte are found in the hex column.
    tmp.write("b.bin", std::string("\x00\x01\xAB\xCD", 4));
    doc.Load(tmp.at("b.bin"), false);
    doc.SetHexMode(true);
    EXPECT_EQ(doc.Find(0, "ab cd", false), 0);
}

TEST(ViewerState, HexLineLengthsFromTheUser) {
    EXPECT_EQ(ParseHexLineLength("24"), 24);
    EXPECT_EQ(ParseHexLineLength(" 255 "), 255);
    for (const char* refused : {"0", "300", "", "abc", "12x", "-4"})
        EXPECT_EQ(ParseHexLineLength(refused), 0) << refused;
}

TEST(ViewerText, TheDumpPage) {
    const auto lines = DumpLines(std::string("MZ\x90\0\x03\0\0\0AB", 10));
    ASSERT_EQ(lines.size(), 128u);
    EXPECT_EQ(lines[0], "0000: 4D 5A 90 00 03 00 00 00  MZ\xC2\x90.....");
    EXPECT_EQ(lines[1], "0008: 41 42 00 00 00 00 00 00  AB......");
    EXPECT_EQ(lines[127], "03F8: 00 00 00 00 00 00 00 00  ........");
}

namespace {

// A text file whose lines hold what the screen shows differently from the
// disk, some of them across the edge between two read blocks.
std::string TrickyFile(int64_t& edgeLine) {
    std::string f = "gr\xC3\xBC\xC3\x9F Gott\n"; // valid UTF-8 at the start: read as UTF-8
    auto line = [&](const std::string& text) {
        f += text + "\n";
    };
    for (int i = 0; i < 3000; ++i)
        line("filler " + std::to_string(i) + " lorem ipsum");
    line("split by con\x01trol"); // shows "split by control"
    line("tab\tbed");             // shows "tab        bed"
    line("carriage\rreturn");     // shows "carriagereturn"
    line("crlf line\r");          // a line of a CRLF file
    line("caf\xE9 au lait");      // a lone Latin-1 byte shows as "café"
    line("\xC3\x89"
         "COLE normale");                 // "ÉCOLE": found as "école" without case
    line(std::string(5000, 'w') + "far"); // beyond the 4,096 characters shown
    line("Needle in CAPITALS");
    // Pad so that the carriage return of the next line is a block's last byte.
    while (f.size() < zentrix::ViewerTextFinder::kBlock - 5)
        f += f.size() % 64 == 63 ? '\n' : 'h';
    edgeLine = std::count(f.begin(), f.end(), '\n');
    line("edge\r\x02marker here"); // the return is a block's last byte
    for (int i = 0; i < 2000; ++i)
        line("more " + std::to_string(i));
    f += "the very last line";
    return f;
}

} // namespace

TEST(ViewerDocument, TheRawScanFindsWhatTheLinesShow) {
    TempDir tmp;
    int64_t edgeLine = 0;
    tmp.write("t.txt", TrickyFile(edgeLine));
    // Latin-1 and a file without any line feed, too.
    tmp.write("l1.txt", "na\xEFve\nplain\ttext\n");
    tmp.write("one.txt", std::string(300000, 'q') + "tail");
    ViewerState state;
    ViewerDocument doc(state);
    doc.Load(tmp.at("t.txt"), false);
    doc.WaitForIndex();
    ASSERT_EQ(doc.Encoding(), TextEncoding::Utf8);
    const std::vector<std::string> texts = {"control",
                                            "by control",
                                            "   bed",
                                            "b        b",
                                            "carriagereturn",
                                            "crlf line",
                                            "caf\xC3\xA9",
                                            "\xC3\xA9"
                                            "cole",
                                            "far",
                                            "needle",
                                            "Needle in",
                                            "edgemarker",
                                            "marker here",
                                            "edge",
                                            "very last",
                                            "filler 2999",
                                            "w",
                                            "zz",
                                            "lorem ipsum  "};
    for (const std::string& text : texts)
        for (bool matchCase : {false, true})
            for (int64_t from : {int64_t{0}, int64_t{3001}, edgeLine}) {
                const auto expected = doc.FindLineByLine(from, text, matchCase);
                EXPECT_EQ(doc.Find(from, text, matchCase), expected)
                    << text << " case " << matchCase << " from " << from;
            }
    // The reference itself sees the shown forms.
    EXPECT_EQ(doc.FindLineByLine(0, "split by control", true), 3001);
    EXPECT_EQ(doc.FindLineByLine(0, "edgemarker", true), edgeLine);
    EXPECT_EQ(doc.FindLineByLine(0, "far", true), std::nullopt);

    // Counting lines on the way (before the index is complete) gives the same lines.
    auto file = ViewerFile::Open(tmp.at("t.txt"));
    ASSERT_TRUE(file);
    for (const char* text : {"control", "edgemarker", "very last"}) {
        ViewerTextFinder finder(*file, TextEncoding::Utf8, text, true);
        ASSERT_TRUE(finder.Usable());
        const auto hit = finder.Find(0, true);
        ASSERT_TRUE(hit) << text;
        EXPECT_EQ(hit->feeds, doc.FindLineByLine(0, text, true)) << text;
        EXPECT_EQ(doc.LineOffset(hit->feeds), hit->lineStart) << text;
    }
    // A text with no printable ASCII run is left to the line-by-line search.
    EXPECT_FALSE(ViewerTextFinder(*file, TextEncoding::Utf8, "\xC3\xA9 ", false).Usable());
    EXPECT_FALSE(ViewerTextFinder(*file, TextEncoding::Utf16LE, "abc", false).Usable());

    doc.Load(tmp.at("l1.txt"), false);
    doc.WaitForIndex();
    ASSERT_EQ(doc.Encoding(), TextEncoding::Latin1);
    EXPECT_EQ(doc.Find(0, "NA\xC3\x8FVE", false), 0);
    EXPECT_EQ(doc.Find(0, "plain   ", false), 1);
    doc.Load(tmp.at("one.txt"), false);
    doc.WaitForIndex();
    EXPECT_EQ(doc.Find(0, "qqq", true), 0);
    EXPECT_EQ(doc.Find(0, "qtail", true), std::nullopt); // past the characters shown
}
