#pragma once

#include <functional>

namespace zentrix {

/// A quicksort that knows nothing of the data: it asks `Compare` for the order
/// of two indexes and has `Swap` exchange them. Median of three, entries equal
/// to the pivot gathered beside it, recursion on the smaller part only (so the
/// stack stays logarithmic). Not stable.
class TQSort {
public:
    /// Sets `Action` negative when entry e1 belongs before e2, 0 when equal,
    /// positive when after. `Sender` is the list handed to Sort.
    using TCompareEvent =
        std::function<void(void* Sender, int e1, int e2, bool SortAscending, int& Action)>;
    using TSwapEvent = std::function<void(void* Sender, int e1, int e2)>;

    TCompareEvent Compare;
    TSwapEvent Swap;
    /// Handed to Compare as SortAscending.
    bool Ascending = true;

    /// Sorts the indexes 0 .. count - 1 of the list; nothing unless both events
    /// are set and count is above 1.
    void Sort(void* list, int count);

private:
    int cmp(int a, int b);
    void swap(int a, int b) { Swap(m_list, a, b); }
    void sortRange(int start, int length);

    void* m_list = nullptr;
};

} // namespace zentrix
