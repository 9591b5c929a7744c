// "Edit pedigree": the name and the parent-child relations of one created
// pedigree (pedigree 1, the basic hypothesis, or pedigree 2, the alternative),
// drawn over the pedigree persons kept by "Add persons".
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

struct RelationRow {
    std::string parent;  // "Parent": the parent's name
    std::string child;   // "Child"
};

class EditPedigreePresenter : public ModalPresenter {
public:
    // pedigree: 1-based position in the created pedigrees (1 or 2).
    EditPedigreePresenter(Core& core, UserInterface& ui, int pedigree);

    std::string title() const override { return "Edit pedigree"; }
    int pedigreeNumber() const { return number_; }

    // "Pedigree name": typing renames the pedigree at once.
    std::string pedigreeName() const;
    void setPedigreeName(const std::string& text);

    std::vector<RelationRow> relationRows() const;
    // 0-based row, -1 for none.
    int selectedRelation() const { return selectedRelation_; }
    void selectRelation(int row);

    // "Select parent..." / "Select child..." followed by the pedigree persons'
    // names; a choice k >= 1 is the person at position k.
    std::vector<std::string> parentOptions() const;
    std::vector<std::string> childOptions() const;
    int parentChoice() const { return parent_; }
    int childChoice() const { return child_; }
    void chooseParent(int index);
    void chooseChild(int index);

    // "Persons": opens "Add persons", then refreshes the choices.
    void persons();
    // "Add": appends (parent, child) when the relation checks pass.
    void add();
    // "Edit": moves the selected relation into the choices and removes it, so that
    // "Add" stores it changed.
    void edit();
    void remove();
    void copyRelations();
    void plotInR();
    void close() { closeWith(DialogResult::Closed); }

private:
    Pedigree* pedigree();
    const Pedigree* pedigree() const;
    std::string personName(int position) const;
    // The relation checks; shows the refusal and returns false when one fails.
    bool relationAllowed(int parent, int child);

    Core& core_;
    UserInterface& ui_;
    int number_;
    int selectedRelation_ = -1;
    int parent_ = 0;
    int child_ = 0;
};

}  // namespace relatix
