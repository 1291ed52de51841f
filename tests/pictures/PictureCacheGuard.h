// A test's own picture cache budget, with the cache emptied before and after.
#pragma once

#include <cstddef>

#include "pictures/PictureCache.h"

namespace xq::test {

/// Empties the program's picture cache, sets the budget and zeroes the statistics; restores the
/// budget and empties the cache again at the end of the test.
class TPictureCacheGuard {
public:
    explicit TPictureCacheGuard(std::size_t budget) : Saved_(TPictureCache::Instance().Budget())
    {
        TPictureCache& cache = TPictureCache::Instance();
        cache.Clear();
        cache.SetBudget(budget);
        cache.ResetStatistics();
    }
    ~TPictureCacheGuard()
    {
        TPictureCache& cache = TPictureCache::Instance();
        cache.Clear();
        cache.SetBudget(Saved_);
        cache.ResetStatistics();
    }
    TPictureCacheGuard(const TPictureCacheGuard&) = delete;
    TPictureCacheGuard& operator=(const TPictureCacheGuard&) = delete;

private:
    std::size_t Saved_;
};

} // namespace xq::test
