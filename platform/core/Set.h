#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace vyn {

// A small set of enumeration members, laid out as the toolkit's sets: member n is bit 2^n of
// the ordinal, so a set read as an integer has the same value it would have there.
template <class E> class Set
{
    static_assert(std::is_enum_v<E>, "Set needs an enumeration");

public:
    using Enum = E;

    constexpr Set() = default;
    constexpr Set(std::initializer_list<E> members)
    {
        for (E m : members)
            m_bits |= Bit(m);
    }

    static constexpr Set FromOrdinal(std::uint64_t bits)
    {
        Set s;
        s.m_bits = bits;
        return s;
    }
    constexpr std::uint64_t Ordinal() const { return m_bits; }

    constexpr bool Contains(E m) const { return (m_bits & Bit(m)) != 0; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr Set& Include(E m)
    {
        m_bits |= Bit(m);
        return *this;
    }
    constexpr Set& Exclude(E m)
    {
        m_bits &= ~Bit(m);
        return *this;
    }

    constexpr Set operator+(Set o) const { return FromOrdinal(m_bits | o.m_bits); }
    constexpr Set operator-(Set o) const { return FromOrdinal(m_bits & ~o.m_bits); }
    constexpr Set operator*(Set o) const { return FromOrdinal(m_bits & o.m_bits); }
    constexpr Set operator+(E m) const { return FromOrdinal(m_bits | Bit(m)); }
    constexpr Set operator-(E m) const { return FromOrdinal(m_bits & ~Bit(m)); }
    constexpr Set& operator+=(Set o) { return *this = *this + o; }
    constexpr Set& operator-=(Set o) { return *this = *this - o; }
    constexpr Set& operator*=(Set o) { return *this = *this * o; }
    constexpr Set& operator+=(E m) { return Include(m); }
    constexpr Set& operator-=(E m) { return Exclude(m); }
    constexpr bool operator==(const Set&) const = default;
    // Subset test, as the toolkit's "<=" on sets.
    constexpr bool operator<=(Set o) const { return (m_bits & ~o.m_bits) == 0; }

private:
    static constexpr std::uint64_t Bit(E m) { return std::uint64_t(1) << static_cast<unsigned>(m); }
    std::uint64_t m_bits = 0;
};

} // namespace vyn
