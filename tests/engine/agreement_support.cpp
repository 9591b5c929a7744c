#include "agreement_support.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <random>

#include "core/catalogue.h"
#include "engine/catalogue_likelihoods.h"
#include "linkage/engine_results.h"
#include "linkage/engine_runs.h"
#include "linkage/linkage_data_files.h"
#include "linkage/linkage_ped_file.h"
#include "platform/silent_user_interface.h"
#include "support/exact_engine_support.h"
#include "support/temp_folder.h"

namespace relatix::testing {

namespace fs = std::filesystem;

namespace {

class Draws {
public:
    explicit Draws(unsigned seed) : engine_(seed) {}
    double uniform() { return engine_() / 4294967296.0; }
    int between(int low, int high) {  // inclusive
        return low + static_cast<int>(uniform() * (high - low + 1));
    }
    int index(const std::vector<double>& frequencies) {
        double u = uniform(), sum = 0;
        for (size_t i = 0; i < frequencies.size(); ++i) {
            sum += frequencies[i];
            if (u < sum) return static_cast<int>(i);
        }
        return static_cast<int>(frequencies.size()) - 1;
    }

private:
    std::mt19937 engine_;
};

double haldane(double cM) {
    return 0.5 * (1 - std::exp(-2 * cM / 100));
}

}  // namespace

void fillDrawnCase(Core& core, int code, const DrawnCaseOptions& options) {
    Draws draws(options.seed * 7919u + static_cast<unsigned>(code));
    ClusterDatabase& db = core.clusterDatabase;
    db = ClusterDatabase{};
    std::vector<double> positions;
    std::vector<bool> chromosomeStart;
    for (int m = 0; m < options.markers; ++m) {
        const int chromosome = 1 + m / options.markersPerChromosome;
        const bool first = m % options.markersPerChromosome == 0;
        // Positions in tenths of a cM and frequencies in thousandths: the LINKAGE
        // files carry six significant digits, so both engines see the same numbers.
        const double raw =
            first ? 10.0 * draws.uniform()
                  : positions.back() + options.minSpacingCm +
                        (options.maxSpacingCm - options.minSpacingCm) * draws.uniform();
        const double position = std::round(raw * 10) / 10;
        positions.push_back(position);
        chromosomeStart.push_back(first);
        Cluster cluster;
        cluster.chromosome = chromosome - 1;
        ClusterSystem system;
        system.name = "M" + std::to_string(m + 1);
        system.position = position;
        const int alleles = draws.between(options.minAlleles, options.maxAlleles);
        std::vector<double> weights;
        double sum = 0;
        for (int a = 0; a < alleles; ++a) {
            weights.push_back(0.2 + draws.uniform());
            sum += weights.back();
        }
        int left = 1000;
        for (int a = 0; a < alleles; ++a) {
            const int share =
                a + 1 == alleles
                    ? left
                    : std::max(1, static_cast<int>(weights[static_cast<size_t>(a)] / sum * 1000));
            left -= share;
            system.alleleNames.push_back(std::to_string(8 + a));
            system.frequencies.push_back(share / 1000.0);
        }
        cluster.systems.push_back(system);
        db.clusters.push_back(cluster);
        db.clusterNames.push_back(system.name);
    }

    // Gene dropping through the code's pedigree: persons 1..n typed, the others
    // untyped; a person with one recorded parent has a founder as the other.
    const int typed = catalogueSize(code);
    const std::vector<Relation> relations = catalogueRelationList(code);
    int persons = typed;
    for (const Relation& r : relations) persons = std::max({persons, r.parent, r.child});
    std::vector<std::vector<int>> parents(static_cast<size_t>(persons) + 1);
    for (const Relation& r : relations) parents[static_cast<size_t>(r.child)].push_back(r.parent);
    using Haplotypes = std::array<std::vector<int>, 2>;
    std::vector<Haplotypes> haplotypes(static_cast<size_t>(persons) + 1);
    std::vector<bool> done(static_cast<size_t>(persons) + 1, false);
    auto founderHaplotype = [&] {
        std::vector<int> h;
        for (const Cluster& c : db.clusters) h.push_back(draws.index(c.systems[0].frequencies));
        return h;
    };
    auto transmitted = [&](const Haplotypes& parent) {
        std::vector<int> h;
        int slot = 0;
        for (size_t m = 0; m < db.clusters.size(); ++m) {
            if (chromosomeStart[m])
                slot = draws.uniform() < 0.5 ? 0 : 1;
            else if (draws.uniform() < haldane(positions[m] - positions[m - 1]))
                slot = 1 - slot;
            h.push_back(parent[static_cast<size_t>(slot)][m]);
        }
        return h;
    };
    for (int pass = 0; pass <= persons; ++pass) {
        for (int p = 1; p <= persons; ++p) {
            if (done[static_cast<size_t>(p)]) continue;
            const auto& ps = parents[static_cast<size_t>(p)];
            bool ready = true;
            for (int q : ps) ready = ready && done[static_cast<size_t>(q)];
            if (!ready) continue;
            Haplotypes& h = haplotypes[static_cast<size_t>(p)];
            for (size_t k = 0; k < 2; ++k)
                h[k] = k < ps.size() ? transmitted(haplotypes[static_cast<size_t>(ps[k])])
                                     : founderHaplotype();
            done[static_cast<size_t>(p)] = true;
        }
    }

    core.mainHypothesis = code - 1;
    core.alternativeHypotheses.clear();
    core.hypothesisPedigrees.clear();
    core.addAlternativePedigree(code);
    GenotypeTable& table = core.genotypeTable;
    table = GenotypeTable{};
    for (size_t c = 0; c < db.clusters.size(); ++c) {
        table.addCluster();
        table.addSystem(static_cast<int>(c) + 1);
    }
    table.resize(typed);
    table.sexCodes = catalogueSexes(code);
    for (int p = 1; p <= typed; ++p) {
        for (size_t c = 0; c < db.clusters.size(); ++c) {
            const auto& names = db.clusters[c].systems[0].alleleNames;
            const Haplotypes& h = haplotypes[static_cast<size_t>(p)];
            std::string a = names[static_cast<size_t>(h[0][c])];
            std::string b = names[static_cast<size_t>(h[1][c])];
            if (draws.uniform() < 0.5) std::swap(a, b);
            table.setAlleleText(static_cast<int>(c) + 1, 1, p, 1, a);
            table.setAlleleText(static_cast<int>(c) + 1, 1, p, 2, b);
        }
    }
}

bool linkageEngineAvailable() {
    return fs::exists(fs::path(RELATIX_PROGRAM_FOLDER) / kEngineName);
}

double exactLogLikelihood(Core& core, int) {
    SilentUserInterface ui;
    testing::computeCatalogueLikelihoods(
        core, std::vector<bool>(core.clusterDatabase.clusters.size(), false), false, ui);
    return core.exactResults.empty() ? 0.0 : core.exactResults[0].value_or(0.0);
}

BothEngines computeBothEngines(Core& core, int code) {
    BothEngines both;
    both.exact = exactLogLikelihood(core, code);
    TempFolder folder("agreement");
    const fs::path program = folder.path() / "prog";
    fs::create_directories(program / "temp");
    fs::create_symlink(fs::path(RELATIX_PROGRAM_FOLDER) / kEngineName, program / kEngineName);
    const std::string previous = core.programDirectory;
    core.programDirectory = program.string();
    const std::vector<bool> skip(core.clusterDatabase.clusters.size(), false);
    writeLinkageDataFiles(core, skip);
    writeLinkagePedFile(core, skip);
    runCalculationEngines(core.programDirectory);
    const bool read = readEngineResults(core).ok();
    core.programDirectory = previous;
    const LogLikelihood linked = read && !core.merlinResults.empty()
                                     ? core.merlinResults[0]
                                     : LogLikelihood::missing("not read");
    both.linkage = linked.value_or(0.0);
    both.linkageSkipped = !linked || !std::isfinite(*linked);
    return both;
}

void swapAlleles(Core& core, int person, int cluster) {
    GenotypeTable& table = core.genotypeTable;
    const std::string a = table.alleleText(cluster + 1, 1, person, 1);
    const std::string b = table.alleleText(cluster + 1, 1, person, 2);
    table.setAlleleText(cluster + 1, 1, person, 1, b);
    table.setAlleleText(cluster + 1, 1, person, 2, a);
}

}  // namespace relatix::testing
