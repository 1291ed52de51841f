// TPictureCache: the decoded pixels of all pictures, kept for painting within one budget.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>

#include "pictures/PictureBase.h"

namespace xq {

/// The decoded pixels of every picture in the program, documents, clipboard and undo copies
/// alike, kept for painting within one budget of bytes. A picture and its copies have one slot;
/// the slots that hold pixels are kept in the order of their last use, and when new pixels need
/// the room, the least recently used give theirs up (they are decoded again when painted again).
/// Pixels that a painter still holds stay alive until it lets them go, so the memory used is the
/// budget plus the pictures being drawn at that moment. Pixels larger than the whole budget are
/// handed out but not kept.
///
/// invariant: BytesHeld() == the sum of the listed slots' bytes, and <= Budget() after every call.
class TPictureCache {
public:
    static constexpr std::size_t DefaultBudget = std::size_t(256) << 20;

    /// The program's cache. It lives until the last picture that used it is gone.
    [[nodiscard]] static TPictureCache& Instance();
    [[nodiscard]] static std::shared_ptr<TPictureCache> Shared();

    TPictureCache() = default;
    TPictureCache(const TPictureCache&) = delete;
    TPictureCache& operator=(const TPictureCache&) = delete;

    /// A smaller budget gives up pixels at once.
    void SetBudget(std::size_t bytes);
    [[nodiscard]] std::size_t Budget() const;
    [[nodiscard]] std::size_t BytesHeld() const;
    [[nodiscard]] std::size_t PicturesHeld() const;
    /// The most bytes held at once, and the decodes done, since the last ResetStatistics.
    [[nodiscard]] std::size_t PeakBytesHeld() const;
    [[nodiscard]] std::uint64_t Decodes() const;
    void ResetStatistics();
    /// Gives up all kept pixels (remembered failures stay with their pictures).
    void Clear();

    // Used by TEncodedPicture.

    /// The slot's kept pixels when they have at least the size `wanted` asks for (they become the
    /// most recently used); null otherwise. `failed` tells that the picture could not be decoded.
    [[nodiscard]] std::shared_ptr<const TDecodedPicture> Find(TDecodeSlot& slot, TDecodeReduction wanted, bool& failed);
    /// Before the slot's picture is decoded anew into `bytes` of pixels: the slot gives up what
    /// it holds, and the least recently used give up enough for the new pixels to fit, so that
    /// the budget is not exceeded even while decoding. Nothing else is given up for pixels that
    /// will not be kept.
    void MakeRoom(TDecodeSlot& slot, std::size_t bytes);
    /// Keeps newly decoded pixels for the slot in place of what it had.
    void Keep(TDecodeSlot& slot, std::shared_ptr<const TDecodedPicture> pixels, TDecodeReduction reduction);
    /// Remembers that the slot's picture cannot be decoded.
    void KeepFailure(TDecodeSlot& slot);
    /// The slot is going away.
    void Forget(TDecodeSlot& slot) noexcept;

private:
    void Unlist(TDecodeSlot& slot) noexcept;
    void EvictBeyondBudget() noexcept;

    mutable std::mutex Mutex_;
    std::size_t Budget_ = DefaultBudget;
    std::size_t Held_ = 0;
    std::size_t Peak_ = 0;
    std::uint64_t Decodes_ = 0;
    std::list<TDecodeSlot*> Order_; ///< slots holding pixels, the most recently used first
};

/// Where the cache keeps the pixels of one picture and its copies. Made by the picture on first
/// use; its fields belong to the cache and are guarded by the cache's lock.
class TDecodeSlot {
public:
    TDecodeSlot() : Cache_(TPictureCache::Shared()) {}
    TDecodeSlot(const TDecodeSlot&) = delete;
    TDecodeSlot& operator=(const TDecodeSlot&) = delete;
    ~TDecodeSlot() { Cache_->Forget(*this); }

    [[nodiscard]] TPictureCache& Cache() const noexcept { return *Cache_; }

private:
    friend class TPictureCache;

    std::shared_ptr<TPictureCache> Cache_;
    std::shared_ptr<const TDecodedPicture> Pixels_;
    TDecodeReduction Reduction_;
    std::size_t Bytes_ = 0;
    bool Failed_ = false;
    bool Listed_ = false;
    std::list<TDecodeSlot*>::iterator Place_;
};

} // namespace xq
