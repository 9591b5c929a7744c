// The "Results" dialog: calculates the case and shows one row per hypothesis
// with its likelihood ratios against the reference row, or its posteriors.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "dialogs/case_dialog.h"
#include "linkage/calculation_workflow.h"

namespace relatix {

class Core;
class UserInterface;

class ResultsPresenter : public CaseDialog {
public:
    explicit ResultsPresenter(UserInterface& ui) : ui_(ui) {}

    std::string title() const override { return "Results"; }
    void attach(Core& core) override;
    void setScalingHypothesis(int row) override { referenceRow_ = row; }

    // The prior editor opened by "Set prior" with the selected row (1-based, 0 for none).
    using PriorEditor = std::function<void(Core&, UserInterface&, int)>;
    void setPriorEditor(PriorEditor editor) { priorEditor_ = std::move(editor); }
    // What "Calculate" asks before it runs (the application's save offer).
    void setBeforeCalculation(BeforeCalculation before) { beforeCalculation_ = std::move(before); }

    // Buttons.
    void calculate();
    void toggleRatiosAndPosteriors();
    void setPrior();
    void scale();
    // "Simulate": the simulation dialog on the case (not for created pedigrees).
    void simulate();
    // "View results": the per-marker ratios of the selected row (the first
    // hypothesis when none is selected) after a calculation.
    void viewResults();
    // "Save results": the save options dialog on the selected row.
    void saveResults();
    void previous() { closeWith(DialogResult::Back); }
    void close() { closeWith(DialogResult::Closed); }

    // The list: one text per hypothesis, its label followed by lines that each
    // begin with a line feed.
    const std::vector<std::string>& rows() const { return rows_; }
    void selectRow(int row) { selectedRow_ = row; }  // 1-based, 0 = none
    int selectedRow() const { return selectedRow_; }

    bool calculated() const { return calculated_; }
    bool simulated() const { return simulated_; }
    bool showRatios() const { return showRatios_; }
    int referenceRow() const { return referenceRow_; }
    bool engineResultsAvailable() const { return engineResultsAvailable_; }
    // After a calculation, the markers of the map it left out, one line each
    // ("D8S639: not in the active population"); empty when every marker was used.
    const std::string& unusedMarkersText() const { return unusedMarkersText_; }

    void refresh();

private:
    UserInterface& ui_;
    Core* core_ = nullptr;
    PriorEditor priorEditor_;
    BeforeCalculation beforeCalculation_;
    std::vector<std::string> rows_;
    int selectedRow_ = 0;
    bool calculated_ = false;
    bool simulated_ = false;
    bool showRatios_ = true;
    int referenceRow_ = 1;
    bool engineResultsAvailable_ = false;
    std::string unusedMarkersText_;
};

}  // namespace relatix
