#include "core/core.h"

#include "core/catalogue.h"

namespace relatix {

Core::Core(std::string directory) : programDirectory(std::move(directory)) {}

void Core::resetCore() {
    mainHypothesis = kNoHypothesis;
    alternativeHypotheses.clear();
    genotypeTable.clear();
    clusterDatabase.clusters.clear();
    clusterDatabase.clusterNames.clear();
    persons = {};
    ancestryPersons = {};
    markerMap = {};
    populations = {};
    unlinkedResults.clear();
    merlinResults.clear();
    priors.clear();
    simulatedLinkedLikelihoods.clear();
    simulatedUnlinkedLikelihoods.clear();
    simulatedPedigreeNames.clear();
}

int Core::hypothesisCount() const {
    if (mainHypothesis >= 0 && mainHypothesis < kCatalogueCount)
        return static_cast<int>(alternativeHypotheses.size()) + 1;
    if (mainHypothesis == kCreatedPedigrees) return static_cast<int>(createdPedigrees.size());
    return 1;
}

bool Core::selectMainHypothesis(int catalogueIndex) {
    if (catalogueIndex < 0 || catalogueIndex >= kCatalogueCount) return false;
    const int code = catalogueIndex + 1;
    mainHypothesis = catalogueIndex;
    resizeGenotypeTable(catalogueSize(code));
    clearHypothesisResults();
    removeHypothesisPedigrees(false);
    Pedigree pedigree;
    catalogueRelations(code, pedigree);
    hypothesisPedigrees.push_back(std::move(pedigree));
    genotypeTable.pedigreePersons.clear();
    const std::vector<int> sexes = pedigreeSexesOf(catalogueSize(code));
    for (size_t i = 0; i < sexes.size(); ++i)
        genotypeTable.pedigreePersons.emplace_back("NN" + std::to_string(i + 1), sexes[i] != 2);
    return true;
}

bool Core::addAlternativePedigree(int catalogueCode) {
    if (catalogueCode < 1 || catalogueCode > kCatalogueCount) return false;
    Pedigree pedigree;
    catalogueRelations(catalogueCode, pedigree);
    hypothesisPedigrees.push_back(std::move(pedigree));
    return true;
}

void Core::clearHypothesisResults() {
    alternativeHypotheses.clear();
    unlinkedResults.clear();
    merlinResults.clear();
    priors.clear();
}

void Core::removeHypothesisPedigrees(bool keepFirst) {
    const size_t keep = keepFirst ? 1 : 0;
    while (hypothesisPedigrees.size() > keep) hypothesisPedigrees.pop_back();
}

void Core::initialisePriors() {
    const int n = hypothesisCount();
    if (!priors.empty() && static_cast<int>(priors.size()) == n) return;
    priors.clear();
    if (n > 0) priors.assign(static_cast<size_t>(n), 1.0 / n);
}

void Core::resizeGenotypeTable(int personCount) {
    genotypeTable.resize(personCount);
}

Population* Core::populationAt(int position) {
    if (position < 1 || position > static_cast<int>(populations.size())) return nullptr;
    return &populations[static_cast<size_t>(position - 1)];
}

const Population* Core::populationAt(int position) const {
    if (position < 1 || position > static_cast<int>(populations.size())) return nullptr;
    return &populations[static_cast<size_t>(position - 1)];
}

}  // namespace relatix
