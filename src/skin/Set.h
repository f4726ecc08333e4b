// A set of the members of an enumeration, as the skinned controls' options and states are kept.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace skin {

// A set of the members of an enumeration whose values are 0, 1, 2 ...: member n is bit n of the mask,
// which is also how a set is stored.
template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> members) {
        for (E member : members) bits_ |= Bit(member);
    }
    static constexpr TSet FromBits(uint32_t bits) {
        TSet set;
        set.bits_ = bits;
        return set;
    }

    constexpr uint32_t Bits() const { return bits_; }
    constexpr bool Contains(E member) const { return (bits_ & Bit(member)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TSet& Include(E member) {
        bits_ |= Bit(member);
        return *this;
    }
    constexpr TSet& Exclude(E member) {
        bits_ &= ~Bit(member);
        return *this;
    }

    friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.bits_ | b.bits_); }
    friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.bits_ & ~b.bits_); }
    friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.bits_ & b.bits_); }
    friend constexpr bool operator==(TSet a, TSet b) { return a.bits_ == b.bits_; }
    friend constexpr bool operator!=(TSet a, TSet b) { return a.bits_ != b.bits_; }

private:
    static constexpr uint32_t Bit(E member) { return uint32_t{1} << static_cast<unsigned>(member); }
    uint32_t bits_ = 0;
};

}  // namespace skin
