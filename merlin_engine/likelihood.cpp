#include "likelihood.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "transition.h"

namespace merlin {

PartModel buildPartModel(const Pedigree& pedigree, const std::vector<int>& partPersons) {
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
    for (int p = 0; p < n; ++p) {
        const int line = pedigree.listedAs[p];
        if (line < 0) continue;
        for (int m : markers)
            if (record.allele(line, m, 0) >= 0) {
                keep[p] = 1;
                break;
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
        models.push_back(buildPartModel(pedigree, persons));
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
    if (alpha_.size() < size) {
        alpha_.resize(size);
        scratch_.resize(size);
    }
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
        double sum = 0.0;
        if (first) {
            emission_.compute(part, g, alpha_.data());
            sum = accurateSum(alpha_.data(), size);
        } else {
            applyTransition(alpha_.data(), part.bits,
                            haldaneTheta(marker.position - previousPosition), part.founderMasks);
            emission_.compute(part, g, scratch_.data());
            double* a = alpha_.data();
            const double* e = scratch_.data();
            for (size_t i = 0; i < size; ++i) a[i] = a[i] * e[i] * inverse;
            sum = accurateSum(a, size);
        }
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
