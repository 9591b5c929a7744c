#include "engine/catalogue_likelihoods.h"
#include "engine/component_factories.h"

#include "core/core.h"
#include "engine/aunt.h"
#include "engine/full_siblings.h"
#include "engine/maternity.h"
#include "engine/single_unrelated.h"
#include "engine/trio.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"

namespace relatix {
namespace {

// Adds the last per-marker vector into the one before it and removes it; the
// systems of skipped clusters keep the value -1.
void mergeLastMarkerResults(Core& core) {
    auto& results = core.exactMarkerResults;
    if (results.size() < 2) return;
    const std::vector<double> last = std::move(results.back());
    results.pop_back();
    auto& into = results.back();
    for (size_t m = 0; m < into.size() && m < last.size(); ++m)
        if (!(into[m] == -1.0 && last[m] == -1.0)) into[m] += last[m];
}

// The per-marker vector of a hypothesis without a value: 0 for every kept system.
void appendEmptyMarkerResults(Core& core) {
    std::vector<double> values;
    const auto& clusters = core.clusterDatabase.clusters;
    for (size_t c = 0; c < clusters.size(); ++c) {
        const bool skipped = c < core.markerSkipped.size() && core.markerSkipped[c];
        values.insert(values.end(), clusters[c].systems.size(), skipped ? -1.0 : 0.0);
    }
    core.exactMarkerResults.push_back(std::move(values));
}

LogLikelihood computeCode(Core& core, int code) {
    if (!codeComputable(code)) {
        appendEmptyMarkerResults(core);
        return LogLikelihood::missing("the exact engine has no model for this relationship");
    }
    double sum = 0.0;
    bool first = true;
    for (const ExactComponent& component : exactComponents(code)) {
        std::unique_ptr<CTableSetup> relationship = createComponent(component, core);
        prepareRelationship(core, code - 1, *relationship);
        sum += relationship->computeLikelihood();
        if (!first) mergeLastMarkerResults(core);
        first = false;
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
        case C::SingleUnrelated:
            return std::make_unique<CSingleUnrelated>(personAt(component, 0));
        case C::Maternity:
            return std::make_unique<CMaternity>(personAt(component, 0), personAt(component, 1));
        case C::Trio:
            return std::make_unique<CTrio>(core);
        case C::FullSiblings:
            return std::make_unique<CFullSiblings>(personAt(component, 0), personAt(component, 1));
        case C::Aunt:
            return std::make_unique<CAunt>(personAt(component, 0), personAt(component, 1));
        default:
            break;
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

void prepareRelationship(Core& core, int catalogueIndex, CTableSetup& relationship) {
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
    relationship.clusterSkipped = core.markerSkipped;
    relationship.copySexes();
    relationship.buildMarkerTables();
    relationship.buildAlleleProbabilities();
    relationship.setupGenotypes();
    relationship.buildMutationMatrices();
    relationship.setupInheritancePatterns();
    relationship.buildCells();
    relationship.printSetups();
}

void computeCatalogueLikelihoods(Core& core, const std::vector<bool>& skipClusters,
                                 bool simulationMode, UserInterface& ui) {
    TraceFile trace("computeLikelihoods", true);
    core.markerSkipped = skipClusters;
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

    if (!simulationMode)
        ui.progressOpen("Computing likelihoods", 0, static_cast<int>(codes.size()) + 1,
                        "Starting computations");
    // A simulation adds data sets of its own and leaves the case's results alone.
    if (!simulationMode) core.exactResults.clear();
    core.exactMarkerResults.clear();
    trace << "Starting computations...\r\n";

    LogLikelihoods values;
    for (int code : codes) {
        if (!simulationMode) ui.progressSetText(catalogueName(code, NameSeparator::LineBreak));
        trace << "Trimming data...\r\n"
              << "Hypothesis is " << code << "\r\n";
        values.push_back(computeCode(core, code));
        if (!simulationMode) ui.progressStep();
    }
    if (simulationMode) {
        // Simulated data sets keep the engines' convention: 0 stands for no value.
        std::vector<double> plain;
        for (const LogLikelihood& value : values) plain.push_back(value.value_or(0.0));
        core.simulatedExactLikelihoods.push_back(std::move(plain));
    } else
        core.exactResults = std::move(values);
    if (!simulationMode) ui.progressClose();
}

}  // namespace relatix
