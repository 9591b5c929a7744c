// A connected part of a family's pedigree, reduced for one chromosome to the
// persons that matter (typed ones and their ancestors). Its inheritance vectors
// have one bit per meiosis, less one per founder: swapping a founder's two alleles
// leaves every likelihood unchanged, so the first meiosis of each founder is fixed.
// Less one more per untyped founder couple with grandchildren (see CoupleSymmetry).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace merlin {

// Two untyped founders who have children only together can change places without
// changing any likelihood. On an inheritance vector that exchanges the paternal and
// maternal bit of each of their children and flips every meiosis from a child to a
// grandchild. One such meiosis is fixed, so every vector with it clear stands for
// itself and its image; between markers, the fixed meiosis recombining takes a
// vector to the image of the rest of the exchange, `apply`.
struct CoupleSymmetry {
    std::uint64_t swapLow = 0;  // bit b set: bits b and b + 1 are exchanged
    std::uint64_t flip = 0;     // then these bits are flipped
    std::uint64_t apply(std::uint64_t v) const {
        const std::uint64_t t = (v ^ (v >> 1)) & swapLow;
        return v ^ t ^ (t << 1) ^ flip;
    }
};

inline constexpr int kMaxNodes = 64;  // founder alleles of a part within the bit limit
inline constexpr int kMaxSlots = 32;  // non-founders of a part within the bit limit

struct PartModel {
    std::vector<int> founderPerson;  // pedigree person of each founder
    std::vector<int> slotPerson;     // pedigree person of each non-founder, parents first
    // Parent of a slot: a slot index >= 0, or -(founder + 1).
    std::vector<int> fatherRef;
    std::vector<int> motherRef;
    std::vector<std::uint8_t> patFree;  // paternal meiosis bit not fixed
    std::vector<std::uint8_t> matFree;
    std::vector<int> bitsAfter;  // free bits of the slots from s on; size slots + 1
    int bits = 0;
    // Per founder: the free bits of its meioses; the fixed meiosis flips with them.
    std::vector<std::uint64_t> founderMasks;
    // Founder pairs (founder indices) whose exchange is used, and its action on the bits.
    std::vector<std::array<int, 2>> couplePairs;
    std::vector<CoupleSymmetry> couples;

    int founders() const { return static_cast<int>(founderPerson.size()); }
    int slots() const { return static_cast<int>(slotPerson.size()); }
    int freeBits(int s) const { return patFree[s] + matFree[s]; }
    int patBit(int s) const { return bitsAfter[s + 1] + matFree[s]; }
    int matBit(int s) const { return bitsAfter[s + 1]; }
};

// Genotypes of a part at one marker: per founder and per slot the allele pair
// (a <= b), or -1 when untyped.
struct MarkerGenotypes {
    std::vector<int> founderA, founderB;
    std::vector<int> slotA, slotB;
    const double* frequencies = nullptr;
};

}  // namespace merlin
