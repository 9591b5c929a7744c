#include "dialogs/results_presenter.h"

#include "core/catalogue.h"
#include "core/core.h"
#include "core/decimal_text.h"
#include "core/hypothesis_labels.h"
#include "dialogs/save_results_presenter.h"
#include "dialogs/simulate_data_presenter.h"
#include "dialogs/view_data_presenter.h"
#include "linkage/calculation_workflow.h"
#include "linkage/core_update.h"
#include "linkage/likelihood_ratios.h"
#include "platform/user_interface.h"

namespace relatix {

namespace {

std::string general(double value) {
    return formatGeneral(value, 6);
}

// "%.4f" cut after the third decimal, without further rounding.
std::string threeDecimals(double value) {
    std::string text = formatFixed(value, 4);
    const auto point = text.find('.');
    if (point != std::string::npos && text.size() == point + 5) text.pop_back();
    return text;
}

std::optional<double> at(const std::vector<std::optional<double>>& values, int row) {
    return row >= 1 && row <= static_cast<int>(values.size()) ? values[static_cast<size_t>(row - 1)]
                                                              : std::nullopt;
}

std::string shown(const std::optional<double>& value) {
    return value ? general(*value) : "NA";
}

}  // namespace

void ResultsPresenter::attach(Core& core) {
    core_ = &core;
    calculated_ = false;
    showRatios_ = true;
    selectedRow_ = 0;
    refresh();
}

void ResultsPresenter::refresh() {
    rows_.clear();
    if (!core_) return;
    Core& core = *core_;
    const int n = core.hypothesisCount();
    const bool exactColumn = core.mainHypothesis != kCreatedPedigrees;
    std::vector<std::optional<double>> exact, unlinked, merlin, wExact, wUnlinked, wMerlin;
    if (calculated_) {
        exact = likelihoodRatios(core.exactResults, referenceRow_);
        unlinked = likelihoodRatios(core.unlinkedResults, referenceRow_);
        merlin = likelihoodRatios(core.merlinResults, referenceRow_);
        core.unlinkedRatios = unlinked;
        wExact = posteriorProbabilities(core.exactResults, core.priors);
        wUnlinked = posteriorProbabilities(core.unlinkedResults, core.priors);
        wMerlin = posteriorProbabilities(core.merlinResults, core.priors);
    }
    for (int row = 1; row <= n; ++row) {
        std::string text = hypothesisLabel(core, row);
        if (calculated_) {
            if (showRatios_ && row == referenceRow_) {
                text += "\nScale";
            } else if (showRatios_) {
                if (exactColumn)
                    text += "\nLR (Exact): " + shown(at(exact, row));
                else
                    text += row == 1 ? "\nLR (Exact): N/A" : "\nN/A";
                if (engineResultsAvailable_) {
                    text += "\nLR (Unlinked): " + shown(at(unlinked, row));
                    text += "\nLR (Merlin): " + shown(at(merlin, row));
                } else {
                    text += "\nLR (Unlinked): NA\nLR (Merlin): NA";
                }
            } else {
                auto format = [row](const std::optional<double>& w) {
                    if (!w) return std::string("NA");
                    return row == 1 ? threeDecimals(*w) : general(*w);
                };
                text += exactColumn ? "\nW (Exact): " + format(at(wExact, row)) : "\nN/A";
                if (engineResultsAvailable_) {
                    text += "\nW (Unlinked): " + format(at(wUnlinked, row));
                    text += "\nW (Merlin): " + format(at(wMerlin, row));
                } else {
                    text += "\nW (Unlinked): NA\nW (Merlin): NA";
                }
            }
            if (core.mutationsOff) text += "\nMutations turned off";
        }
        rows_.push_back(std::move(text));
    }
}

void ResultsPresenter::calculate() {
    if (!core_) return;
    const CalculationOutcome outcome = runCalculation(*core_, ui_, beforeCalculation_);
    if (outcome.status == CalculationStatus::NoUsableMarker) {
        // The refusal was shown; no earlier values stay in view as if they were this case's.
        calculated_ = false;
        engineResultsAvailable_ = false;
        unusedMarkersText_.clear();
        refresh();
        return;
    }
    if (outcome.status != CalculationStatus::Calculated) return;
    engineResultsAvailable_ = outcome.engineResultsAvailable;
    calculated_ = true;
    unusedMarkersText_.clear();
    for (const UnusedMarker& marker : unusedMarkers(*core_, core_->markerSkipped))
        unusedMarkersText_ += marker.marker + ": " + marker.reason + "\n";
    for (const std::string& notice : newAlleleNotices(*core_)) unusedMarkersText_ += notice + "\n";
    refresh();
    selectedRow_ = rows_.empty() ? 0 : 1;
}

void ResultsPresenter::toggleRatiosAndPosteriors() {
    showRatios_ = !showRatios_;
    refresh();
}

void ResultsPresenter::setPrior() {
    if (!core_) return;
    if (!priorEditor_) {
        ui_.messageBox("\"Set prior\" is not available in this version.", "Notification",
                       MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    priorEditor_(*core_, ui_, selectedRow_);
    refresh();
}

void ResultsPresenter::scale() {
    if (!core_ || selectedRow_ < 1 || !calculated_) return;
    if (core_->hypothesisCount() <= 1 || selectedRow_ == referenceRow_) return;
    referenceRow_ = selectedRow_;
    core_->referenceHypothesis = selectedRow_ - 1;
    refresh();
}

void ResultsPresenter::viewResults() {
    if (!core_) return;
    if (!calculated_) {
        ui_.error("Calculate the case first: the per-marker results come from a calculation");
        return;
    }
    ViewDataPresenter view(*core_, ui_, DataViewMode::MarkerRatios, selectedRow_);
    if (!view.table().status) {
        ui_.error(view.table().status.message());
        return;
    }
    ui_.runDialog(view);
}

void ResultsPresenter::saveResults() {
    if (!core_) return;
    SaveResultsPresenter dialog(*core_, ui_, selectedRow_, calculated_, simulated_);
    ui_.runDialog(dialog);
}

void ResultsPresenter::simulate() {
    if (!core_) return;
    if (core_->mainHypothesis == kCreatedPedigrees) {
        ui_.messageBox("Simulation can not be performed using created pedigrees yet",
                       "Notification", MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    updateCore(*core_);
    ui_.messageBox("Simulations have not yet been tested and verified\nUse with caution!",
                   "Notification", MessageButtons::Ok, MessageIcon::Information);
    if (core_->hypothesisCount() >= 3)
        ui_.messageBox("Simulations will only work for the two first pedigrees!", "Notification",
                       MessageButtons::Ok, MessageIcon::Information);
    SimulateDataPresenter dialog(*core_, ui_);
    ui_.runDialog(dialog);
    simulated_ = true;
}

}  // namespace relatix
