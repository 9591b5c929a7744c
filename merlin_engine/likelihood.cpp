#include "likelihood.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>

#include "transition.h"

namespace merlin {

namespace {

std::atomic<int> chainModeForTesting{static_cast<int>(ChainMode::Automatic)};

// Parts with fewer bits always take the whole vector: it is small.
constexpr int kSparseMinBits = 8;

// Two untyped founders who have children only with each other, and a child of
// theirs with a child: one meiosis from such a child is fixed (see CoupleSymmetry).
void fixCoupleMeioses(PartModel& part, const std::vector<char>& typed) {
    const int founders = part.founders();
    constexpr int kNone = -2, kSeveral = -1;
    std::vector<int> mate(founders, kNone);
    auto note = [&](int ref, int other) {
        if (ref >= 0) return;
        const int f = -ref - 1;
        const int m = other < 0 ? -other - 1 : kSeveral;
        if (mate[f] == kNone)
            mate[f] = m;
        else if (mate[f] != m)
            mate[f] = kSeveral;
    };
    for (int s = 0; s < part.slots(); ++s) {
        note(part.fatherRef[s], part.motherRef[s]);
        note(part.motherRef[s], part.fatherRef[s]);
    }
    auto childOf = [&](int slot, int a, int b) {
        const int father = -part.fatherRef[slot] - 1, mother = -part.motherRef[slot] - 1;
        return part.fatherRef[slot] < 0 && part.motherRef[slot] < 0 &&
               ((father == a && mother == b) || (father == b && mother == a));
    };
    for (int a = 0; a < founders; ++a) {
        const int b = mate[a];
        if (b <= a || mate[b] != a || typed[part.founderPerson[a]] || typed[part.founderPerson[b]])
            continue;
        for (int g = 0; g < part.slots(); ++g) {
            const int father = part.fatherRef[g], mother = part.motherRef[g];
            if (father >= 0 && childOf(father, a, b)) {
                part.patFree[g] = 0;
            } else if (mother >= 0 && childOf(mother, a, b)) {
                part.matFree[g] = 0;
            } else {
                continue;
            }
            part.couplePairs.push_back({a, b});
            break;
        }
    }
}

}  // namespace

void setChainModeForTesting(ChainMode mode) {
    chainModeForTesting = static_cast<int>(mode);
}

PartModel buildPartModel(const Pedigree& pedigree, const std::vector<int>& partPersons,
                         const std::vector<char>& typed) {
    PartModel part;
    std::vector<int> founderOf(pedigree.size(), -1);
    std::vector<int> slotOf(pedigree.size(), -1);
    for (int p : partPersons) {
        if (pedigree.isFounder(p)) {
            founderOf[p] = part.founders();
            part.founderPerson.push_back(p);
        } else {
            slotOf[p] = part.slots();
            part.slotPerson.push_back(p);
        }
    }
    auto ref = [&](int parent) {
        return slotOf[parent] >= 0 ? slotOf[parent] : -founderOf[parent] - 1;
    };
    std::vector<bool> fixed(part.founders(), false);
    for (int p : part.slotPerson) {
        const int father = ref(pedigree.father[p]);
        const int mother = ref(pedigree.mother[p]);
        part.fatherRef.push_back(father);
        part.motherRef.push_back(mother);
        auto isFree = [&](int parentRef) {
            if (parentRef >= 0) return true;
            const int f = -parentRef - 1;
            if (fixed[f]) return true;
            fixed[f] = true;
            return false;
        };
        part.patFree.push_back(isFree(father));
        part.matFree.push_back(isFree(mother));
    }
    fixCoupleMeioses(part, typed);
    const int slots = part.slots();
    part.bitsAfter.assign(slots + 1, 0);
    for (int s = slots - 1; s >= 0; --s)
        part.bitsAfter[s] = part.bitsAfter[s + 1] + part.freeBits(s);
    part.bits = part.bitsAfter[0];
    return part;
}

void buildFounderMasks(PartModel& part) {
    part.founderMasks.assign(part.founders(), 0);
    for (int s = 0; s < part.slots(); ++s) {
        if (part.patFree[s] && part.fatherRef[s] < 0)
            part.founderMasks[-part.fatherRef[s] - 1] |= std::uint64_t{1} << part.patBit(s);
        if (part.matFree[s] && part.motherRef[s] < 0)
            part.founderMasks[-part.motherRef[s] - 1] |= std::uint64_t{1} << part.matBit(s);
    }
    part.couples.clear();
    for (const std::array<int, 2>& pair : part.couplePairs) {
        const int a = pair[0], b = pair[1];
        auto isCouple = [&](int ref) { return ref == -a - 1 || ref == -b - 1; };
        std::vector<char> child(part.slots(), 0);
        CoupleSymmetry couple;
        for (int s = 0; s < part.slots(); ++s) {
            child[s] = isCouple(part.fatherRef[s]) && isCouple(part.motherRef[s]);
            // The first child's meioses are both fixed, every other child's both free.
            if (child[s] && part.freeBits(s) == 2)
                couple.swapLow |= std::uint64_t{1} << part.matBit(s);
            const int father = part.fatherRef[s], mother = part.motherRef[s];
            if (part.patFree[s] && father >= 0 && child[father])
                couple.flip |= std::uint64_t{1} << part.patBit(s);
            if (part.matFree[s] && mother >= 0 && child[mother])
                couple.flip |= std::uint64_t{1} << part.matBit(s);
        }
        part.couples.push_back(couple);
    }
}

FamilyLikelihood FamilyAnalyser::analyse(const Pedigree& pedigree, const FamilyRecord& record,
                                         const MarkerSet& set, const Chromosome& chromosome,
                                         int maxBits) {
    FamilyLikelihood result;
    result.persons = pedigree.size();
    if (!pedigree.error.empty()) {
        result.skipped = true;
        result.reason = pedigree.error;
        return result;
    }
    pedigree_ = &pedigree;
    record_ = &record;
    set_ = &set;
    const int n = pedigree.size();
    const std::vector<int>& markers = chromosome.markers;

    std::vector<char> keep(n, 0);
    std::vector<char> typed(n, 0);  // some allele known at some marker
    for (int p = 0; p < n; ++p) {
        const int line = pedigree.listedAs[p];
        if (line < 0) continue;
        for (int m : markers) {
            keep[p] |= record.allele(line, m, 0) >= 0;
            typed[p] |= record.allele(line, m, 0) >= 0 || record.allele(line, m, 1) >= 0;
            if (keep[p] && typed[p]) break;
        }
    }
    for (auto it = pedigree.order.rbegin(); it != pedigree.order.rend(); ++it)
        if (keep[*it] && !pedigree.isFounder(*it))
            keep[pedigree.father[*it]] = keep[pedigree.mother[*it]] = 1;

    // Connected parts among the kept persons.
    std::vector<int> root(n);
    std::iota(root.begin(), root.end(), 0);
    auto find = [&](int p) {
        while (root[p] != p) p = root[p] = root[root[p]];
        return p;
    };
    for (int p = 0; p < n; ++p)
        if (keep[p] && !pedigree.isFounder(p)) {
            root[find(pedigree.father[p])] = find(p);
            root[find(pedigree.mother[p])] = find(p);
        }
    std::vector<int> partOfRoot(n, -1);
    std::vector<std::vector<int>> parts;
    for (int p : pedigree.order) {
        if (!keep[p]) continue;
        const int r = find(p);
        if (partOfRoot[r] < 0) {
            partOfRoot[r] = static_cast<int>(parts.size());
            parts.emplace_back();
        }
        parts[partOfRoot[r]].push_back(p);
    }
    std::vector<PartModel> models;
    int largest = 0;
    for (const auto& persons : parts) {
        models.push_back(buildPartModel(pedigree, persons, typed));
        result.meioses += models.back().bits;
        largest = std::max(largest, models.back().bits);
    }
    bool fits = true;  // always so within the bit limit; kept as a guard for the fixed arrays
    for (const PartModel& model : models)
        fits &= 2 * model.founders() <= kMaxNodes && model.slots() <= kMaxSlots;
    if (largest > maxBits || !fits) {
        result.skipped = true;
        result.reason =
            "too many meioses (" + std::to_string(largest) + " > " + std::to_string(maxBits) + ")";
        return result;
    }
    // Only now is every part known to have fewer bits than a mask holds.
    for (PartModel& model : models) buildFounderMasks(model);
    for (size_t k = 0; k < parts.size(); ++k) {
        double lnL = 0.0;
        int failed = -1;
        if (!analysePart(models[k], markers, lnL, failed)) {
            result.skipped = true;
            result.reason = "inconsistent with the pedigree at marker " + set.markers[failed].name;
            if (result.reason.size() > 120) result.reason = result.reason.substr(0, 120) + "...";
            return result;
        }
        result.lnLikelihood += lnL;
    }
    return result;
}

bool FamilyAnalyser::analysePart(const PartModel& part, const std::vector<int>& markers,
                                 double& lnL, int& failedMarker) {
    const Pedigree& pedigree = *pedigree_;
    const FamilyRecord& record = *record_;
    const size_t size = size_t{1} << part.bits;
    auto genotype = [&](int person, int marker, int& a, int& b) {
        const int line = pedigree.listedAs[person];
        a = b = -1;
        if (line < 0) return false;
        a = record.allele(line, marker, 0);
        b = record.allele(line, marker, 1);
        if (a < 0 || b < 0) {
            a = b = -1;
            return false;
        }
        if (a > b) std::swap(a, b);
        return true;
    };
    const auto mode = static_cast<ChainMode>(chainModeForTesting.load());
    const bool tryRuns =
        mode == ChainMode::Sparse || (mode == ChainMode::Automatic && part.bits >= kSparseMinBits);
    // A sparse emission covers at most an eighth of the vectors; past that the whole
    // vector is cheaper to build and multiply.
    const size_t runLimit = mode == ChainMode::Sparse ? size : std::max<size_t>(size >> 3, 1);
    int weightGroups = 1;
    for (const std::uint64_t mask : part.founderMasks) weightGroups += mask != 0;

    // The distribution lives either in the whole vector (alpha) or, after a marker
    // whose emission was sparse, as the list of its non-zero vectors.
    bool dense = false;
    double* alpha = nullptr;
    sparseIndex_.clear();  // nothing may be left from the previous part
    sparseValue_.clear();
    auto makeDense = [&]() {
        if (dense) return;
        alpha = alpha_.get(size);
        std::fill(alpha, alpha + size, 0.0);
        for (size_t k = 0; k < sparseIndex_.size(); ++k) alpha[sparseIndex_[k]] = sparseValue_[k];
        dense = true;
    };
    MarkerGenotypes& g = genotypes_;
    g.founderA.resize(part.founders());
    g.founderB.resize(part.founders());
    g.slotA.resize(part.slots());
    g.slotB.resize(part.slots());
    lnL = 0.0;
    bool first = true;
    double previousPosition = 0.0;
    double inverse = 1.0;
    for (int m : markers) {
        bool any = false;
        for (int f = 0; f < part.founders(); ++f)
            any |= genotype(part.founderPerson[f], m, g.founderA[f], g.founderB[f]);
        for (int s = 0; s < part.slots(); ++s)
            any |= genotype(part.slotPerson[s], m, g.slotA[s], g.slotB[s]);
        if (!any) continue;
        const Marker& marker = set_->markers[m];
        g.frequencies = marker.frequencies.data();
        const double theta = first ? 0.0 : haldaneTheta(marker.position - previousPosition);
        const bool sparse = tryRuns && emission_.computeRuns(part, g, runLimit, runs_);
        if (sparse) {
            targetIndex_.clear();
            targetEmission_.clear();
            for (const EmissionRun& run : runs_)
                for (std::uint64_t i = run.start; i < run.start + run.length; ++i) {
                    targetIndex_.push_back(i);
                    targetEmission_.push_back(run.value);
                }
            const size_t targets = targetIndex_.size();
            targetValue_.resize(targets);
            if (first) {
                targetValue_.assign(targets, 1.0);
            } else if (!dense) {
                // Moving the few vectors directly costs a weight per pair of vectors;
                // the whole vector costs a pass per bit over every vector.
                // Measured: a pair costs about a fifth of a nanosecond per weight group,
                // a vector about two fifths per bit and pass, and a whole vector taken
                // from the system about nine nanoseconds per entry (page faults).
                const double pairCost =
                    static_cast<double>(sparseIndex_.size()) * static_cast<double>(targets) *
                    static_cast<double>(pairs_.sourcesPerVector(part)) * weightGroups * 0.2;
                const double wholeCost = static_cast<double>(size) *
                                         ((part.bits + 4) * 0.4 + (alpha_.size < size ? 9 : 0));
                if (mode == ChainMode::Sparse || pairCost < wholeCost) {
                    pairs_.prepare(part, theta);
                    pairs_.apply(sparseIndex_.data(), sparseValue_.data(), sparseIndex_.size(),
                                 targetIndex_.data(), targets, targetValue_.data());
                } else {
                    makeDense();
                }
            }
            if (dense) {
                applyPartTransition(alpha, part, theta);
                for (size_t k = 0; k < targets; ++k) targetValue_[k] = alpha[targetIndex_[k]];
            }
            sparseIndex_.clear();
            sparseValue_.clear();
            for (size_t k = 0; k < targets; ++k) {
                const double v = targetValue_[k] * targetEmission_[k] * inverse;
                if (v == 0.0) continue;
                sparseIndex_.push_back(targetIndex_[k]);
                sparseValue_.push_back(v);
            }
            dense = false;
        } else {
            makeDense();
            if (first) {
                emission_.compute(part, g, alpha);
            } else {
                applyPartTransition(alpha, part, theta);
                double* e = scratch_.get(size);
                emission_.compute(part, g, e);
                double* a = alpha;
                for (size_t i = 0; i < size; ++i) a[i] = a[i] * e[i] * inverse;
            }
        }
        const double sum = dense ? accurateSum(alpha, size)
                                 : accurateSum(sparseValue_.data(), sparseValue_.size());
        if (!(sum > 0.0) || !std::isfinite(sum)) {
            failedMarker = m;
            return false;
        }
        lnL += std::log(sum);
        inverse = 1.0 / sum;
        first = false;
        previousPosition = marker.position;
    }
    lnL -= part.bits * std::log(2.0);
    if (first) lnL = 0.0;
    return true;
}

}  // namespace merlin
