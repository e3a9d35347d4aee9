#include "filewindow/tqsort.h"

#include <algorithm>

namespace zentrix {

void TQSort::Sort(void* list, int count) {
    if (!Compare || !Swap || count <= 1)
        return;
    m_list = list;
    sortRange(0, count);
    m_list = nullptr;
}

int TQSort::cmp(int a, int b) {
    int action = 0;
    Compare(m_list, a, b, Ascending, action);
    return action;
}

void TQSort::sortRange(int start, int length) {
    while (length > 2) {
        const int mid = start + length / 2;
        const int last = start + length - 1;
        // Median of three; the median ends at start.
        if (cmp(mid, last) > 0)
            swap(mid, last);
        if (cmp(mid, start) > 0)
            swap(mid, start);
        else if (cmp(start, last) > 0)
            swap(start, last);
        if (length == 3) {
            swap(start, mid); // smallest, median, largest
            return;
        }

        // Partition behind the pivot. [start+1, eq) holds entries equal to the
        // pivot met by the left scan, [eq, i) the smaller ones, (j, last] the
        // greater ones.
        int eq = start + 1;
        int i = start + 1;
        int j = last;
        for (;;) {
            while (i <= j) {
                const int c = cmp(i, start);
                if (c > 0)
                    break;
                if (c == 0) {
                    if (i != eq)
                        swap(i, eq);
                    ++eq;
                }
                ++i;
            }
            while (i <= j && cmp(j, start) > 0)
                --j;
            if (i > j)
                break;
            // i holds a greater entry, j one not greater: exchange them; the left
            // scan then looks at the new entry at i again (it may equal the pivot).
            swap(i, j);
            --j;
        }
        // Move the pivot with its equals between the smaller and greater parts.
        const int equal = eq - start;
        const int smaller = i - eq;
        const int moved = std::min(equal, smaller);
        for (int k = 0; k < moved; ++k)
            swap(start + k, i - moved + k);
        const int greater = last - i + 1;
        const int greaterStart = i;

        if (smaller <= greater) {
            sortRange(start, smaller);
            start = greaterStart;
            length = greater;
        } else {
            sortRange(greaterStart, greater);
            length = smaller;
        }
    }
    if (length == 2 && cmp(start, start + 1) > 0)
        swap(start, start + 1);
}

} // namespace zentrix
