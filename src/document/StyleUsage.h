// What items tell about the styles they use, for purging, and how renumbered styles reach them.
#pragma once

#include <vector>

namespace xq {

/// Used flags per style while unused styles are purged. An empty vector stands for a
/// collection that is not purged: everything in it counts as used.
struct TRVStyleUsage {
    std::vector<bool> Text, Para, List;

    static void Mark(std::vector<bool>& used, int no)
    {
        if (no >= 0 && no < static_cast<int>(used.size()))
            used[static_cast<std::size_t>(no)] = true;
    }
    void UseText(int no) { Mark(Text, no); }
    void UsePara(int no) { Mark(Para, no); }
    void UseList(int no) { Mark(List, no); }
};

/// Old style number -> new style number (-1 for a removed style). An empty map leaves
/// numbers unchanged; numbers outside a map are left alone as well.
struct TRVStyleRenumbering {
    std::vector<int> Text, Para, List;

    static int Map(const std::vector<int>& map, int no)
    {
        return no >= 0 && no < static_cast<int>(map.size()) ? map[static_cast<std::size_t>(no)] : no;
    }
    [[nodiscard]] int NewText(int no) const { return Map(Text, no); }
    [[nodiscard]] int NewPara(int no) const { return Map(Para, no); }
    [[nodiscard]] int NewList(int no) const { return Map(List, no); }
};

} // namespace xq
