#include "engine/relationship.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/core.h"

namespace relatix {
namespace {

constexpr int kSetupBlock = 512;
constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();

}  // namespace

double CRelationship::dataProbability(int, int, int) const {
    return 0.0;
}

void CRelationship::dataProbabilities(int marker, int first, int count, double* out) const {
    const int patterns = patternCount();
    for (int n = 0; n < count; ++n)
        for (int j = 0; j < patterns; ++j)
            out[static_cast<size_t>(n) * patterns + j] = dataProbability(marker, j, first + n);
}

void CRelationship::patternEmissions(int marker, double* out) const {
    const int patterns = patternCount();
    const FounderSetups& setups = founderSetups[static_cast<size_t>(marker)];
    const int setupCount = setups.size();
    const int slotCount = setups.slotCount();
    std::fill(out, out + patterns, 0.0);
    std::vector<double> block(static_cast<size_t>(std::min(kSetupBlock, setupCount)) *
                              static_cast<size_t>(patterns));
    std::vector<int> slots(static_cast<size_t>(slotCount));
    for (int first = 0; first < setupCount; first += kSetupBlock) {
        const int count = std::min(kSetupBlock, setupCount - first);
        dataProbabilities(marker, first, count, block.data());
        for (int n = 0; n < count; ++n) {
            const double* d = block.data() + static_cast<size_t>(n) * patterns;
            double founders = -1.0;
            for (int j = 0; j < patterns; ++j) {
                if (!(d[j] > threshold)) continue;
                if (founders < 0.0) {
                    setups.decode(first + n, slots.data());
                    founders =
                        founderProbability(marker, slots.data(), slotCount, nullptr, nullptr);
                }
                out[j] += founders * d[j];
            }
        }
    }
}

bool CRelationship::sumFactors(
    int marker, const std::vector<const double*>& tables,
    const std::function<void(int, std::vector<FactorSums::Factor>&)>& factorsOf,
    double* out) const {
    const size_t m = static_cast<size_t>(marker);
    const AlleleTable& frequencies = alleleProbabilities[m];
    // Preparing the sums costs about a pass over the tables' entries: a marker
    // with fewer setups is visited sooner setup by setup.
    const long long alleles = frequencies.columns;
    if (static_cast<long long>(founderSetups[m].size()) * patternCount() <
        alleles * alleles * static_cast<long long>(tables.size()))
        return false;
    FactorSums sums;
    if (!sums.prepare(founderSetups[m], frequencies.row(0, 0), frequencies.columns, tables,
                      threshold, theta))
        return false;
    std::vector<FactorSums::Factor> factors;
    for (int j = 0; j < patternCount(); ++j) {
        factors.clear();
        factorsOf(j, factors);
        out[j] = sums.sum(factors);
    }
    return true;
}

const double* CRelationship::throughFather(int marker, int grandparentSex, int allele) const {
    const size_t m = static_cast<size_t>(marker);
    const int side = grandparentSex == 2 ? 0 : 1;
    std::vector<MutationMatrix>& matrices = throughFather_[side];
    std::vector<std::vector<char>>& built = throughFatherBuilt_[side];
    const MutationMatrix& male = maleMutationMatrices[m];
    if (matrices.size() <= m) {
        matrices.resize(maleMutationMatrices.size());
        built.resize(maleMutationMatrices.size());
    }
    if (matrices[m].size() != male.size()) {
        matrices[m] = MutationMatrix(male.size());
        built[m].assign(static_cast<size_t>(male.size()), 0);
    }
    MutationMatrix& matrix = matrices[m];
    if (!built[m][static_cast<size_t>(allele)]) {
        chainedTransmissionRow(side == 0 ? femaleMutationMatrices[m] : male, male, allele,
                               &matrix.at(allele, 0));
        built[m][static_cast<size_t>(allele)] = 1;
    }
    return matrix.row(allele);
}

void CRelationship::listAllPatterns(int meioses) {
    inheritancePatterns.clear();
    const int count = 1 << meioses;
    for (int j = 0; j < count; ++j) {
        std::vector<int> pattern(static_cast<size_t>(meioses));
        for (int u = 0; u < meioses; ++u)
            pattern[static_cast<size_t>(u)] = (j >> (meioses - 1 - u)) & 1;
        inheritancePatterns.push_back(std::move(pattern));
    }
}

void CRelationship::appendMarker(std::vector<int> genotypes, FounderSetups setups,
                                 const std::vector<int>& otherAlleles) {
    for (int g : genotypes)
        if (g < 0) setups = FounderSetups();
    for (int g : otherAlleles)
        if (g < 0) setups = FounderSetups();
    typedGenotypes.push_back(std::move(genotypes));
    founderSetups.push_back(std::move(setups));
}

std::pair<int, int> CRelationship::typedPair(int c, int k, int person) const {
    const ClusterSystem& system =
        core->clusterDatabase.clusters[static_cast<size_t>(c)].systems[static_cast<size_t>(k)];
    auto indexOf = [&system](const std::string& text) {
        for (size_t a = 0; a < system.alleleNames.size(); ++a)
            if (system.alleleNames[a] == text) return static_cast<int>(a);
        return -1;
    };
    const auto& texts = core->genotypeTable.alleleTexts;
    if (static_cast<size_t>(c) >= texts.size() ||
        static_cast<size_t>(k) >= texts[static_cast<size_t>(c)].size())
        return {-1, -1};
    const auto& persons = texts[static_cast<size_t>(c)][static_cast<size_t>(k)];
    if (person < 1 || static_cast<size_t>(person) > persons.size()) return {-1, -1};
    return {indexOf(persons[static_cast<size_t>(person - 1)][0]),
            indexOf(persons[static_cast<size_t>(person - 1)][1])};
}

void CRelationship::forEachSystem(
    const std::function<void(int, int, const ClusterSystem&)>& f) const {
    const auto& clusters = core->clusterDatabase.clusters;
    for (size_t c = 0; c < clusters.size(); ++c)
        for (size_t k = 0; k < clusters[c].systems.size(); ++k)
            f(static_cast<int>(c), static_cast<int>(k), clusters[c].systems[k]);
}

void CRelationship::buildCells() {
    trimSkippedMarkers();
    const int kept = keptMarkerCount();
    markerCells.assign(static_cast<size_t>(kept), MarkerCells{});
    for (auto& marker : markerCells) marker.patterns.resize(static_cast<size_t>(patternCount()));
}

void CRelationship::addCell(PatternCells& cells, int setup, int previous, double value) {
    if (!cells.setups.empty() && cells.setups.back() == setup) {
        cells.cells.back().previousSetups.push_back(previous);
        cells.cells.back().values.push_back(value);
        return;
    }
    cells.setups.push_back(setup);
    cells.cells.push_back(Cell{{previous}, {value}});
}

int CRelationship::findCell(const PatternCells& cells, int setup, int hint) {
    const int n = static_cast<int>(cells.setups.size());
    if (hint >= 0 && hint < n && cells.setups[static_cast<size_t>(hint)] == setup) return hint;
    // The setups are sorted ascending: a binary search finds what a scan from the
    // start, stopping at the first larger setup, would find.
    const auto it = std::lower_bound(cells.setups.begin(), cells.setups.end(), setup);
    if (it == cells.setups.end() || *it != setup) return -1;
    return static_cast<int>(it - cells.setups.begin());
}

double CRelationship::markerTotal(const MarkerCells& cells) {
    double total = 0.0;
    for (const auto& pattern : cells.patterns)
        for (const auto& cell : pattern.cells)
            for (double v : cell.values) total += v;
    return total;
}

double CRelationship::patternTransition(int i, int b, int j) const {
    if (patternCount() == 1) return 1.0;
    const double r = recombinationFractions[static_cast<size_t>(i)];
    const auto& from = inheritancePatterns[static_cast<size_t>(b)];
    const auto& to = inheritancePatterns[static_cast<size_t>(j)];
    double product = 1.0;
    for (size_t u = 0; u < from.size(); ++u) product *= from[u] == to[u] ? 1.0 - r : r;
    return product;
}

double CRelationship::transitionSum(int i, int j, int c, int k, int h) const {
    const size_t ui = static_cast<size_t>(i);
    const Cell& cell =
        markerCells[ui].patterns[static_cast<size_t>(j)].cells[static_cast<size_t>(c)];
    const int a = cell.previousSetups[static_cast<size_t>(k)];
    const bool afterBlock = endsLinkageBlock[ui - 1];
    const bool twoBack = i > 1 && !endsLinkageBlock[ui - 2];
    double sum = 0.0;
    for (int b = 0; b < patternCount(); ++b) {
        const double t = patternTransition(i, b, j);
        double s = 0.0;
        if (afterBlock) {
            const double ps = patternSums[ui - 1][static_cast<size_t>(b)];
            if (ps != 0.0) s = ps * founderProbability(i, h, 0, -1);
        } else {
            const PatternCells& previous = markerCells[ui - 1].patterns[static_cast<size_t>(b)];
            const int position = findCell(previous, a, k);
            if (position >= 0) {
                const Cell& p = previous.cells[static_cast<size_t>(position)];
                if (twoBack) {
                    for (size_t e = 0; e < p.values.size(); ++e)
                        if (p.values[e] != 0.0)
                            s += p.values[e] * founderProbability(i, h, a, p.previousSetups[e]);
                } else if (!p.values.empty() && p.values[0] != 0.0) {
                    s = p.values[0] * founderProbability(i, h, a, -1);
                }
            }
        }
        sum += s * t;
    }
    return sum;
}

double CRelationship::addWithinClusterCells(int i, int j, int h, double p) {
    PatternCells& cells = markerCells[static_cast<size_t>(i)].patterns[static_cast<size_t>(j)];
    for (int w : weightedSetups_[static_cast<size_t>(i - 1)]) addCell(cells, h, w, 0.0);
    const int c = static_cast<int>(cells.cells.size()) - 1;
    Cell& cell = cells.cells.back();
    double written = 0.0;
    for (size_t k = 0; k < cell.values.size(); ++k) {
        cell.values[k] = transitionSum(i, j, c, static_cast<int>(k), h) * p;
        written += cell.values[k];
    }
    return written;
}

// Builds and evaluates the cells of kept marker i and returns the marker's
// total. Values of the previous marker are scaled to sum to 1, so the total is
// the likelihood of marker i given the markers before it on the chromosome; the
// values of marker i are scaled in turn before the next marker reads them.
double CRelationship::evaluateMarker(int i) {
    const size_t ui = static_cast<size_t>(i);
    const int patterns = patternCount();
    const FounderSetups& setups = founderSetups[ui];
    const int setupCount = setups.size();
    const int slotCount = setups.slotCount();
    const bool chainStart = i == 0 || chromosomeNumbers[ui] != chromosomeNumbers[ui - 1];
    const bool afterBlock = !chainStart && endsLinkageBlock[ui - 1];
    const bool withinCluster = !chainStart && !afterBlock;
    const bool predecessorWeighted = i == 0 || firstWeightedSetup_[ui - 1] >= 0;
    const bool continued = !endsLinkageBlock[ui];
    const bool store = storeAllCells || continued || withinCluster;
    const int previousSetup = i == 0 ? 0 : std::max(firstWeightedSetup_[ui - 1], 0);

    MarkerCells& marker = markerCells[ui];
    marker.patterns.assign(static_cast<size_t>(patterns), PatternCells{});
    std::vector<double>& sums = patternSums[ui];
    sums.assign(static_cast<size_t>(patterns), 0.0);

    // Into each pattern j after a block: the previous marker's pattern sums
    // carried over by the pattern transition.
    std::vector<double> carried(static_cast<size_t>(patterns), 0.0);
    if (afterBlock) {
        for (int j = 0; j < patterns; ++j)
            for (int b = 0; b < patterns; ++b) {
                const double ps = patternSums[ui - 1][static_cast<size_t>(b)];
                if (ps != 0.0) carried[static_cast<size_t>(j)] += ps * patternTransition(i, b, j);
            }
    }

    std::vector<double> block(static_cast<size_t>(std::min(kSetupBlock, setupCount)) *
                              static_cast<size_t>(patterns));
    std::vector<int> slots(static_cast<size_t>(slotCount));
    double total = 0.0;
    for (int first = 0; first < setupCount; first += kSetupBlock) {
        const int count = std::min(kSetupBlock, setupCount - first);
        dataProbabilities(i, first, count, block.data());
        for (int n = 0; n < count; ++n) {
            const int h = first + n;
            const double* d = block.data() + static_cast<size_t>(n) * patterns;
            if (firstWeightedSetup_[ui] < 0 || continued) {
                double rowSum = 0.0;
                for (int j = 0; j < patterns; ++j) rowSum += d[j];
                if (rowSum > threshold) {
                    if (firstWeightedSetup_[ui] < 0) firstWeightedSetup_[ui] = h;
                    if (continued) weightedSetups_[ui].push_back(h);
                }
            }
            if (!predecessorWeighted) continue;
            double founders = -1.0;
            for (int j = 0; j < patterns; ++j) {
                const double p = d[j];
                if (!(p > threshold)) continue;
                double value = 0.0;
                if (withinCluster) {
                    value = addWithinClusterCells(i, j, h, p);
                } else {
                    if (founders < 0.0) {
                        setups.decode(h, slots.data());
                        founders = founderProbability(i, slots.data(), slotCount, nullptr, nullptr);
                    }
                    value = chainStart ? p / patterns * founders
                                       : carried[static_cast<size_t>(j)] * founders * p;
                    if (store)
                        addCell(marker.patterns[static_cast<size_t>(j)], h, previousSetup, value);
                }
                if (!continued) sums[static_cast<size_t>(j)] += value;
                total += value;
            }
        }
    }

    if (total > 0.0) {
        for (double& s : sums) s /= total;
        for (auto& pattern : marker.patterns)
            for (auto& cell : pattern.cells)
                for (double& v : cell.values) v /= total;
    }
    return total;
}

// Every marker ends its block here, so a setup carries nothing to the next
// marker and the cells need not be formed: the value of pattern j is the
// carried sum times the pattern emission. The previous marker's weighted setups
// need no test either: a marker without them has the total 0, which ends the
// computation before the next marker is reached.
double CRelationship::evaluatePatterns(int i) {
    const size_t ui = static_cast<size_t>(i);
    const int patterns = patternCount();
    const bool chainStart = i == 0 || chromosomeNumbers[ui] != chromosomeNumbers[ui - 1];
    std::vector<double> emissions(static_cast<size_t>(patterns), 0.0);
    if (founderSetups[ui].size() > 0) patternEmissions(i, emissions.data());
    std::vector<double>& sums = patternSums[ui];
    sums.assign(static_cast<size_t>(patterns), 0.0);
    double total = 0.0;
    for (int j = 0; j < patterns; ++j) {
        const size_t uj = static_cast<size_t>(j);
        if (emissions[uj] == 0.0) continue;
        double carried = 0.0;
        if (chainStart) {
            carried = 1.0 / patterns;
        } else {
            for (int b = 0; b < patterns; ++b) {
                const double ps = patternSums[ui - 1][static_cast<size_t>(b)];
                if (ps != 0.0) carried += ps * patternTransition(i, b, j);
            }
        }
        sums[uj] = carried * emissions[uj];
        total += sums[uj];
    }
    if (total > 0.0)
        for (double& s : sums) s /= total;
    return total;
}

// The threshold drops combinations of negligible weight. Where it drops every
// combination of a marker (as with mutation rates near 1, when every
// transmission is unlikely), the marker is evaluated again without it: only a
// marker whose data are impossible has the total 0.
double CRelationship::evaluate(int i) {
    const double total = patternsOnly_ ? evaluatePatterns(i) : evaluateMarker(i);
    if (total > 0.0 || !(threshold > 0.0)) return total;
    const double kept = threshold;
    threshold = 0.0;
    firstWeightedSetup_[static_cast<size_t>(i)] = -1;
    weightedSetups_[static_cast<size_t>(i)].clear();
    const double exact = patternsOnly_ ? evaluatePatterns(i) : evaluateMarker(i);
    threshold = kept;
    return exact;
}

double CRelationship::computeLikelihood() {
    const int kept = keptMarkerCount();
    patternsOnly_ = !storeAllCells && std::all_of(endsLinkageBlock.begin(), endsLinkageBlock.end(),
                                                  [](bool ends) { return ends; });
    patternSums.assign(static_cast<size_t>(kept), {});
    firstWeightedSetup_.assign(static_cast<size_t>(kept), -1);
    weightedSetups_.assign(static_cast<size_t>(kept), {});
    if (markerCells.size() != static_cast<size_t>(kept))
        markerCells.assign(static_cast<size_t>(kept), MarkerCells{});

    // completed: the log-likelihood of the chromosomes before the current one;
    // chain: the log-likelihood of the current chromosome up to marker i. A
    // chromosome whose likelihood is 0 makes the whole likelihood 0, whatever
    // its place in the marker order.
    std::vector<double> cumulative(static_cast<size_t>(kept), kMinusInfinity);
    double completed = 0.0;
    double chain = 0.0;
    for (int i = 0; i < kept; ++i) {
        const size_t ui = static_cast<size_t>(i);
        if (i > 0 && chromosomeNumbers[ui] != chromosomeNumbers[ui - 1]) {
            completed += chain;
            chain = 0.0;
        }
        if (completed == kMinusInfinity || chain == kMinusInfinity) break;
        const double total = evaluate(i);
        chain = total > 0.0 ? chain + std::log(total) : kMinusInfinity;
        cumulative[ui] = completed + chain;
        if (i > 0 && !storeAllCells) {
            markerCells[ui - 1] = MarkerCells{};
            weightedSetups_[ui - 1] = {};
        }
    }
    const double result = kept == 0 ? 0.0 : cumulative.back();
    storeMarkerResults(cumulative);
    releaseTables();
    return result;
}

}  // namespace relatix
