#include "transition.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace merlin {

namespace {

constexpr int kLowBits = 11;    // 2^11 doubles: bits applied inside one cache-sized block
constexpr int kGroupBits = 10;  // higher bits are applied in groups of this many
constexpr size_t kColumns = 8;  // contiguous doubles taken together for the higher bits

inline void mix(double& u, double& v, double stay, double move) {
    const double a = u;
    const double b = v;
    u = stay * a + move * b;
    v = move * a + stay * b;
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
    const double stay = 1.0 - theta;
    const double move = theta;
    const int low = std::min(bits, kLowBits);
    const size_t block = size_t{1} << low;
    for (size_t base = 0; base < size; base += block) {
        double* y = x + base;
        for (int b = 0; b < low; ++b) {
            const size_t h = size_t{1} << b;
            for (size_t i = 0; i < block; i += 2 * h)
                for (size_t j = i; j < i + h; ++j) mix(y[j], y[j + h], stay, move);
        }
    }
    for (int first = low; first < bits; first += kGroupBits) {
        const int last = std::min(bits, first + kGroupBits);
        const size_t rows = size_t{1} << (last - first);
        const size_t lowSize = size_t{1} << first;
        const size_t columns = std::min(kColumns, lowSize);
        const size_t uppers = size_t{1} << (bits - last);
        for (size_t upper = 0; upper < uppers; ++upper) {
            for (size_t column = 0; column < lowSize; column += columns) {
                double* y = x + (upper << last) + column;
                for (int b = 0; b < last - first; ++b) {
                    const size_t h = size_t{1} << b;
                    for (size_t r = 0; r < rows; r += 2 * h)
                        for (size_t q = r; q < r + h; ++q) {
                            double* u = y + (q << first);
                            double* v = y + ((q + h) << first);
                            for (size_t w = 0; w < columns; ++w) mix(u[w], v[w], stay, move);
                        }
                }
            }
        }
    }
    for (const std::uint64_t mask : founderMasks) {
        if (mask == 0) continue;
        const std::uint64_t top = std::uint64_t{1} << (63 - std::countl_zero(mask));
        for (size_t i = 0; i < size; ++i)
            if (!(i & top)) mix(x[i], x[i ^ mask], stay, move);
    }
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
