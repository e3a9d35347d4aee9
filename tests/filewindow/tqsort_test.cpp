#include "filewindow/tqsort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

namespace zentrix {
namespace {

struct Sorted {
    int64_t compares = 0;
    int64_t swaps = 0;
};

Sorted sortInts(std::vector<int>& v, bool ascendingFlag = true) {
    Sorted s;
    TQSort q;
    q.Ascending = ascendingFlag;
    q.Compare = [&](void* sender, int a, int b, bool asc, int& action) {
        EXPECT_EQ(sender, &v);
        EXPECT_EQ(asc, ascendingFlag);
        EXPECT_GE(a, 0);
        EXPECT_GE(b, 0);
        ++s.compares;
        action = v[a] < v[b] ? -1 : (v[b] < v[a] ? 1 : 0);
    };
    q.Swap = [&](void*, int a, int b) {
        ++s.swaps;
        std::swap(v[a], v[b]);
    };
    q.Sort(&v, static_cast<int>(v.size()));
    return s;
}

TEST(TQSort, NothingWithoutEventsOrWithOneEntry) {
    std::vector<int> v{3, 1, 2};
    TQSort q;
    q.Sort(&v, 3); // no events: nothing, no crash
    EXPECT_EQ(v, (std::vector<int>{3, 1, 2}));
    int calls = 0;
    q.Compare = [&](void*, int, int, bool, int& a) {
        ++calls;
        a = 0;
    };
    q.Sort(&v, 3); // no Swap: nothing
    q.Swap = [&](void*, int, int) {
        ++calls;
    };
    q.Sort(&v, 1);
    q.Sort(&v, 0);
    EXPECT_EQ(calls, 0);
}

TEST(TQSort, EverySmallPermutation) {
    for (int n = 2; n <= 7; ++n) {
        std::vector<int> v(n);
        std::iota(v.begin(), v.end(), 0);
        do {
            std::vector<int> w = v;
            sortInts(w);
            ASSERT_TRUE(std::is_sorted(w.begin(), w.end())) << "n=" << n;
        } while (std::next_permutation(v.begin(), v.end()));
    }
    // Small ranges with equal keys.
    std::vector<int> w{1, 1, 0};
    sortInts(w);
    EXPECT_EQ(w, (std::vector<int>{0, 1, 1}));
}

TEST(TQSort, RandomInputsWithManyEqualKeys) {
    std::mt19937 rng(7);
    for (int range : {2, 10, 1000, 1 << 30}) {
        std::vector<int> v(20000);
        for (int& x : v)
            x = static_cast<int>(rng() % static_cast<unsigned>(range));
        std::vector<int> expected = v;
        std::sort(expected.begin(), expected.end());
        sortInts(v, range != 2);
        ASSERT_EQ(v, expected) << "range " << range;
    }
}

TEST(TQSort, PresortedAndUniformInputsStayFast) {
    const int n = 200000;
    const double nlogn = n * std::log2(n);
    std::vector<int> sorted(n);
    std::iota(sorted.begin(), sorted.end(), 0);
    std::vector<int> reversed(sorted.rbegin(), sorted.rend());
    std::vector<int> organ(n);
    for (int i = 0; i < n; ++i)
        organ[i] = std::min(i, n - i);
    for (auto* v : {&sorted, &reversed}) {
        const Sorted s = sortInts(*v);
        ASSERT_TRUE(std::is_sorted(v->begin(), v->end()));
        EXPECT_LT(s.compares, 3 * nlogn);
    }
    // The organ pipe is a poor case for the median of three, but it stays far
    // from quadratic.
    const Sorted o = sortInts(organ);
    ASSERT_TRUE(std::is_sorted(organ.begin(), organ.end()));
    EXPECT_LT(o.compares, 8 * nlogn);
    // All keys equal: the equal keys are gathered beside the first pivot, so one
    // partition pass finishes the work.
    std::vector<int> same(n, 5);
    const Sorted s = sortInts(same);
    EXPECT_LT(s.compares, 3 * n);
}

} // namespace
} // namespace zentrix
