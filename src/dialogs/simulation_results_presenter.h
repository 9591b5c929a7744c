// "Simulation results - Likelihood ratios": per true pedigree the median, the
// average and the fractions of simulated likelihood ratios above 1000, 10000 and
// 100000, for a chosen method and scale pedigree; "Save LR" exports the ratios.
#pragma once

#include <string>
#include <vector>

#include "core/log_likelihood.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

class Core;

class SimulationResultsPresenter : public ModalPresenter {
public:
    SimulationResultsPresenter(Core& core, UserInterface& ui);

    std::string title() const override { return "Simulation results - Likelihood ratios"; }

    static std::vector<std::string> columns();
    // One row per true pedigree, one text per column.
    const std::vector<std::vector<std::string>>& rows() const { return rows_; }

    // "Method": "1. Exact", "2. Merlin", "3. Unlinked"; only the two linkage
    // methods when the lists come from a run on the user's own linkage files.
    std::vector<std::string> methodOptions() const;
    int method() const { return method_; }
    void chooseMethod(int index);
    // "Scaled versus": the hypothesis names; 0-based choice.
    std::vector<std::string> scaleOptions() const;
    int scale() const { return scale_; }
    void chooseScale(int index);

    // refreshSimulationResults.
    void refresh();
    // "Save LR" (saveSimulatedRatios).
    void saveRatios();
    // "Exceedance".
    void exceedance();
    void close() { closeWith(DialogResult::Closed); }

    // The data sets of the chosen method.
    const SimulatedDataSets& dataSets() const;
    // The text of the "Save LR" file for the chosen method and scale.
    std::string ratioExport() const;

private:
    Core& core_;
    UserInterface& ui_;
    // The lists the method choices stand for: 0 exact, 1 genetic map, 2 unlinked.
    std::vector<int> methods_;
    int method_ = 0;
    int scale_ = 0;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace relatix
