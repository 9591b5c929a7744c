// "Add persons": the pedigree persons that created pedigrees are drawn from
// (the pedigree persons of the genotype table), with their names and sexes.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

struct PersonRow {
    std::string name;    // "Name"
    std::string gender;  // "Gender": "Male" or "Female"
};

class AddPersonsPresenter : public ModalPresenter {
public:
    AddPersonsPresenter(Core& core, UserInterface& ui);

    std::string title() const override { return "Add persons"; }

    std::vector<PersonRow> rows() const;
    // Selected rows, 0-based, any number of them.
    const std::vector<int>& selectedRows() const { return selected_; }
    void setSelectedRows(std::vector<int> rows);
    void selectRow(int row) { setSelectedRows({row}); }

    // The "Add person" group.
    const std::string& name() const { return name_; }
    void setName(const std::string& text) { name_ = text; }
    bool male() const { return male_; }
    void setMale(bool male) { male_ = male; }
    // "Add", or "Change" while a person is being edited.
    std::string addButtonCaption() const { return editing_ >= 0 ? "Change" : "Add"; }

    // "Add" (or "Change"): appends a person with a new name, or writes the fields
    // to the person being edited.
    void add();
    // "Edit": loads the first selected person into the fields.
    void edit();
    // "Remove": removes the selected persons together with the relations of the
    // created pedigrees that name them.
    void remove();
    void close() { closeWith(DialogResult::Closed); }

private:
    Core& core_;
    UserInterface& ui_;
    std::vector<int> selected_;
    std::string name_;
    bool male_ = true;
    int editing_ = -1;  // 0-based person being edited, -1 for none
};

// Removes the pedigree person at a 1-based position and keeps the relations of
// the created pedigrees pointing at the same persons: relations naming the
// removed person go, later positions move down by one.
void removePedigreePerson(Core& core, int position);

}  // namespace relatix
