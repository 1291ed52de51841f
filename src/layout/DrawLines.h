// Draw items: the pieces of items placed on lines, the list that holds them with room for
// reformatting in place, and the scaling from screen pixels to a target device.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace xq {

/// Positions of the layout (the y of a line, the x along a line) stay within +-MaxLayoutCoordinate,
/// what one piece or line adds to them (a width or height, an object's shift, the gap below a
/// line) within +-MaxLineExtent. Lengths read from documents are bounded (document/LengthBounds.h),
/// but sums that grow with the document - the lines one below the other, a long text measured
/// char by char, a line that does not wrap - are added in 64 bits and held at these limits, so
/// that a position plus a few extents always fits 32 bits. 2^30 pixels are 280 kilometres; a
/// document ends there, and lines that would lie further down stand at its bottom edge.
inline constexpr std::int32_t MaxLayoutCoordinate = 1 << 30;
inline constexpr std::int32_t MaxLineExtent = 1 << 26;

[[nodiscard]] constexpr std::int32_t ClampCoordinate(std::int64_t value) noexcept
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, -MaxLayoutCoordinate, MaxLayoutCoordinate));
}

[[nodiscard]] constexpr std::int32_t ClampExtent(std::int64_t value) noexcept
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, -MaxLineExtent, MaxLineExtent));
}

/// One piece of an item on one line: a whole non-text item, or a run of characters of one text item.
class TRVDrawLineInfo {
public:
    virtual ~TRVDrawLineInfo() = default;

    std::int32_t JustifyExtra = 0; ///< pixels added in front of this piece by justification
    std::int32_t Left = 0;         ///< document coordinates in device pixels
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t ItemNo = 0;
    std::int32_t FirstChar = 1;  ///< 1-based first character shown (1 for non-text items)
    std::int32_t CharCount = 0;  ///< characters shown (0 for non-text and empty text items)
    std::int32_t LineGapAfter = 0; ///< extra space below the line, the same in every piece of it
    std::uint8_t FirstInLine = 0;  ///< 255 for the first piece of a line

    [[nodiscard]] bool StartsLine() const noexcept { return FirstInLine != 0; }
    [[nodiscard]] std::int32_t Bottom() const noexcept { return Top + Height; }
};

/// The draw items of one container in reading order. For reformatting a range it keeps a run of
/// deleted slots: new draw items overwrite those slots first, so that the list is shifted only
/// when a range grows or shrinks.
/// invariant: DeletedFirst_ .. DeletedFirst_ + DeletedCount_ - 1 are the slots without a draw item.
class TRVDrawLines {
public:
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(Items_.size()); }
    [[nodiscard]] TRVDrawLineInfo& operator[](int index)
    {
        Check(index);
        return *Items_[std::size_t(index)];
    }
    [[nodiscard]] const TRVDrawLineInfo& operator[](int index) const
    {
        Check(index);
        return *Items_[std::size_t(index)];
    }

    void Add(std::unique_ptr<TRVDrawLineInfo> item);
    /// Frees the last draw item.
    void RemoveLast();
    /// Takes the draw item at index out of its slot, which stays empty (for moving whole lists).
    [[nodiscard]] std::unique_ptr<TRVDrawLineInfo> Take(int index);
    void Clear() noexcept;

    /// Frees the draw items first..last and keeps their slots as the deleted range.
    void MarkDeleted(int first, int last);
    /// Puts item at index: into the next deleted slot when index is where the deleted range
    /// starts, otherwise into a new slot.
    void InsertDrawItem(int index, std::unique_ptr<TRVDrawLineInfo> item);
    /// Frees the draw item at index; its slot joins the deleted range, which it must border.
    void DeleteDrawItem(int index);
    /// Removes the slots still marked deleted.
    void PurgeDeleted();

    [[nodiscard]] int DeletedFirst() const noexcept { return DeletedFirst_; }
    [[nodiscard]] int DeletedCount() const noexcept { return DeletedCount_; }

    /// Moves the draw items from `from` on down by dy and renumbers their items by itemDelta;
    /// with a renew callback, calls it with (itemNo, drawIndex) for each item's first draw item.
    template <typename Renew>
    void ShiftFrom(int from, std::int32_t dy, int itemDelta, Renew renew)
    {
        int previous = from > 0 ? Items_[std::size_t(from - 1)]->ItemNo : -1;
        for (std::size_t i = std::size_t(std::max(from, 0)); i < Items_.size(); ++i) {
            TRVDrawLineInfo& item = *Items_[i];
            item.Top = ClampCoordinate(std::int64_t{item.Top} + dy);
            item.ItemNo += itemDelta;
            if (item.ItemNo != previous) {
                renew(item.ItemNo, static_cast<int>(i));
                previous = item.ItemNo;
            }
        }
    }

private:
    void Check(int index) const
    {
        if (index < 0 || index >= Count() || !Items_[std::size_t(index)])
            ThrowOutOfBounds();
    }
    [[noreturn]] static void ThrowOutOfBounds();

    std::vector<std::unique_ptr<TRVDrawLineInfo>> Items_;
    int DeletedFirst_ = 0;
    int DeletedCount_ = 0;
};

/// MulDiv as the layout uses it: value × numerator / denominator rounded to the nearest integer
/// (halves away from zero), with a 64-bit intermediate product; a result beyond 32 bits is held
/// at the nearest 32-bit value.
[[nodiscard]] std::int32_t MulDiv(std::int32_t value, std::int32_t numerator, std::int32_t denominator) noexcept;

/// Screen and target resolutions: lengths of styles and items are screen pixels and are scaled
/// to the target when it is a printer.
struct TRVDeviceScale {
    std::int32_t ScreenPpiX = 96;
    std::int32_t ScreenPpiY = 96;
    std::int32_t DevicePpiX = 96;
    std::int32_t DevicePpiY = 96;
    std::int32_t LeftMarginDev = 0;

    [[nodiscard]] std::int32_t X(std::int32_t screen) const noexcept { return MulDiv(screen, DevicePpiX, ScreenPpiX); }
    [[nodiscard]] std::int32_t Y(std::int32_t screen) const noexcept { return MulDiv(screen, DevicePpiY, ScreenPpiY); }
    /// Device pixels back to screen pixels.
    [[nodiscard]] std::int32_t UnX(std::int32_t device) const noexcept { return MulDiv(device, ScreenPpiX, DevicePpiX); }
    [[nodiscard]] std::int32_t UnY(std::int32_t device) const noexcept { return MulDiv(device, ScreenPpiY, DevicePpiY); }
    [[nodiscard]] bool IsScreen() const noexcept { return DevicePpiX == ScreenPpiX && DevicePpiY == ScreenPpiY; }
};

/// A draw item of a hyperlink, for hit testing and the mouse cursor.
struct TRVJumpInfo {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t JumpNo = 0;
    std::int32_t DrawItemNo = 0;
    std::int16_t Cursor = 0;
};

} // namespace xq
