#include "catalogue/watchmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <map>
#include <random>
#include <vector>

namespace zentrix {
namespace {

TTreeNode* nodeNo(int n) { return reinterpret_cast<TTreeNode*>(static_cast<uintptr_t>(n) * 64); }

// The map against an ordered map: watches come in rising numbers, go in any
// order, the numbers now and then wrap round to small ones, and a number
// given up may come back. After every step both agree on every number.
TEST(WatchMap, AgreesWithAnOrderedMapThroughAddsRemovalsAndWrappedNumbers) {
    WatchMap map;
    std::map<int, TTreeNode*> expected;
    std::mt19937 random(29);
    int next = 1000; // the wrapped numbers below stay under it
    for (int step = 0; step < 20000; ++step) {
        const int what = int(random() % 10);
        if (what < 5) {
            const int watch = next++;
            EXPECT_TRUE(map.insert(watch, nodeNo(watch)));
            expected.emplace(watch, nodeNo(watch));
        } else if (what < 8 && !expected.empty()) {
            auto it = expected.begin();
            std::advance(it, random() % expected.size());
            map.erase(it->first);
            expected.erase(it);
        } else if (what == 8) {
            // A small number again, as after a wrap: taken or not.
            const int watch = int(random() % 200) + 1;
            const bool taken = expected.count(watch) > 0;
            EXPECT_EQ(map.insert(watch, nodeNo(watch + 1)), !taken) << watch;
            if (!taken)
                expected.emplace(watch, nodeNo(watch + 1));
        } else {
            map.erase(next + 5); // never given: nothing changes
        }
        ASSERT_EQ(map.size(), expected.size()) << "step " << step;
    }
    for (int watch = 0; watch <= next; ++watch) {
        const auto it = expected.find(watch);
        EXPECT_EQ(map.find(watch), it == expected.end() ? nullptr : it->second) << watch;
    }
    std::vector<int> seen;
    map.forEach([&seen](int watch, TTreeNode*) {
        seen.push_back(watch);
        return true;
    });
    std::vector<int> want;
    for (const auto& [watch, node] : expected)
        want.push_back(watch);
    EXPECT_EQ(seen, want);
    EXPECT_EQ(map.first(), expected.empty() ? nullptr : expected.begin()->second);

    map.clear();
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(map.first(), nullptr);
    EXPECT_EQ(map.find(1), nullptr);
}

} // namespace
} // namespace zentrix
