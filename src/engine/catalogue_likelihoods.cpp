#include "engine/catalogue_likelihoods.h"

#include "core/core.h"
#include "engine/aunt.h"
#include "engine/component_factories.h"
#include "engine/full_siblings.h"
#include "engine/maternity.h"
#include "engine/single_unrelated.h"
#include "engine/trio.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"

namespace relatix {
namespace {

// Adds one component's per-system values into those of the components before
// it; the systems of skipped clusters keep the value -1.
void addMarkerResults(std::vector<double>& into, const std::vector<double>& more) {
    if (into.empty()) {
        into = more;
        return;
    }
    for (size_t m = 0; m < into.size() && m < more.size(); ++m)
        if (!(into[m] == -1.0 && more[m] == -1.0)) into[m] += more[m];
}

// The per-system values of a hypothesis without a value: 0 for every kept system.
std::vector<double> emptyMarkerResults(const Core& core, const std::vector<bool>& skipClusters) {
    std::vector<double> values;
    const auto& clusters = core.clusterDatabase.clusters;
    for (size_t c = 0; c < clusters.size(); ++c) {
        const bool skipped = c < skipClusters.size() && skipClusters[c];
        values.insert(values.end(), clusters[c].systems.size(), skipped ? -1.0 : 0.0);
    }
    return values;
}

LogLikelihood computeCode(const Core& core, const std::vector<bool>& skipClusters, int code,
                          std::vector<double>& markerResults) {
    markerResults.clear();
    if (!codeComputable(code)) {
        markerResults = emptyMarkerResults(core, skipClusters);
        return LogLikelihood::missing("the exact engine has no model for this relationship");
    }
    double sum = 0.0;
    for (const ExactComponent& component : exactComponents(code)) {
        std::unique_ptr<CTableSetup> relationship = createComponent(component, core);
        prepareRelationship(core, skipClusters, code - 1, *relationship);
        sum += relationship->computeLikelihood();
        addMarkerResults(markerResults, relationship->markerResults);
    }
    return sum;
}

}  // namespace

int personAt(const ExactComponent& component, size_t position) {
    return position < component.persons.size() ? component.persons[position]
                                               : static_cast<int>(position) + 1;
}

std::unique_ptr<CTableSetup> createComponent(const ExactComponent& component, const Core& core) {
    using C = ComponentClass;
    switch (component.componentClass) {
        case C::SingleUnrelated: return std::make_unique<CSingleUnrelated>(personAt(component, 0));
        case C::Maternity:
            return std::make_unique<CMaternity>(personAt(component, 0), personAt(component, 1));
        case C::Trio: return std::make_unique<CTrio>(core);
        case C::FullSiblings:
            return std::make_unique<CFullSiblings>(personAt(component, 0), personAt(component, 1));
        case C::Aunt:
            return std::make_unique<CAunt>(personAt(component, 0), personAt(component, 1));
        default: break;
    }
    if (auto sibling = createSiblingComponent(component, core)) return sibling;
    return createDescentComponent(component, core);
}

bool codeComputable(int code) {
    const auto components = exactComponents(code);
    if (components.empty()) return false;
    const Core probe;
    for (const auto& component : components)
        if (!createComponent(component, probe)) return false;
    return true;
}

void prepareRelationship(const Core& core, const std::vector<bool>& skipClusters,
                         int catalogueIndex, CTableSetup& relationship) {
    relationship.core = &core;
    if (auto* r = dynamic_cast<CRelationship*>(&relationship)) {
        const auto& settings = core.pedigreeSettings;
        const size_t index = static_cast<size_t>(catalogueIndex);
        if (catalogueIndex >= 0 && index < settings.threshold.size()) {
            r->threshold = settings.threshold[index];
            r->steps = settings.steps[index];
        }
        r->catalogueIndex = catalogueIndex;
    }
    relationship.clusterSkipped = skipClusters;
    relationship.copySexes();
    relationship.buildMarkerTables();
    relationship.buildAlleleProbabilities();
    relationship.setupGenotypes();
    relationship.buildMutationMatrices();
    relationship.setupInheritancePatterns();
    relationship.buildCells();
    relationship.printSetups();
}

ExactLikelihoods computeExactLikelihoods(const Core& core, const std::vector<bool>& skipClusters,
                                         UserInterface* progress) {
    TraceFile trace("computeLikelihoods", true);
    trace << "Length of skipClusters: " << skipClusters.size() << "\r\n";

    std::vector<int> codes;
    if (core.mainHypothesis >= 0 && core.mainHypothesis < kCatalogueCount) {
        const int main = core.mainHypothesis + 1;
        codes.push_back(main);
        const std::vector<int> alternatives = catalogueAlternatives(main);
        for (int position : core.alternativeHypotheses)
            codes.push_back(position >= 0 && static_cast<size_t>(position) < alternatives.size()
                                ? alternatives[static_cast<size_t>(position)]
                                : 0);
    }

    if (progress)
        progress->progressOpen("Computing likelihoods", 0, static_cast<int>(codes.size()) + 1,
                               "Starting computations");
    trace << "Starting computations...\r\n";
    ExactLikelihoods results;
    for (int code : codes) {
        if (progress) progress->progressSetText(catalogueName(code, NameSeparator::LineBreak));
        trace << "Trimming data...\r\n"
              << "Hypothesis is " << code << "\r\n";
        std::vector<double> markerResults;
        results.values.push_back(computeCode(core, skipClusters, code, markerResults));
        results.markerResults.push_back(std::move(markerResults));
        if (progress) progress->progressStep();
    }
    if (progress) progress->progressClose();
    return results;
}

}  // namespace relatix
