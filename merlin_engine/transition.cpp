#include "transition.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <thread>

namespace merlin {

namespace {

constexpr int kBlockBits = 12;   // 2^12 doubles: the low bits are applied inside such blocks
constexpr int kGroupBits = 6;    // higher bits are applied in groups of this many
constexpr size_t kColumns = 32;  // contiguous doubles taken together for the higher bits
static_assert((size_t{1} << kBlockBits) % kColumns == 0);

// One meiosis: u keeps 1 - t of itself and takes t of v, and the other way round.
inline void mix(double& u, double& v, double t) {
    const double d = t * (v - u);
    u += d;
    v -= d;
}

// Two meioses at once on four values (bit pattern 00, 01, 10, 11).
inline void mix4(double& a, double& b, double& c, double& d, double t) {
    mix(a, b, t);
    mix(c, d, t);
    mix(a, c, t);
    mix(b, d, t);
}

// The hot loops are compiled for wide vector units too and the best version is
// picked when the program starts.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && \
    !defined(__SANITIZE_ADDRESS__)
#define MERLIN_VECTOR_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define MERLIN_VECTOR_CLONES
#endif

// Applies the kernel to the bits of the row index of a matrix of 2^rowBits rows,
// rows `stride` doubles apart, each row W contiguous doubles.
template <size_t W>
inline void mixRows(double* y, int rowBits, size_t stride, double t) {
    const size_t rows = size_t{1} << rowBits;
    int b = 0;
    for (; b + 1 < rowBits; b += 2) {
        const size_t h = size_t{1} << b;
        for (size_t base = 0; base < rows; base += 4 * h)
            for (size_t r = base; r < base + h; ++r) {
                double* __restrict p0 = y + r * stride;
                double* __restrict p1 = p0 + h * stride;
                double* __restrict p2 = p1 + h * stride;
                double* __restrict p3 = p2 + h * stride;
                for (size_t w = 0; w < W; ++w) mix4(p0[w], p1[w], p2[w], p3[w], t);
            }
    }
    if (b < rowBits) {
        const size_t h = size_t{1} << b;
        for (size_t base = 0; base < rows; base += 2 * h)
            for (size_t r = base; r < base + h; ++r) {
                double* __restrict p0 = y + r * stride;
                double* __restrict p1 = p0 + h * stride;
                for (size_t w = 0; w < W; ++w) mix(p0[w], p1[w], t);
            }
    }
}

// Applies the kernel to the low `bits` bits of each of `count` contiguous blocks,
// and the fixed meioses of the founders whose masks lie inside a block.
MERLIN_VECTOR_CLONES void mixBlocks(double* x, size_t count, int bits, double t,
                                    const std::vector<std::uint64_t>& masks) {
    const size_t size = size_t{1} << bits;
    for (size_t k = 0; k < count; ++k) {
        double* y = x + k * size;
        if (bits == 1) {
            mix(y[0], y[1], t);
        } else {
            for (size_t i = 0; i < size; i += 4) mix4(y[i], y[i + 1], y[i + 2], y[i + 3], t);
            if (bits > 2) mixRows<4>(y, bits - 2, 4, t);
        }
        for (const std::uint64_t mask : masks) {
            const size_t top = size_t{1} << (63 - std::countl_zero(mask));
            for (size_t i = 0; i < size; ++i)
                if (!(i & top)) mix(y[i], y[i ^ mask], t);
        }
    }
}

// Applies the kernel to bits [first, last) for the column chunks [from, to) of
// the vector, a chunk being kColumns contiguous doubles at every row, together with
// the fixed meioses of the founders whose highest bit lies in [first, last). Such a
// meiosis pairs a chunk with the chunk at a fixed XOR distance, so the chunks are
// taken by orbits under those distances (`span`, closed under XOR) and each orbit
// by the thread that holds its smallest chunk.
MERLIN_VECTOR_CLONES void mixGroup(double* x, int first, int last, size_t from, size_t to, double t,
                                   const std::vector<std::uint64_t>& masks,
                                   const std::vector<size_t>& span) {
    const size_t stride = size_t{1} << first;
    const size_t chunksPerUpper = stride / kColumns;
    auto chunkStart = [&](size_t chunk) {
        return x + ((chunk / chunksPerUpper) << last) + (chunk % chunksPerUpper) * kColumns;
    };
    for (size_t chunk = from; chunk < to; ++chunk) {
        bool smallest = true;
        for (size_t d : span) smallest &= (chunk ^ d) >= chunk;
        if (!smallest) continue;
        for (size_t d : span) mixRows<kColumns>(chunkStart(chunk ^ d), last - first, stride, t);
        for (const std::uint64_t mask : masks) {
            const size_t rowMask = static_cast<size_t>(mask >> first);
            const size_t topRow = size_t{1} << (63 - std::countl_zero(rowMask));
            const size_t chunkMask = static_cast<size_t>(mask & (stride - 1)) / kColumns;
            const size_t laneMask = static_cast<size_t>(mask) & (kColumns - 1);
            for (size_t d : span) {
                double* u = chunkStart(chunk ^ d);
                double* v = chunkStart(chunk ^ d ^ chunkMask);
                for (size_t r = 0; r < (size_t{1} << (last - first)); ++r) {
                    if (r & topRow) continue;
                    double* p = u + r * stride;
                    double* q = v + (r ^ rowMask) * stride;
                    for (size_t w = 0; w < kColumns; ++w) mix(p[w], q[w ^ laneMask], t);
                }
            }
        }
    }
}

// A founder's fixed meiosis outside the passes above: vector i mixes with vector
// i ^ mask, for the i with the top bit of the mask clear, taken in [from, to).
MERLIN_VECTOR_CLONES void mixFounder(double* x, std::uint64_t mask, size_t from, size_t to,
                                     double t) {
    const int topBit = 63 - std::countl_zero(mask);
    const size_t below = size_t{1} << topBit;
    for (size_t k = from; k < to; ++k) {
        const size_t i = ((k >> topBit) << (topBit + 1)) | (k & (below - 1));
        mix(x[i], x[i ^ mask], t);
    }
}

// Runs work(from, to) over [0, count) on two threads when the count is large.
template <typename Work>
void split(size_t count, size_t minimum, Work work) {
    if (count < minimum) {
        work(size_t{0}, count);
        return;
    }
    std::thread helper([&] { work(count / 2, count); });
    work(size_t{0}, count / 2);
    helper.join();
}

constexpr size_t kThreadedSize = size_t{1} << 18;
constexpr size_t kLargestOrbit = 16;  // chunks handled together in one group pass

// A couple's fixed meiosis on blocks [from, to) of 2^low vectors. The exchange takes
// a block to one block (no exchanged pair of bits straddles the block boundary) and
// is applied within blocks to the low bits; each pair of blocks is taken once, by
// the smaller one.
MERLIN_VECTOR_CLONES void mixCoupleBlocks(double* x, int low, size_t from, size_t to, double t,
                                          const CoupleSymmetry& couple) {
    const size_t size = size_t{1} << low;
    const std::uint64_t lowMask = size - 1;
    for (size_t block = from; block < to; ++block) {
        const size_t partner = couple.apply(std::uint64_t{block} << low) >> low;
        if (partner < block) continue;
        double* y = x + (block << low);
        if (partner == block) {
            for (size_t j = 0; j < size; ++j) {
                const size_t k = couple.apply(j) & lowMask;
                if (j < k) mix(y[j], y[k], t);
            }
        } else {
            double* z = x + (partner << low);
            for (size_t j = 0; j < size; ++j) mix(y[j], z[couple.apply(j) & lowMask], t);
        }
    }
}

// Popcounts in the pair weights are single instructions where the processor has them.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && \
    !defined(__SANITIZE_ADDRESS__)
#define MERLIN_POPCOUNT_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define MERLIN_POPCOUNT_CLONES
#endif

MERLIN_POPCOUNT_CLONES void pairSums(const PairWeightGroup* groups, size_t groupCount,
                                     const std::uint64_t* from, const double* fromValue,
                                     size_t fromCount, const std::uint64_t* to, size_t toCount,
                                     double* toValue) {
    for (size_t k = 0; k < toCount; ++k) {
        const std::uint64_t v = to[k];
        double sum = 0.0;
        for (size_t j = 0; j < fromCount; ++j) {
            const std::uint64_t x = v ^ from[j];
            double w = fromValue[j];
            for (size_t g = 0; g < groupCount; ++g)
                w *= groups[g].weight[std::popcount(x & groups[g].mask)];
            sum += w;
        }
        toValue[k] = sum;
    }
}

}  // namespace

double haldaneTheta(double distanceCm) {
    const double d = std::fabs(distanceCm);
    if (!(d < 1e300)) return 0.5;
    return -0.5 * std::expm1(-0.02 * d);
}

void applyTransition(double* x, int bits, double theta,
                     const std::vector<std::uint64_t>& founderMasks) {
    if (bits == 0 || theta <= 0.0) return;
    const size_t size = size_t{1} << bits;
    if (theta >= 0.5) {  // unlinked: every vector becomes equally likely
        const double mean = accurateSum(x, size) / static_cast<double>(size);
        std::fill(x, x + size, mean);
        return;
    }
    const int low = std::min(bits, kBlockBits);
    // Each founder's fixed meiosis goes with the pass that holds its highest bit.
    std::vector<std::uint64_t> blockMasks, separate;
    for (const std::uint64_t mask : founderMasks)
        if (mask != 0 && 63 - std::countl_zero(mask) < low) blockMasks.push_back(mask);
    const size_t blocks = size >> low;
    const size_t threshold = kThreadedSize >> low;
    split(blocks, std::max<size_t>(threshold, 2), [&](size_t from, size_t to) {
        mixBlocks(x + (from << low), to - from, low, theta, blockMasks);
    });
    for (int first = low; first < bits; first += kGroupBits) {
        const int last = std::min(bits, first + kGroupBits);
        std::vector<std::uint64_t> masks;
        std::vector<size_t> span = {0};
        for (const std::uint64_t mask : founderMasks) {
            const int top = mask == 0 ? -1 : 63 - std::countl_zero(mask);
            if (top < first || top >= last) continue;
            const size_t distance =
                static_cast<size_t>(mask & ((std::uint64_t{1} << first) - 1)) / kColumns;
            const bool inSpan = std::find(span.begin(), span.end(), distance) != span.end();
            if (!inSpan && span.size() >= kLargestOrbit) {
                separate.push_back(mask);
                continue;
            }
            masks.push_back(mask);
            if (!inSpan) {
                const size_t n = span.size();
                for (size_t k = 0; k < n; ++k) span.push_back(span[k] ^ distance);
            }
        }
        const size_t chunks = (size_t{1} << (bits - last)) * ((size_t{1} << first) / kColumns);
        split(chunks, std::max<size_t>(kThreadedSize >> (last - first + 3), 2),
              [&](size_t from, size_t to) {
                  mixGroup(x, first, last, from, to, theta, masks, span);
              });
    }
    for (const std::uint64_t mask : separate)
        split(size / 2, kThreadedSize,
              [&](size_t from, size_t to) { mixFounder(x, mask, from, to, theta); });
}

void applyCoupleStep(double* x, int bits, double theta, const CoupleSymmetry& couple) {
    if (bits == 0 || theta <= 0.0) return;
    int low = std::min(bits, kBlockBits);
    if (low < bits && (couple.swapLow >> (low - 1) & 1)) --low;
    const size_t blocks = size_t{1} << (bits - low);
    split(blocks, std::max<size_t>(kThreadedSize >> low, 2),
          [&](size_t from, size_t to) { mixCoupleBlocks(x, low, from, to, theta, couple); });
}

void applyPartTransition(double* x, const PartModel& part, double theta) {
    applyTransition(x, part.bits, theta, part.founderMasks);
    if (theta >= 0.5) return;  // already uniform
    for (const CoupleSymmetry& couple : part.couples) applyCoupleStep(x, part.bits, theta, couple);
}

void PairTransition::prepare(const PartModel& part, double theta) {
    theta_ = std::min(theta, 0.5);
    couples_ = part.couples;
    const int bits = part.bits;
    std::uint64_t rest = bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
    std::vector<std::pair<std::uint64_t, bool>> masks;  // with whether a founder's
    for (const std::uint64_t mask : part.founderMasks)
        if (mask != 0) {
            masks.push_back({mask, true});
            rest &= ~mask;
        }
    if (rest != 0) masks.push_back({rest, false});
    // Per group, the weight by the number d of its k bits that differ: each bit
    // recombines with probability theta; a founder's fixed meiosis recombining
    // turns d into k - d.
    const double t = theta_;
    tables_.clear();
    std::vector<size_t> offsets;
    for (const auto& [mask, founder] : masks) {
        const int k = std::popcount(mask);
        offsets.push_back(tables_.size());
        for (int d = 0; d <= k; ++d) {
            const double plain = std::pow(t, d) * std::pow(1.0 - t, k - d);
            tables_.push_back(founder ? (1.0 - t) * plain +
                                            t * std::pow(t, k - d) * std::pow(1.0 - t, d)
                                      : plain);
        }
    }
    groups_.clear();
    for (size_t g = 0; g < masks.size(); ++g)
        groups_.push_back({masks[g].first, tables_.data() + offsets[g]});
}

void PairTransition::apply(const std::uint64_t* from, const double* fromValue, size_t fromCount,
                           const std::uint64_t* to, size_t toCount, double* toValue) {
    if (!couples_.empty()) {
        // A couple's fixed meiosis recombining takes a source to its image.
        sourceIndex_.assign(from, from + fromCount);
        sourceValue_.assign(fromValue, fromValue + fromCount);
        for (const CoupleSymmetry& couple : couples_) {
            const size_t n = sourceIndex_.size();
            for (size_t j = 0; j < n; ++j) {
                sourceIndex_.push_back(couple.apply(sourceIndex_[j]));
                sourceValue_.push_back(sourceValue_[j] * theta_);
                sourceValue_[j] *= 1.0 - theta_;
            }
        }
        from = sourceIndex_.data();
        fromValue = sourceValue_.data();
        fromCount = sourceIndex_.size();
    }
    const auto work = [&](size_t first, size_t last) {
        pairSums(groups_.data(), groups_.size(), from, fromValue, fromCount, to + first,
                 last - first, toValue + first);
    };
    if (fromCount * toCount < (size_t{1} << 20))
        work(0, toCount);
    else
        split(toCount, 2, work);
}

double accurateSum(const double* x, size_t count) {
    double total = 0.0;
    double carry = 0.0;
    constexpr size_t kChunk = 256;
    for (size_t start = 0; start < count; start += kChunk) {
        const size_t stop = std::min(count, start + kChunk);
        double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
        size_t i = start;
        for (; i + 4 <= stop; i += 4) {
            a += x[i];
            b += x[i + 1];
            c += x[i + 2];
            d += x[i + 3];
        }
        for (; i < stop; ++i) a += x[i];
        const double part = (a + b) + (c + d);
        const double y = part - carry;  // compensated addition of the chunk sums
        const double t = total + y;
        carry = (t - total) - y;
        total = t;
    }
    return total;
}

}  // namespace merlin
