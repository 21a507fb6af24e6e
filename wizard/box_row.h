#pragma once
// The MAC boxes of a row know only their right-hand neighbour. Both windows
// find a box's row the same way: from the row's first box, the sibling that
// is nobody's neighbour and whose chain reaches the box.

#include <algorithm>
#include <vector>

// `next(b)` is b's right-hand neighbour, or null. A box in no row of its
// siblings is a row of its own. A chain that loops stops after as many
// boxes as there are siblings.
template <typename Box, typename Next>
std::vector<Box*> RowOfBox(Box* box, const std::vector<Box*>& siblings, Next next)
{
    for (Box* first : siblings) {
        const bool isNext = std::any_of(siblings.begin(), siblings.end(),
                                        [&](Box* other) { return next(other) == first; });
        if (isNext)
            continue;
        std::vector<Box*> row;
        for (Box* b = first; b && row.size() <= siblings.size(); b = next(b))
            row.push_back(b);
        if (std::find(row.begin(), row.end(), box) != row.end())
            return row;
    }
    return {box};
}
