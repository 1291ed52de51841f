// The common header of every style and the base of the three style collections.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/DocViewError.h"

namespace xq {

class TRVStyle;

/// Fields shared by text, paragraph and list styles.
class TCustomRVInfo {
public:
    TCustomRVInfo() = default;
    explicit TCustomRVInfo(std::string styleName) : StyleName(std::move(styleName)) {}
    virtual ~TCustomRVInfo() = default;

    std::int32_t BaseStyleNo = -1;
    std::string StyleName;
    bool Standard = true;
    std::int32_t StyleTemplateId = -1;

protected:
    TCustomRVInfo(const TCustomRVInfo&) = default;
    TCustomRVInfo& operator=(const TCustomRVInfo&) = default;

    void CopyHeader(const TCustomRVInfo& source)
    {
        BaseStyleNo = source.BaseStyleNo;
        StyleName = source.StyleName;
        Standard = source.Standard;
        StyleTemplateId = source.StyleTemplateId;
    }
};

/// Base of the style collections: each knows the style sheet that owns it.
class TCustomRVInfos {
public:
    explicit TCustomRVInfos(TRVStyle* owner) noexcept : Owner_(owner) {}
    virtual ~TCustomRVInfos() = default;
    TCustomRVInfos(const TCustomRVInfos&) = delete;
    TCustomRVInfos& operator=(const TCustomRVInfos&) = delete;

    [[nodiscard]] TRVStyle* Owner() const noexcept { return Owner_; }
    [[nodiscard]] virtual int Count() const noexcept = 0;

private:
    TRVStyle* Owner_;
};

/// Storage shared by the collections: an owned, ordered list of styles of class T.
/// Indices are the style numbers that documents store.
template <class T>
class TRVInfoCollection : public TCustomRVInfos {
public:
    using TCustomRVInfos::TCustomRVInfos;

    [[nodiscard]] int Count() const noexcept override { return static_cast<int>(Items_.size()); }
    [[nodiscard]] bool IsValidIndex(int index) const noexcept { return index >= 0 && index < Count(); }

    /// Checked access; an index outside the collection is an engine error.
    [[nodiscard]] T& operator[](int index)
    {
        Check(index);
        return *Items_[static_cast<std::size_t>(index)];
    }
    [[nodiscard]] const T& operator[](int index) const
    {
        Check(index);
        return *Items_[static_cast<std::size_t>(index)];
    }

    /// Appends a style with the defaults of its class.
    T& Add()
    {
        Items_.push_back(std::make_unique<T>());
        if (Items_.size() == 1)
            Changed(); // the fallback copies style 0
        return *Items_.back();
    }

    void Clear() noexcept
    {
        Items_.clear();
        Changed();
    }

    void Delete(int index)
    {
        Check(index);
        Items_.erase(Items_.begin() + index);
        Changed();
    }

    /// Keeps the styles whose flag is set, in their order, and frees the others; styles beyond
    /// the flags are kept. One pass, however many styles go.
    void KeepOnly(const std::vector<bool>& keep)
    {
        std::size_t to = 0;
        for (std::size_t from = 0; from < Items_.size(); ++from)
            if (from >= keep.size() || keep[from]) {
                if (to != from)
                    Items_[to] = std::move(Items_[from]);
                ++to;
            }
        Items_.erase(Items_.begin() + static_cast<std::ptrdiff_t>(to), Items_.end());
        Changed();
    }

    /// Replaces the whole content with copies of other's styles.
    void CopyFrom(const TRVInfoCollection& other)
    {
        if (&other == this)
            return;
        std::vector<std::unique_ptr<T>> copies;
        copies.reserve(other.Items_.size());
        for (const auto& s : other.Items_) {
            auto copy = std::make_unique<T>();
            CopyItem(*copy, *s);
            copies.push_back(std::move(copy));
        }
        Items_ = std::move(copies);
        Changed();
    }

    auto begin() noexcept { return Items_.begin(); }
    auto end() noexcept { return Items_.end(); }
    auto begin() const noexcept { return Items_.begin(); }
    auto end() const noexcept { return Items_.end(); }

protected:
    /// How CopyFrom copies one style; list collections keep identities here.
    virtual void CopyItem(T& target, const T& source) const { target.CopyStyle(source); }
    /// Called after the content changed as a whole or style 0 may have changed.
    virtual void Changed() noexcept { FallbackStale_ = true; }
    /// Turns a copy of style 0 (or a default style) into the fallback style.
    virtual void MakeFallback(T& style) const {}

    /// The style at index, or the fallback style for an index outside the collection. The
    /// fallback lives as long as the collection, so a reference to it never dangles; it is
    /// refreshed from style 0 when the collection has changed.
    [[nodiscard]] T& StyleAtOrFallback(int index) const
    {
        if (IsValidIndex(index))
            return *Items_[static_cast<std::size_t>(index)];
        if (!Fallback_)
            Fallback_ = std::make_unique<T>();
        if (FallbackStale_) {
            T fresh;
            if (!Items_.empty())
                fresh.CopyStyle(*Items_[0]);
            MakeFallback(fresh);
            Fallback_->CopyStyle(fresh);
            FallbackStale_ = false;
        }
        return *Fallback_;
    }

    /// The base first, then every other index in ascending order; -1 when none matches.
    template <class Mask>
    [[nodiscard]] int FindMatching(int baseIndex, const T& probe, Mask mask) const
    {
        if (IsValidIndex(baseIndex) && probe.EqualsStyleExcept(*Items_[std::size_t(baseIndex)], mask))
            return baseIndex;
        for (int i = 0; i < Count(); ++i)
            if (i != baseIndex && probe.EqualsStyleExcept(*Items_[std::size_t(i)], mask))
                return i;
        return -1;
    }

    void Check(int index) const
    {
        if (!IsValidIndex(index))
            throw EDocViewError("List index out of bounds");
    }

    std::vector<std::unique_ptr<T>> Items_;

private:
    mutable std::unique_ptr<T> Fallback_;
    mutable bool FallbackStale_ = true;
};

} // namespace xq
