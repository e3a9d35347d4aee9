#include "core/contentmatcher.h"
#include "search/contentsearch.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

/// Filler that never forms the texts searched for here.
std::string filler(size_t n) {
    return std::string(n, '.');
}

} // namespace

// The text at every position relative to the read blocks: first byte, last
// byte of a block, straddling two, longer than a block, in the last partial
// block, at the very end. A small block makes every case cheap.
TEST(ContentSearch, FindsTheTextAtEveryPositionRelativeToTheReadBlocks) {
    TempDir tmp;
    constexpr size_t kBlock = 16;
    for (size_t m : {1u, 2u, 5u, 15u, 16u, 17u, 33u}) {
        std::string text;
        for (size_t i = 0; i < m; ++i)
            text.push_back(static_cast<char>('a' + i % 26));
        ContentSearch search(text, true, kBlock);
        for (size_t fileSize : {m, kBlock * 3 + 7}) {
            for (size_t pos = 0; pos + m <= fileSize; ++pos) {
                std::string content = filler(fileSize);
                content.replace(pos, m, text);
                tmp.write("f", content);
                EXPECT_TRUE(search.Search(tmp.at("f")).found())
                    << "length " << m << " at " << pos << " of " << fileSize;
            }
            // One byte short of the text is no hit anywhere.
            std::string content = filler(fileSize);
            content.replace(fileSize - m, m - 1, text.substr(0, m - 1));
            tmp.write("f", content);
            EXPECT_EQ(search.Search(tmp.at("f")).outcome, ScanResult::Outcome::NotFound)
                << "length " << m;
        }
    }
}

TEST(ContentSearch, ComparesAsciiLettersWithoutCaseAndEverythingElseExactly) {
    TempDir tmp;
    tmp.write("upper", "....HELLO WORLD....");
    tmp.write("mixed", "....hElLo wOrLd....");
    tmp.write("accent", "caf\xC3\xA9 and CAF\xC3\x89");
    ContentSearch folded("hello world", false, 8);
    EXPECT_TRUE(folded.Search(tmp.at("upper")).found());
    EXPECT_TRUE(folded.Search(tmp.at("mixed")).found());
    ContentSearch exact("hello world", true, 8);
    EXPECT_FALSE(exact.Search(tmp.at("upper")).found());
    // Bytes outside a to z compare only with themselves: É is not é.
    EXPECT_TRUE(ContentSearch("CAF\xC3\xA9", false).Search(tmp.at("accent")).found());
    EXPECT_FALSE(ContentSearch("xCAF\xC3\x89x", false).Search(tmp.at("accent")).found());
    tmp.write("accent2", "only caf\xC3\xA9 here");
    EXPECT_FALSE(ContentSearch("CAF\xC3\x89", false).Search(tmp.at("accent2")).found());
    // "@" is 0x40 and "`" 0x60: one bit apart like letters, but not letters.
    tmp.write("signs", "a@b");
    EXPECT_FALSE(ContentSearch("a`b", false).Search(tmp.at("signs")).found());
}

TEST(ContentMatcher, FindsTheSameAsAPlainSearchInStreamsCutAnywhere) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        // A small alphabet makes near misses and overlaps common.
        std::string data(static_cast<size_t>(random() % 300), 'a');
        for (char& c : data)
            c = "abAB"[random() % 4];
        std::string text(1 + random() % 6, 'a');
        for (char& c : text)
            c = "abAB"[random() % 4];
        for (bool caseSensitive : {true, false}) {
            auto fold = [&](std::string s) {
                if (!caseSensitive)
                    for (char& c : s)
                        c = AsciiUpper(c);
                return s;
            };
            const bool expected = fold(data).find(fold(text)) != std::string::npos;
            ContentMatcher matcher(text, caseSensitive);
            size_t pos = 0;
            while (pos < data.size()) {
                const size_t piece = std::min<size_t>(1 + random() % 20, data.size() - pos);
                matcher.Feed(data.data() + pos, piece);
                pos += piece;
            }
            EXPECT_EQ(matcher.Found(), expected) << data << " / " << text;
        }
    }
}

TEST(ContentSearch, NeverOpensFifosAndReportsFilesItCannotRead) {
    TempDir tmp;
    ASSERT_EQ(::mkfifo(tmp.at("pipe").c_str(), 0644), 0);
    ContentSearch search("x", false);
    // Opening a FIFO for reading would wait for a writer for ever.
    EXPECT_EQ(search.Search(tmp.at("pipe")).outcome, ScanResult::Outcome::NotRegular);
    tmp.mkdir("dir");
    EXPECT_EQ(search.Search(tmp.at("dir")).outcome, ScanResult::Outcome::NotRegular);

    // A link that leads nowhere (or round in a loop) is no error: it is skipped.
    tmp.symlink(tmp.at("gone"), "dangling");
    EXPECT_EQ(search.Search(tmp.at("dangling")).outcome, ScanResult::Outcome::DanglingLink);
    tmp.symlink("loop", "loop");
    EXPECT_EQ(search.Search(tmp.at("loop")).outcome, ScanResult::Outcome::DanglingLink);
    // A name that is not there at all is.
    const ScanResult gone = search.Search(tmp.at("gone"));
    EXPECT_EQ(gone.outcome, ScanResult::Outcome::Failed);
    EXPECT_EQ(CannotScanText("D:\\docs\\gone", gone.error),
              "Cannot scan D:\\DOCS\\GONE.\nFile not found.");
    if (::geteuid() != 0) {
        tmp.write("secret", "x");
        tmp.chmod("secret", 0);
        const ScanResult denied = search.Search(tmp.at("secret"));
        EXPECT_EQ(denied.outcome, ScanResult::Outcome::Failed);
        EXPECT_EQ(ScanErrorReason(denied.error), "File access denied");
    }
    EXPECT_EQ(CannotScanText("a", EOVERFLOW), "Cannot scan A.\n.");
}

TEST(ParallelContentSearch, ReportsEveryFileInOrderAndStopsWhenAsked) {
    TempDir tmp;
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "f" + std::to_string(i);
        // Every third file holds the text, some only after several blocks.
        tmp.write(name, filler(static_cast<size_t>(i) * 37) + (i % 3 == 0 ? "needle" : "noodle"));
        names.push_back(name);
    }
    names.push_back("missing");
    const int dirFd = ::open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dirFd, 0);
    ParallelContentSearch search("NEEDLE", false, 3, 64);
    std::vector<size_t> order;
    std::vector<size_t> hits;
    EXPECT_TRUE(search.SearchFiles(dirFd, names, [&](size_t i, const ScanResult& r) {
        order.push_back(i);
        if (r.found())
            hits.push_back(i);
        if (i == names.size() - 1) {
            EXPECT_EQ(r.outcome, ScanResult::Outcome::Failed);
        }
        return true;
    }));
    ASSERT_EQ(order.size(), names.size());
    for (size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(order[i], i);
    EXPECT_EQ(hits.size(), 14u);

    // Stopped after the fifth report: nothing more is reported, and the
    // search can run again at once.
    order.clear();
    EXPECT_FALSE(search.SearchFiles(dirFd, names, [&](size_t i, const ScanResult&) {
        order.push_back(i);
        return order.size() < 5;
    }));
    EXPECT_EQ(order.size(), 5u);
    order.clear();
    EXPECT_TRUE(search.SearchFiles(dirFd, {names[0]}, [&](size_t i, const ScanResult& r) {
        order.push_back(i);
        EXPECT_TRUE(r.found());
        return true;
    }));
    EXPECT_EQ(order.size(), 1u);
    ::close(dirFd);
}
