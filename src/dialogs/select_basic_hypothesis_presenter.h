// "Select basic hypothesis (Only one pedigree)": the first step of the case
// wizard. Lists the 26 catalogue relationships and, once the user has drawn
// pedigrees, the first created pedigree; applying a choice makes it the case's
// main hypothesis.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/case_dialog.h"
#include "dialogs/hypothesis_row.h"
#include "platform/user_interface.h"

namespace relatix {

class SelectBasicHypothesisPresenter : public CaseDialog {
public:
    explicit SelectBasicHypothesisPresenter(UserInterface& ui);

    std::string title() const override { return "Select basic hypothesis (Only one pedigree)"; }
    // Rebuilds the list and selects the case's current choice.
    void attach(Core& core) override;
    void clearResult() override;

    const std::vector<HypothesisRow>& rows() const { return rows_; }
    // 0-based row, -1 for none.
    int selectedRow() const { return selected_; }
    void selectRow(int row);

    // "Next ->": needs a selected row; applies it and closes towards the next step.
    void next();
    // A double-click on a row acts like "Next ->".
    void activateRow(int row);
    // "Close": applies the choice (or the lack of one) and closes.
    void close();
    void importPedFile();
    void displayFullImage();
    // "Create/Edit pedigree": edits created pedigree 1 and switches the case to
    // created pedigrees.
    void createEditPedigree();

private:
    void rebuild();
    void selectCurrentChoice();
    // False when the user declines to replace the case's persons.
    bool applyChoice();
    void selectCatalogueRelationship(int index);
    void finish(DialogResult result);

    UserInterface& ui_;
    Core* core_ = nullptr;
    std::vector<HypothesisRow> rows_;
    int selected_ = -1;
};

}  // namespace relatix
