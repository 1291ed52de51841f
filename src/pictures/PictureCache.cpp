// TPictureCache: the least recently used pixels give way when the budget is reached.
#include "pictures/PictureCache.h"

#include <algorithm>

namespace xq {

std::shared_ptr<TPictureCache> TPictureCache::Shared()
{
    static const std::shared_ptr<TPictureCache> cache = std::make_shared<TPictureCache>();
    return cache;
}

TPictureCache& TPictureCache::Instance()
{
    static TPictureCache& cache = *Shared();
    return cache;
}

void TPictureCache::SetBudget(std::size_t bytes)
{
    const std::lock_guard lock(Mutex_);
    Budget_ = bytes;
    EvictBeyondBudget();
}

std::size_t TPictureCache::Budget() const
{
    const std::lock_guard lock(Mutex_);
    return Budget_;
}

std::size_t TPictureCache::BytesHeld() const
{
    const std::lock_guard lock(Mutex_);
    return Held_;
}

std::size_t TPictureCache::PicturesHeld() const
{
    const std::lock_guard lock(Mutex_);
    return Order_.size();
}

std::size_t TPictureCache::PeakBytesHeld() const
{
    const std::lock_guard lock(Mutex_);
    return Peak_;
}

std::uint64_t TPictureCache::Decodes() const
{
    const std::lock_guard lock(Mutex_);
    return Decodes_;
}

void TPictureCache::ResetStatistics()
{
    const std::lock_guard lock(Mutex_);
    Peak_ = Held_;
    Decodes_ = 0;
}

void TPictureCache::Clear()
{
    const std::lock_guard lock(Mutex_);
    while (!Order_.empty())
        Unlist(*Order_.back());
}

std::shared_ptr<const TDecodedPicture> TPictureCache::Find(TDecodeSlot& slot, TDecodeReduction wanted, bool& failed)
{
    const std::lock_guard lock(Mutex_);
    failed = slot.Failed_;
    if (!slot.Listed_ || !slot.Reduction_.Serves(wanted))
        return nullptr;
    Order_.splice(Order_.begin(), Order_, slot.Place_);
    return slot.Pixels_;
}

void TPictureCache::MakeRoom(TDecodeSlot& slot, std::size_t bytes)
{
    const std::lock_guard lock(Mutex_);
    Unlist(slot);
    if (bytes > Budget_)
        return;
    while (Held_ + bytes > Budget_ && !Order_.empty())
        Unlist(*Order_.back());
}

void TPictureCache::Keep(TDecodeSlot& slot, std::shared_ptr<const TDecodedPicture> pixels, TDecodeReduction reduction)
{
    const std::lock_guard lock(Mutex_);
    ++Decodes_;
    Unlist(slot);
    const std::size_t bytes = pixels ? pixels->Image.Pixels.size() : 0;
    if (!pixels || bytes > Budget_)
        return;
    slot.Pixels_ = std::move(pixels);
    slot.Reduction_ = reduction;
    slot.Bytes_ = bytes;
    Order_.push_front(&slot);
    slot.Place_ = Order_.begin();
    slot.Listed_ = true;
    Held_ += bytes;
    EvictBeyondBudget();
    Peak_ = std::max(Peak_, Held_);
}

void TPictureCache::KeepFailure(TDecodeSlot& slot)
{
    const std::lock_guard lock(Mutex_);
    ++Decodes_;
    Unlist(slot);
    slot.Failed_ = true;
}

void TPictureCache::Forget(TDecodeSlot& slot) noexcept
{
    const std::lock_guard lock(Mutex_);
    Unlist(slot);
}

void TPictureCache::Unlist(TDecodeSlot& slot) noexcept
{
    if (!slot.Listed_)
        return;
    Order_.erase(slot.Place_);
    Held_ -= slot.Bytes_;
    slot.Listed_ = false;
    slot.Bytes_ = 0;
    slot.Pixels_.reset();
}

void TPictureCache::EvictBeyondBudget() noexcept
{
    while (Held_ > Budget_ && !Order_.empty())
        Unlist(*Order_.back());
}

} // namespace xq
