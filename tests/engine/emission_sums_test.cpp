// Where every cluster holds one system the recursion reads one emission per
// pattern and marker, which the relationship classes sum through the factors of
// their data probability; keeping every cell visits every founder setup
// instead. Both must give the same likelihoods, whatever the data, mutation
// models, threshold and theta.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "agreement_support.h"
#include "engine/catalogue_likelihoods.h"
#include "engine/relationship.h"

namespace relatix::testing {
namespace {

struct Variant {
    ClusterMutation female;
    ClusterMutation male;
    double threshold;
    double theta;
    int steps = 1;
};

void applyVariant(Core& core, const Variant& v, int catalogueIndex) {
    for (auto& cluster : core.clusterDatabase.clusters)
        for (auto& system : cluster.systems) {
            system.mutation[0] = v.female;
            system.mutation[1] = v.male;
        }
    core.clusterDatabase.theta = v.theta;
    core.pedigreeSettings.threshold[static_cast<size_t>(catalogueIndex)] = v.threshold;
    core.pedigreeSettings.steps[static_cast<size_t>(catalogueIndex)] = v.steps;
}

double componentLikelihood(const Core& core, const ExactComponent& component, int code,
                           bool storeAllCells, bool& isRelationship) {
    std::unique_ptr<CTableSetup> object = createComponent(component, core);
    auto* relationship = dynamic_cast<CRelationship*>(object.get());
    isRelationship = relationship != nullptr;
    if (!relationship) return 0.0;
    relationship->storeAllCells = storeAllCells;
    prepareRelationship(core, core.markerSkipped, code - 1, *relationship);
    return relationship->computeLikelihood();
}

TEST(EmissionSums, agreeWithEveryCellKept) {
    const Variant variants[] = {
        // Model 1 in both sexes at the default threshold.
        {{1, 0.01, 0.0, 0.0}, {1, 0.004, 0.0, 0.0}, 0.00001, 0.0},
        // Step-wise models, so that many entries are exactly 0, a lower threshold,
        // and untyped founders' pairs of which one allele must have been typed.
        {{3, 0.02, 0.5, 0.001}, {2, 0.05, 0.3, 2.0}, 1e-8, 0.0, 0},
        // A high threshold that cuts through single mutations.
        {{1, 0.05, 0.0, 0.0}, {1, 0.05, 0.0, 0.0}, 0.002, 0.0},
        // Theta: the founder alleles are no longer independent.
        {{1, 0.01, 0.0, 0.0}, {1, 0.01, 0.0, 0.0}, 0.00001, 0.03},
        {{3, 0.02, 0.5, 0.001}, {2, 0.05, 0.3, 2.0}, 1e-8, 0.1, 0},
    };
    int compared = 0;
    for (int code = 1; code <= 26; ++code) {
        // The data of the code's own pedigree, and of the next code with as many
        // persons, which the code may explain only through mutations.
        int other = code % 26 + 1;
        while (catalogueSize(other) != catalogueSize(code)) other = other % 26 + 1;
        for (int drawn : {code, other}) {
            Core core;
            DrawnCaseOptions options;
            options.markers = 8;
            options.minAlleles = 3;
            options.maxAlleles = 7;
            options.seed = 3;
            fillDrawnCase(core, drawn, options);
            core.markerSkipped.assign(core.clusterDatabase.clusters.size(), false);
            for (size_t v = 0; v < std::size(variants); ++v) {
                SCOPED_TRACE("code " + std::to_string(code) + " data of " + std::to_string(drawn) +
                             " variant " + std::to_string(v));
                applyVariant(core, variants[v], code - 1);
                for (const ExactComponent& component : exactComponents(code)) {
                    bool isRelationship = false;
                    const double kept =
                        componentLikelihood(core, component, code, true, isRelationship);
                    if (!isRelationship) continue;
                    const double summed =
                        componentLikelihood(core, component, code, false, isRelationship);
                    if (std::isfinite(kept))
                        EXPECT_NEAR(summed, kept, 1e-12 * std::fabs(kept));
                    else
                        EXPECT_EQ(summed, kept);
                    ++compared;
                }
            }
        }
    }
    // 24 related components over the 26 codes (code 22 has two, codes 5, 15 and 21 none).
    EXPECT_EQ(compared, 2 * 5 * 24);
}

}  // namespace
}  // namespace relatix::testing
