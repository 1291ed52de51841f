// Draw items and their list with in-place reuse of reformatted slots.
#include "layout/DrawLines.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "platform/DocViewError.h"

namespace xq {

void TRVDrawLines::ThrowOutOfBounds()
{
    throw EDocViewError("Draw item index is out of bounds");
}

void TRVDrawLines::Add(std::unique_ptr<TRVDrawLineInfo> item)
{
    Items_.push_back(std::move(item));
}

void TRVDrawLines::RemoveLast()
{
    Check(Count() - 1);
    Items_.pop_back();
}

std::unique_ptr<TRVDrawLineInfo> TRVDrawLines::Take(int index)
{
    Check(index);
    return std::move(Items_[std::size_t(index)]);
}

void TRVDrawLines::Clear() noexcept
{
    Items_.clear();
    DeletedFirst_ = DeletedCount_ = 0;
}

void TRVDrawLines::MarkDeleted(int first, int last)
{
    if (DeletedCount_ > 0)
        PurgeDeleted();
    if (first < 0 || last >= Count() || first > last + 1)
        throw EDocViewError("Draw item index is out of bounds");
    for (int i = first; i <= last; ++i)
        Items_[std::size_t(i)].reset();
    DeletedFirst_ = first;
    DeletedCount_ = last - first + 1;
}

void TRVDrawLines::InsertDrawItem(int index, std::unique_ptr<TRVDrawLineInfo> item)
{
    if (index < 0 || index > Count())
        throw EDocViewError("Draw item index is out of bounds");
    if (DeletedCount_ > 0 && index == DeletedFirst_) {
        Items_[std::size_t(index)] = std::move(item);
        ++DeletedFirst_;
        --DeletedCount_;
        return;
    }
    if (DeletedCount_ == 0) {
        // A range that grows opens a gap of empty slots at once, a sixteenth of the list at
        // least, so that many new draw items shift the list only a few times.
        const std::size_t gap = std::max<std::size_t>(64, Items_.size() / 16);
        std::vector<std::unique_ptr<TRVDrawLineInfo>> empty(gap);
        Items_.insert(Items_.begin() + index, std::make_move_iterator(empty.begin()), std::make_move_iterator(empty.end()));
        DeletedFirst_ = index;
        DeletedCount_ = static_cast<int>(gap);
        InsertDrawItem(index, std::move(item));
        return;
    }
    Items_.insert(Items_.begin() + index, std::move(item));
    if (index < DeletedFirst_)
        ++DeletedFirst_;
}

void TRVDrawLines::DeleteDrawItem(int index)
{
    Check(index);
    const bool borders = DeletedCount_ == 0 || index == DeletedFirst_ - 1 || index == DeletedFirst_ + DeletedCount_;
    if (!borders) {
        // A slot away from the open range: the range is closed first, which shifts what follows it.
        if (index > DeletedFirst_)
            index -= DeletedCount_;
        PurgeDeleted();
    }
    Items_[std::size_t(index)].reset();
    if (DeletedCount_ == 0 || index == DeletedFirst_ - 1)
        DeletedFirst_ = index;
    ++DeletedCount_;
}

void TRVDrawLines::PurgeDeleted()
{
    if (DeletedCount_ > 0)
        Items_.erase(Items_.begin() + DeletedFirst_, Items_.begin() + DeletedFirst_ + DeletedCount_);
    DeletedFirst_ = DeletedCount_ = 0;
}

std::int32_t MulDiv(std::int32_t value, std::int32_t numerator, std::int32_t denominator) noexcept
{
    if (denominator == 0)
        return 0;
    const std::int64_t product = std::int64_t(value) * numerator;
    std::int64_t quotient = product / denominator;
    const std::int64_t remainder = product % denominator;
    if (std::llabs(remainder) * 2 >= std::llabs(denominator))
        quotient += (product < 0) == (denominator < 0) ? 1 : -1;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(quotient, INT32_MIN, INT32_MAX));
}

} // namespace xq
