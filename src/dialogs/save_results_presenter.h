// "Save results": the likelihood ratio of one hypothesis as a bare number, the
// case report, the simulation report, or the per-marker ratios as a table.
#pragma once

#include <string>
#include <vector>

#include "dialogs/modal_presenter.h"

namespace relatix {

class Core;

class SaveResultsPresenter : public ModalPresenter {
public:
    // selectedRow: the results list's selected row, 1-based, 0 for none;
    // calculated / simulated: what the results dialog has done so far.
    SaveResultsPresenter(const Core& core, UserInterface& ui, int selectedRow, bool calculated,
                         bool simulated);

    std::string title() const override { return "Save results"; }

    // A first entry that chooses nothing, then the four ways to save.
    static const std::vector<std::string>& options();
    int option() const { return option_; }
    void selectOption(int index) { option_ = index; }

    // Saves as chosen and closes; a refusal, a cancelled file dialog or a file
    // that could not be written leaves the dialog open.
    void save();
    void close() { closeWith(DialogResult::Closed); }

private:
    const Core& core_;
    UserInterface& ui_;
    int selectedRow_;
    bool calculated_;
    bool simulated_;
    int option_ = 0;
};

}  // namespace relatix
