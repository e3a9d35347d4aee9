#include "support/tempdir.h"
#include "view/lineindex.h"
#include "view/viewerdocument.h"
#include "view/viewerfile.h"
#include "view/viewerstate.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/types.h>
#include <unistd.h>

using namespace zentrix;
using zentrix::test::TempDir;

namespace {

// Line starts the simple way: 0, then after every line feed.
std::vector<int64_t> naiveStarts(const std::string& content) {
    std::vector<int64_t> starts{0};
    for (size_t i = 0; i < content.size(); ++i)
        if (content[i] == '\n')
            starts.push_back(static_cast<int64_t>(i + 1));
    return starts;
}

struct Indexed {
    Indexed(std::unique_ptr<ViewerFile> f, LineFeedUnit unit) : file(std::move(f)), index(unit) {}
    std::unique_ptr<ViewerFile> file;
    LineIndex index;
};

std::unique_ptr<Indexed> indexOf(const TempDir& tmp, const std::string& content,
                                 LineFeedUnit unit = LineFeedUnit::Byte) {
    tmp.write("f", content);
    auto result = std::make_unique<Indexed>(ViewerFile::Open(tmp.at("f")), unit);
    std::atomic<bool> cancel{false};
    result->index.Build(*result->file, cancel);
    return result;
}

} // namespace

TEST(LineIndex, AgreesWithEveryLineFeedWhateverTheLinesLookLike) {
    TempDir tmp;
    std::mt19937 random(7);
    std::vector<std::string> contents = {
        "",                       // an empty file is one empty line
        "no final newline",       // one line
        "a\nb",                   // the last line has no feed
        "a\nb\n",                 // a final feed starts an empty last line
        "\r\n\r\nx\r\n",          // CR LF: the feed ends the line
        "\n\n\n",                 // only feeds
        std::string(300000, 'x'), // one line far longer than any screen
    };
    // Mixed long and short lines across many checkpoints and read blocks.
    std::string mixed;
    for (int i = 0; i < 6000; ++i) {
        const int len =
            random() % 7 == 0 ? static_cast<int>(random() % 9000) : static_cast<int>(random() % 90);
        mixed += std::string(static_cast<size_t>(len), 'a' + i % 26) + "\n";
    }
    contents.push_back(mixed + "tail");
    for (const std::string& content : contents) {
        SCOPED_TRACE(content.size());
        auto ix = indexOf(tmp, content);
        const auto starts = naiveStarts(content);
        ASSERT_TRUE(ix->index.Complete());
        ASSERT_EQ(ix->index.LineCount(), static_cast<int64_t>(starts.size()));
        for (size_t n = 0; n < starts.size(); n += 1 + n / 50)
            ASSERT_EQ(ix->index.LineStart(*ix->file, static_cast<int64_t>(n)), starts[n]) << n;
        EXPECT_EQ(ix->index.LineStart(*ix->file, static_cast<int64_t>(starts.size())),
                  std::nullopt);
        // Every byte maps back to the line that holds it.
        for (int64_t off = 0; off < static_cast<int64_t>(content.size()); off += 997) {
            const auto it = std::upper_bound(starts.begin(), starts.end(), off);
            ASSERT_EQ(ix->index.LineAt(*ix->file, off), it - starts.begin() - 1) << off;
        }
        // The index stays far below 1% of what it covers (plus its first entry).
        EXPECT_LE(ix->index.MemoryBytes(), 64 + content.size() / 100);
    }
}

TEST(LineIndex, BulkCountMatchesAByteLoop) {
    std::string data;
    for (int i = 0; i < 1000; ++i)
        data += std::string(static_cast<size_t>(i % 37), 'q') + (i % 3 ? "\n" : "\r");
    for (size_t skip : {0, 1, 5, 15, 16, 17}) {
        const std::string_view part = std::string_view(data).substr(skip);
        EXPECT_EQ(LineIndex::CountLineFeeds(part.data(), part.size()),
                  std::count(part.begin(), part.end(), '\n'));
    }
}

TEST(LineIndex, Utf16LineFeedsAreWholeCodeUnits) {
    TempDir tmp;
    // "A\n" then U+0A0A (bytes 0A 0A: no line feed) then "\nB" in UTF-16LE.
    const std::string le("\xFF\xFE"
                         "A\0\n\0"
                         "\x0A\x0A"
                         "\n\0"
                         "B\0",
                         12);
    auto ix = indexOf(tmp, le, LineFeedUnit::Utf16LE);
    EXPECT_EQ(ix->index.LineCount(), 3);
    EXPECT_EQ(ix->index.LineStart(*ix->file, 1), 6);
    EXPECT_EQ(ix->index.LineStart(*ix->file, 2), 10);
    const std::string be("\xFE\xFF"
                         "\0A\0\n"
                         "\x0A\x0A"
                         "\0\n"
                         "\0B",
                         12);
    auto ixb = indexOf(tmp, be, LineFeedUnit::Utf16BE);
    EXPECT_EQ(ixb->index.LineCount(), 3);
    EXPECT_EQ(ixb->index.LineStart(*ixb->file, 2), 10);

    // Over many read blocks: units of 0A 0A and feeds fall on every kind of
    // place, block edges included, and only whole feed units count.
    std::string many("\xFF\xFE", 2);
    std::vector<int64_t> starts{0};
    std::mt19937 random(11);
    while (many.size() < (3u << 20)) {
        const auto r = random() % 5;
        if (r == 0) {
            many += std::string("\n\0", 2);
            starts.push_back(static_cast<int64_t>(many.size()));
        } else {
            many += r == 1 ? std::string("\x0A\x0A", 2) : std::string("x\0", 2);
        }
    }
    auto ixm = indexOf(tmp, many, LineFeedUnit::Utf16LE);
    ASSERT_EQ(ixm->index.LineCount(), static_cast<int64_t>(starts.size()));
    for (size_t n = 0; n < starts.size(); n += 1 + n / 20)
        ASSERT_EQ(ixm->index.LineStart(*ixm->file, static_cast<int64_t>(n)), starts[n]) << n;
}

TEST(ViewerDocument, AFileTruncatedWhileShownShowsWhatIsLeft) {
    TempDir tmp;
    std::string content;
    for (int i = 0; i < 20000; ++i)
        content += "line " + std::to_string(i) + "\n";
    tmp.write("f.txt", content);
    ViewerState state;
    ViewerDocument doc(state);
    ASSERT_EQ(doc.Load(tmp.at("f.txt"), true), ViewerDocument::LoadResult::Loaded);
    doc.WaitForIndex();
    EXPECT_EQ(doc.LineCount(), 20001);
    EXPECT_EQ(doc.Line(19999), "line 19999");

    ASSERT_EQ(::truncate(tmp.at("f.txt").c_str(), 100), 0);
    // Lines that are gone read empty; nothing crashes before the size is noticed.
    EXPECT_EQ(doc.Line(19999), "");
    EXPECT_EQ(doc.Line(0), "line 0");
    EXPECT_TRUE(doc.CheckSize());
    doc.WaitForIndex();
    EXPECT_EQ(doc.LineCount(), 1 + std::count(content.begin(), content.begin() + 100, '\n'));
    EXPECT_FALSE(doc.CheckSize());

    // Emptied in hex mode too.
    doc.SetHexMode(true);
    ASSERT_EQ(::truncate(tmp.at("f.txt").c_str(), 0), 0);
    EXPECT_EQ(doc.Line(3), "");
    EXPECT_TRUE(doc.CheckSize());
    EXPECT_EQ(doc.LineCount(), 0);
}

TEST(ViewerDocument, TheFirstLinesAnswerBeforeTheIndexIsComplete) {
    TempDir tmp;
    tmp.write("big.txt", std::string(8 << 20, 'x') + "\nsecond\n");
    ViewerState state;
    ViewerDocument doc(state);
    ASSERT_EQ(doc.Load(tmp.at("big.txt"), false), ViewerDocument::LoadResult::Loaded);
    // Line 0 is always known; it is formed from its first bytes only.
    EXPECT_EQ(doc.Line(0).size(), 4097u);
    doc.WaitForIndex();
    EXPECT_TRUE(doc.IndexComplete());
    EXPECT_EQ(doc.Line(1), "second");
    EXPECT_EQ(doc.LineCount(), 3);
}

TEST(ViewerDocument, MissingAndUnreadableFiles) {
    TempDir tmp;
    ViewerState state;
    ViewerDocument doc(state);
    EXPECT_EQ(doc.Load(tmp.at("nothing"), true), ViewerDocument::LoadResult::Missing);
    EXPECT_FALSE(doc.Loaded());
    tmp.mkdir("dir");
    EXPECT_EQ(doc.Load(tmp.at("dir"), true), ViewerDocument::LoadResult::CannotOpen);
    EXPECT_EQ(doc.LineCount(), 0);
    EXPECT_EQ(doc.Line(0), "");
}
