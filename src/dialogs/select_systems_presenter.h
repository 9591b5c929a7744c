// "Select systems": the systems of a text database with their allele counts; the
// user picks at most two of them to import.
#pragma once

#include <string>
#include <vector>

#include "dialogs/modal_presenter.h"
#include "persistence/import_questions.h"

namespace relatix {

inline constexpr const char* kOnlyTwoSystemsMessage =
    "Can only import two systems at present, only the two first systems imported";

class SelectSystemsPresenter : public ModalPresenter {
public:
    SelectSystemsPresenter(UserInterface& ui, std::vector<SystemOffer> offers);

    std::string title() const override { return "Select systems"; }
    static const std::vector<std::string>& columnHeadings();
    // "System" and "Number of alleles" per offered system.
    std::vector<std::vector<std::string>> rows() const;

    // 0-based rows; the first two rows start selected.
    void setSelectedRows(std::vector<int> rows);
    const std::vector<int>& selectedRows() const { return selected_; }

    // "Import": marks the selected systems, at most two, and closes.
    void import();
    void cancel() { closeWith(DialogResult::Cancel); }
    // The systems marked by "Import", in list order; empty unless imported.
    const std::vector<int>& chosen() const { return chosen_; }

private:
    UserInterface& ui_;
    std::vector<SystemOffer> offers_;
    std::vector<int> selected_;
    std::vector<int> chosen_;
};

}  // namespace relatix
