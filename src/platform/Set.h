// TSet: a small bit set over an enumeration, the shape of every option set of the engine.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace xq {

/// A set of members of the enumeration E, member k stored as bit k of Storage.
template <typename E, typename Storage = std::uint32_t>
class TSet {
    static_assert(std::is_enum_v<E>);

public:
    constexpr TSet() noexcept = default;
    constexpr TSet(std::initializer_list<E> members) noexcept
    {
        for (E m : members)
            Bits_ |= Bit(m);
    }

    [[nodiscard]] static constexpr TSet FromBits(Storage bits) noexcept
    {
        TSet s;
        s.Bits_ = bits;
        return s;
    }

    [[nodiscard]] constexpr Storage Bits() const noexcept { return Bits_; }
    [[nodiscard]] constexpr bool Contains(E m) const noexcept { return (Bits_ & Bit(m)) != 0; }
    [[nodiscard]] constexpr bool Empty() const noexcept { return Bits_ == 0; }

    constexpr TSet& Include(E m) noexcept
    {
        Bits_ |= Bit(m);
        return *this;
    }
    constexpr TSet& Exclude(E m) noexcept
    {
        Bits_ &= ~Bit(m);
        return *this;
    }
    constexpr TSet& Set(E m, bool on) noexcept { return on ? Include(m) : Exclude(m); }

    [[nodiscard]] constexpr TSet operator|(TSet o) const noexcept { return FromBits(Bits_ | o.Bits_); }
    [[nodiscard]] constexpr TSet operator&(TSet o) const noexcept { return FromBits(Bits_ & o.Bits_); }
    [[nodiscard]] constexpr TSet operator-(TSet o) const noexcept { return FromBits(Bits_ & ~o.Bits_); }
    constexpr TSet& operator|=(TSet o) noexcept
    {
        Bits_ |= o.Bits_;
        return *this;
    }
    constexpr TSet& operator&=(TSet o) noexcept
    {
        Bits_ &= o.Bits_;
        return *this;
    }
    constexpr TSet& operator-=(TSet o) noexcept
    {
        Bits_ &= ~o.Bits_;
        return *this;
    }
    [[nodiscard]] constexpr bool operator==(const TSet&) const noexcept = default;

private:
    static constexpr Storage Bit(E m) noexcept { return Storage{1} << static_cast<unsigned>(m); }

    Storage Bits_ = 0;
};

} // namespace xq
