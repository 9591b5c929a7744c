#include "simulation.h"

#include <algorithm>
#include <vector>

#include "transition.h"

namespace merlin {

namespace {

std::uint64_t splitmix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

// Draws an allele index by the marker's frequencies, or -1 when it has none.
int drawAllele(const std::vector<double>& cumulative, Random& random) {
    if (cumulative.empty() || !(cumulative.back() > 0.0)) return -1;
    const double u = random.uniform() * cumulative.back();
    const auto it = std::upper_bound(cumulative.begin(), cumulative.end(), u);
    return static_cast<int>(
        std::min<std::ptrdiff_t>(it - cumulative.begin(), cumulative.size() - 1));
}

}  // namespace

Random::Random(std::uint64_t seed) {
    for (auto& word : s_) word = splitmix(seed);
}

std::uint64_t Random::next() {
    const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
}

double Random::uniform() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

void simulateFamily(const Pedigree& pedigree, FamilyRecord& record, const MarkerSet& set,
                    std::uint64_t seed) {
    const int markerCount = record.markerCount;
    if (!pedigree.error.empty()) {
        std::fill(record.alleles.begin(), record.alleles.end(), -1);
        return;
    }
    std::uint64_t mixed = seed;
    Random random(splitmix(mixed) ^
                  (static_cast<std::uint64_t>(record.ordinal) * 0xd1b54a32d192ed03ULL));
    // Linked groups: the analysed chromosomes in map order; every other marker alone.
    std::vector<std::vector<int>> groups;
    std::vector<bool> grouped(markerCount, false);
    for (const Chromosome& chromosome : set.chromosomes) {
        groups.push_back(chromosome.markers);
        for (int m : chromosome.markers) grouped[m] = true;
    }
    for (int m = 0; m < markerCount; ++m)
        if (!grouped[m]) groups.push_back({m});

    const int n = pedigree.size();
    std::vector<int> alleles;
    for (const auto& group : groups) {
        const size_t k = group.size();
        alleles.assign(static_cast<size_t>(n) * k * 2, -1);
        auto at = [&](int person, size_t marker, int side) -> int& {
            return alleles[(static_cast<size_t>(person) * k + marker) * 2 + side];
        };
        for (int p : pedigree.order) {
            if (pedigree.isFounder(p)) {
                for (size_t i = 0; i < k; ++i)
                    for (int side = 0; side < 2; ++side)
                        at(p, i, side) = drawAllele(set.markers[group[i]].cumulative, random);
                continue;
            }
            const int parents[2] = {pedigree.father[p], pedigree.mother[p]};
            for (int side = 0; side < 2; ++side) {
                int origin = static_cast<int>(random.next() >> 63);
                for (size_t i = 0; i < k; ++i) {
                    if (i > 0) {
                        const double theta = haldaneTheta(set.markers[group[i]].position -
                                                          set.markers[group[i - 1]].position);
                        if (random.uniform() < theta) origin ^= 1;
                    }
                    at(p, i, side) = at(parents[side], i, origin);
                }
            }
        }
        for (int p = 0; p < n; ++p) {
            const int line = pedigree.listedAs[p];
            if (line < 0) continue;
            for (size_t i = 0; i < k; ++i) {
                const size_t slot = (static_cast<size_t>(line) * markerCount + group[i]) * 2;
                if (record.alleles[slot] < 0) continue;
                const int a = at(p, i, 0);
                const int b = at(p, i, 1);
                record.alleles[slot] = a < 0 || b < 0 ? -1 : a;
                record.alleles[slot + 1] = a < 0 || b < 0 ? -1 : b;
            }
        }
    }
}

void writeReplicateLines(const FamilyRecord& record, const MarkerSet& set, std::ostream& out) {
    std::string line;
    for (size_t p = 0; p < record.persons.size(); ++p) {
        const PersonLine& person = record.persons[p];
        line = person.family + ' ' + person.id + ' ' + person.father + ' ' + person.mother + ' ' +
               person.sexText;
        for (int m = 0; m < record.markerCount; ++m) {
            const int a = record.allele(static_cast<int>(p), m, 0);
            const int b = record.allele(static_cast<int>(p), m, 1);
            line += ' ';
            if (a < 0 || b < 0) {
                line += "0/0";
            } else {
                line += set.markers[m].labels[a];
                line += '/';
                line += set.markers[m].labels[b];
            }
        }
        line += '\n';
        out << line;
    }
}

}  // namespace merlin
