// Small hand-made cases for the exact engine tests: a Core whose cluster
// database and genotype table are filled directly, one cluster per marker
// unless a system is added to the last cluster.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "engine/catalogue_likelihoods.h"
#include "engine/relationship.h"
#include "support/exact_engine_support.h"
#include "support/scripted_user_interface.h"

namespace relatix::testing {

struct MutationSpec {
    int model = 1;
    double rate = 0.0;
    double range = 0.0;
    double rate2 = 0.0;
};

class EngineCase {
public:
    explicit EngineCase(std::vector<int> sexCodes) {
        core.genotypeTable.personCount = static_cast<int>(sexCodes.size());
        core.genotypeTable.sexCodes = std::move(sexCodes);
    }

    // Appends a cluster of one system on a chromosome of the marker map (1-based).
    int addMarker(int chromosome, double position, const std::vector<double>& frequencies,
                  MutationSpec female = {}, MutationSpec male = {},
                  std::vector<std::string> names = {}) {
        Cluster cluster;
        cluster.chromosome = chromosome - 1;
        cluster.systems.push_back(system(position, frequencies, female, male, std::move(names)));
        core.clusterDatabase.clusters.push_back(cluster);
        core.clusterDatabase.clusterNames.push_back("M" + std::to_string(clusterCount()));
        core.genotypeTable.systemsPerCluster.push_back(1);
        core.genotypeTable.alleleTexts.push_back({unknownTexts()});
        return clusterCount() - 1;
    }
    // Appends a further linked system to the last cluster.
    void addSystemToLastCluster(double position, const std::vector<double>& frequencies) {
        core.clusterDatabase.clusters.back().systems.push_back(
            system(position, frequencies, {}, {}, {}));
        ++core.genotypeTable.systemsPerCluster.back();
        core.genotypeTable.alleleTexts.back().push_back(unknownTexts());
    }
    // Allele names default to "1", "2", ...; genotypes are given as those names.
    void genotype(int person, int cluster, const std::string& a1, const std::string& a2,
                  int system = 0) {
        core.genotypeTable.alleleTexts[static_cast<size_t>(cluster)][static_cast<size_t>(system)]
                                      [static_cast<size_t>(person - 1)] = {a1, a2};
    }
    // Threshold 0 and unlimited steps: nothing is pruned.
    void exactSettings() {
        core.pedigreeSettings.threshold.assign(26, 0.0);
        core.pedigreeSettings.steps.assign(26, 1000);
    }
    int clusterCount() const { return static_cast<int>(core.clusterDatabase.clusters.size()); }

    // The log-likelihoods of a main code and the given alternative codes.
    std::vector<double> compute(int mainCode, const std::vector<int>& alternativeCodes = {},
                                std::vector<bool> skip = {}) {
        core.mainHypothesis = mainCode - 1;
        core.alternativeHypotheses.clear();
        const auto offered = catalogueAlternatives(mainCode);
        for (int code : alternativeCodes)
            for (size_t p = 0; p < offered.size(); ++p)
                if (offered[p] == code) core.alternativeHypotheses.push_back(static_cast<int>(p));
        if (skip.empty()) skip.assign(static_cast<size_t>(clusterCount()), false);
        ScriptedUserInterface ui;
        testing::computeCatalogueLikelihoods(core, skip, false, ui);
        std::vector<double> values;
        for (const LogLikelihood& value : core.exactResults) values.push_back(value.value_or(0.0));
        return values;
    }
    double likelihood(int code) { return compute(code).at(0); }

    Core core;

private:
    ClusterSystem system(double position, const std::vector<double>& frequencies,
                         MutationSpec female, MutationSpec male, std::vector<std::string> names) {
        ClusterSystem s;
        s.position = position;
        s.frequencies = frequencies;
        for (size_t a = 0; a < frequencies.size(); ++a)
            s.alleleNames.push_back(a < names.size() ? names[a] : std::to_string(a + 1));
        s.mutation[0] = {female.model, female.rate, female.range, female.rate2};
        s.mutation[1] = {male.model, male.rate, male.range, male.rate2};
        return s;
    }
    std::vector<GenotypeTable::TextSlots> unknownTexts() const {
        return std::vector<GenotypeTable::TextSlots>(
            static_cast<size_t>(core.genotypeTable.personCount),
            GenotypeTable::TextSlots{kUnknownAllele, kUnknownAllele});
    }
};

// Haldane's recombination fraction for a distance in cM.
inline double haldane(double cm) {
    return 0.5 * (1.0 - std::exp(-2.0 * cm / 100.0));
}

}  // namespace relatix::testing
