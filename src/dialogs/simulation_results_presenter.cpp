#include "dialogs/simulation_results_presenter.h"

#include <cmath>
#include <fstream>

#include "core/core.h"
#include "core/decimal_text.h"
#include "platform/atomic_file.h"
#include "platform/user_interface.h"
#include "simulation/simulated_engine_results.h"
#include "simulation/simulation_statistics.h"

namespace relatix {

SimulationResultsPresenter::SimulationResultsPresenter(Core& core, UserInterface& ui)
    : core_(core), ui_(ui) {
    methods_ =
        core.simulatedPedigreeNames.empty() ? std::vector<int>{0, 1, 2} : std::vector<int>{1, 2};
    const int k = static_cast<int>(scaleOptions().size());
    scale_ = core.referenceHypothesis >= 0 && core.referenceHypothesis < k
                 ? core.referenceHypothesis
                 : 0;
}

std::vector<std::string> SimulationResultsPresenter::columns() {
    return {"True pedigree", "Median", "Average", "P(LR>1000)", "P(LR>10000)", "P(LR>100000)"};
}

std::vector<std::string> SimulationResultsPresenter::methodOptions() const {
    static const char* const names[] = {"1. Exact", "2. Merlin", "3. Unlinked"};
    std::vector<std::string> options;
    for (int list : methods_) options.push_back(names[list]);
    return options;
}

std::vector<std::string> SimulationResultsPresenter::scaleOptions() const {
    return simulationHypothesisNames(core_, false);
}

void SimulationResultsPresenter::chooseMethod(int index) {
    if (index < 0 || index >= static_cast<int>(methods_.size())) return;
    method_ = index;
    refresh();
}

void SimulationResultsPresenter::chooseScale(int index) {
    if (index < 0 || index >= static_cast<int>(scaleOptions().size())) return;
    scale_ = index;
    refresh();
}

const SimulatedDataSets& SimulationResultsPresenter::dataSets() const {
    const int list = methods_[static_cast<size_t>(method_)];
    if (list == 1) return core_.simulatedLinkedLikelihoods;
    if (list == 2) return core_.simulatedUnlinkedLikelihoods;
    return core_.simulatedExactLikelihoods;
}

void SimulationResultsPresenter::refresh() {
    rows_.clear();
    const auto& sets = dataSets();
    if (sets.empty()) {
        ui_.error("No simulation results detected. Please redo simulations.");
        return;
    }
    const std::vector<std::string> names = scaleOptions();
    for (int t = 0; t < static_cast<int>(names.size()); ++t) {
        const SimulationStatistics s = simulationStatistics(sets, t, scale_);
        rows_.push_back({names[static_cast<size_t>(t)], formatGeneral(s.median, 2),
                         formatGeneral(s.mean, 2), formatFixed(s.above1000, 6),
                         formatFixed(s.above10000, 6), formatFixed(s.above100000, 6)});
    }
}

std::string SimulationResultsPresenter::ratioExport() const {
    const auto& sets = dataSets();
    const size_t k = sets.empty() ? 0 : sets.front().size();
    const size_t n = k ? sets.size() / k : 0;
    const std::vector<std::string> lineNames = simulationHypothesisNames(core_, true);
    const std::vector<std::string> names = simulationHypothesisNames(core_, false);
    std::string out = "# LRs for the simulated pedigrees\r\n";
    out += "# Pedigree in the denominator (Scale): \r\n";
    out += "# Number of simulations: " + std::to_string(n) + "\r\n";
    out += (lineNames.empty() ? std::string() : lineNames[0]) + "\t" +
           (names.size() < 2 ? std::string() : names[1]) + "\t\r\n";
    const size_t c = static_cast<size_t>(scale_);
    const size_t h = c == 1 ? 0 : 1;
    // A ratio without a value for its scale or numerator is written NA, one whose
    // numerator is impossible 0; never the exponential of a lone log-likelihood.
    auto ratio = [&](const LogLikelihoods& w) -> std::string {
        if (c >= w.size() || h >= w.size() || !w[c] || !w[h] || !std::isfinite(*w[c])) return "NA";
        if (std::isinf(*w[h])) return "0";
        return formatGeneral(std::exp(*w[h] - *w[c]), 6);
    };
    for (size_t s = 0; k >= 2 && s < n; ++s)
        out += ratio(sets[s * k]) + "\t" + ratio(sets[s * k + 1]) + "\r\n";
    return out;
}

void SimulationResultsPresenter::saveRatios() {
    FileDialogRequest request;
    request.initialFileName = "Simulation_LRs";
    request.defaultExtension = ".txt";
    request.filter = "Txt File (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.confirmOverwrite = true;
    const auto path = ui_.saveFileDialog(request);
    if (!path) return;
    // Written whole or not at all: a full disk leaves an earlier file as it was.
    const std::string text = ratioExport();
    const AtomicWriteStatus status =
        writeFileAtomically(*path, [&](std::ostream& out) { out << text; });
    if (status == AtomicWriteStatus::CannotCreate)
        ui_.error("Failed to open file");
    else if (status == AtomicWriteStatus::WriteFailed)
        ui_.error("Error when writing " + *path + ": nothing was written");
}

void SimulationResultsPresenter::exceedance() {
    ui_.messageBox("Not implemented yet.", "Warning", MessageButtons::Ok, MessageIcon::Warning);
}

}  // namespace relatix
