// "Select alternative hypotheses": the second step of the case wizard. Offers
// the alternatives the catalogue admits for the main relationship (any number of
// them), or, for created pedigrees, the second created pedigree.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/case_dialog.h"
#include "dialogs/hypothesis_row.h"
#include "platform/user_interface.h"

namespace relatix {

class SelectAlternativeHypothesesPresenter : public CaseDialog {
public:
    explicit SelectAlternativeHypothesesPresenter(UserInterface& ui);

    std::string title() const override { return "Select alternative hypotheses"; }
    // Rebuilds the list and selects the case's current alternatives.
    void attach(Core& core) override;
    void clearResult() override;

    const std::vector<HypothesisRow>& rows() const { return rows_; }
    // Selected rows, 0-based and ascending.
    const std::vector<int>& selectedRows() const { return selected_; }
    void setSelectedRows(std::vector<int> rows);

    // Makes the selection the case's alternatives; false when it holds none (or,
    // for created pedigrees, when there are not exactly two).
    bool apply();

    void next();
    void activateRow(int row);
    void previous();
    void close();
    void displayFullImage();
    // "Create/Edit pedigree": edits created pedigree 2 (created mode only).
    void createEditPedigree();

private:
    void rebuild();
    void selectCurrentAlternatives();
    void finish(DialogResult result);

    UserInterface& ui_;
    Core* core_ = nullptr;
    std::vector<HypothesisRow> rows_;
    std::vector<int> selected_;
};

}  // namespace relatix
