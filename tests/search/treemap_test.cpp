#include "filewindow/fixture.h"
#include "search/spacemap.h"
#include "search/squarifiedtreemap.h"

#include <random>

using namespace zentrix;
using namespace zentrix::test;

namespace {

bool overlap(const TreemapRect& a, const TreemapRect& b) {
    constexpr double eps = 1e-9;
    return a.x + eps < b.x + b.w && b.x + eps < a.x + a.w && a.y + eps < b.y + b.h &&
           b.y + eps < a.y + a.h;
}

} // namespace

// The example the squarified layout is usually explained with: 6, 6, 4, 3, 2,
// 2, 1 in a 6 by 4 rectangle.
TEST(SquarifiedLayout, LaysOutTheKnownExampleRowByRow) {
    const auto r = SquarifiedLayout({6, 6, 4, 3, 2, 2, 1}, {0, 0, 6, 4});
    auto near = [](const TreemapRect& a, TreemapRect b) {
        return std::abs(a.x - b.x) < 1e-9 && std::abs(a.y - b.y) < 1e-9 &&
               std::abs(a.w - b.w) < 1e-9 && std::abs(a.h - b.h) < 1e-9;
    };
    // The two 6s fill a 3-wide column; the 4 and the 3 a row above the rest.
    EXPECT_TRUE(near(r[0], {0, 0, 3, 2}));
    EXPECT_TRUE(near(r[1], {0, 2, 3, 2}));
    EXPECT_TRUE(near(r[2], {3, 0, 12.0 / 7, 7.0 / 3}));
    EXPECT_TRUE(near(r[3], {3 + 12.0 / 7, 0, 9.0 / 7, 7.0 / 3}));
    // The rest share the 3 by 5/3 that is left.
    double rest = 0;
    for (int i = 4; i < 7; ++i) {
        EXPECT_GE(r[i].y, 7.0 / 3 - 1e-9);
        rest += r[i].area();
    }
    EXPECT_NEAR(rest, 5.0, 1e-9);
}

TEST(SquarifiedLayout, AreasAreProportionalAndNothingOverlaps) {
    std::mt19937 random(3);
    for (int round = 0; round < 50; ++round) {
        std::vector<double> sizes(1 + random() % 40);
        double total = 0;
        for (double& s : sizes) {
            s = (random() % 7 == 0) ? 0 : 1 + random() % 1000;
            total += s;
        }
        const TreemapRect bounds{10, 20, 300 + double(random() % 500), 50 + double(random() % 300)};
        const auto rects = SquarifiedLayout(sizes, bounds);
        ASSERT_EQ(rects.size(), sizes.size());
        for (size_t i = 0; i < sizes.size(); ++i) {
            if (sizes[i] == 0) {
                EXPECT_EQ(rects[i].area(), 0);
                continue;
            }
            EXPECT_NEAR(rects[i].area(), bounds.area() * sizes[i] / total, 1e-6 * bounds.area());
            EXPECT_GE(rects[i].x, bounds.x - 1e-9);
            EXPECT_GE(rects[i].y, bounds.y - 1e-9);
            EXPECT_LE(rects[i].x + rects[i].w, bounds.x + bounds.w + 1e-9);
            EXPECT_LE(rects[i].y + rects[i].h, bounds.y + bounds.h + 1e-9);
            for (size_t j = 0; j < i; ++j) {
                if (sizes[j] > 0) {
                    EXPECT_FALSE(overlap(rects[i], rects[j])) << i << " and " << j;
                }
            }
        }
    }
}

class SpaceMapTest : public FileWindowFixture {};

TEST_F(SpaceMapTest, DrawsTheLoggedBranchFromTheCatalogue) {
    dir.write("top.bin", std::string(100, 'x'));
    dir.write("big/a", std::string(600, 'x'));
    dir.write("big/inner/b", std::string(200, 'x'));
    dir.write("small/c", std::string(100, 'x'));
    dir.mkdir("empty");
    start();
    logAll('D');
    // The disk changes afterwards: the map shows the catalogue, not the disk.
    dir.write("small/later", std::string(5000, 'x'));

    SpaceMap map;
    map.Build(node("D:\\"), {0, 0, 400, 250});
    EXPECT_EQ(SpaceMap::BranchBytes(node("D:\\")), 1000u);
    const auto& cells = map.Cells();
    auto find = [&](const std::string& path, bool files) -> const SpaceMap::Cell* {
        for (const auto& c : cells)
            if (c.path == path && c.files == files)
                return &c;
        return nullptr;
    };
    const auto* root = find("D:\\", false);
    const auto* big = find("D:\\big\\", false);
    const auto* small = find("D:\\small\\", false);
    const auto* topFiles = find("D:\\", true);
    ASSERT_TRUE(root && big && small && topFiles);
    EXPECT_EQ(find("D:\\empty\\", false), nullptr); // nothing in it, no room
    EXPECT_EQ(big->bytes, 800u);
    // Inside the root's frame the areas follow the sizes: 800 : 100 : 100.
    EXPECT_NEAR(big->rect.area() / small->rect.area(), 8.0, 1e-6);
    EXPECT_NEAR(topFiles->rect.area(), small->rect.area(), 1e-6);
    EXPECT_NEAR(big->rect.area() + small->rect.area() + topFiles->rect.area(), 398.0 * 248.0, 1e-6);

    // A point inside "big\inner" finds that directory; inside files, their directory.
    const auto* inner = find("D:\\big\\inner\\", false);
    ASSERT_TRUE(inner);
    const double cx = inner->rect.x + inner->rect.w / 2;
    const double cy = inner->rect.y + inner->rect.h / 2;
    EXPECT_EQ(cells[static_cast<size_t>(map.DirectoryAt(cx, cy))].path, "D:\\big\\inner\\");
    EXPECT_EQ(
        cells[static_cast<size_t>(map.DirectoryAt(topFiles->rect.x + 1, topFiles->rect.y + 1))]
            .path,
        "D:\\");
    EXPECT_EQ(map.DirectoryAt(-5, -5), -1);
}
