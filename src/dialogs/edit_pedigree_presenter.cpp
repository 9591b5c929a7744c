#include "dialogs/edit_pedigree_presenter.h"

#include "dialogs/add_persons_presenter.h"
#include "persistence/pedigree_plot_script.h"

namespace relatix {

EditPedigreePresenter::EditPedigreePresenter(Core& core, UserInterface& ui, int pedigree)
    : core_(core), ui_(ui), number_(pedigree) {}

Pedigree* EditPedigreePresenter::pedigree() {
    if (number_ < 1 || number_ > static_cast<int>(core_.createdPedigrees.size())) return nullptr;
    return &core_.createdPedigrees[static_cast<size_t>(number_ - 1)];
}

const Pedigree* EditPedigreePresenter::pedigree() const {
    if (number_ < 1 || number_ > static_cast<int>(core_.createdPedigrees.size())) return nullptr;
    return &core_.createdPedigrees[static_cast<size_t>(number_ - 1)];
}

std::string EditPedigreePresenter::pedigreeName() const {
    const Pedigree* edited = pedigree();
    return edited ? edited->name : std::string();
}

void EditPedigreePresenter::setPedigreeName(const std::string& text) {
    if (Pedigree* edited = pedigree()) edited->name = text;
}

std::string EditPedigreePresenter::personName(int position) const {
    const auto& persons = core_.genotypeTable.pedigreePersons;
    if (position < 1 || position > static_cast<int>(persons.size())) return {};
    return persons[static_cast<size_t>(position - 1)].name;
}

std::vector<RelationRow> EditPedigreePresenter::relationRows() const {
    std::vector<RelationRow> rows;
    if (const Pedigree* edited = pedigree())
        for (const Relation& relation : edited->relations)
            rows.push_back({personName(relation.parent), personName(relation.child)});
    return rows;
}

void EditPedigreePresenter::selectRelation(int row) {
    const Pedigree* edited = pedigree();
    const int count = edited ? static_cast<int>(edited->relations.size()) : 0;
    selectedRelation_ = row >= 0 && row < count ? row : -1;
}

std::vector<std::string> EditPedigreePresenter::parentOptions() const {
    std::vector<std::string> options = {"Select parent..."};
    for (const Person& person : core_.genotypeTable.pedigreePersons) options.push_back(person.name);
    return options;
}

std::vector<std::string> EditPedigreePresenter::childOptions() const {
    std::vector<std::string> options = {"Select child..."};
    for (const Person& person : core_.genotypeTable.pedigreePersons) options.push_back(person.name);
    return options;
}

void EditPedigreePresenter::chooseParent(int index) {
    const int count = static_cast<int>(core_.genotypeTable.pedigreePersons.size());
    parent_ = index >= 0 && index <= count ? index : 0;
}

void EditPedigreePresenter::chooseChild(int index) {
    const int count = static_cast<int>(core_.genotypeTable.pedigreePersons.size());
    child_ = index >= 0 && index <= count ? index : 0;
}

void EditPedigreePresenter::persons() {
    AddPersonsPresenter dialog(core_, ui_);
    ui_.runDialog(dialog);
    // Persons may have gone; keep the choices within the list.
    chooseParent(parent_);
    chooseChild(child_);
    selectRelation(selectedRelation_);
}

bool EditPedigreePresenter::relationAllowed(int parent, int child) {
    if (parent == child) {
        ui_.error("Child cannot be its own parent!");
        return false;
    }
    // A relation needs two persons; the prompt entries of the choices are none.
    if (parent < 1 || child < 1) {
        ui_.error("Select both a parent and a child before adding a relation");
        return false;
    }
    const auto& persons = core_.genotypeTable.pedigreePersons;
    const bool parentMale = persons[static_cast<size_t>(parent - 1)].isMale;
    int otherParents = 0;
    for (const Relation& existing : pedigree()->relations) {
        if (existing.parent == parent && existing.child == child) {
            ui_.error("Relation already exists");
            return false;
        }
        if (existing.parent == child && existing.child == parent) {
            ui_.error("Relation already exists between persons");
            return false;
        }
        if (existing.child != child) continue;
        const bool known =
            existing.parent >= 1 && existing.parent <= static_cast<int>(persons.size());
        if (known && persons[static_cast<size_t>(existing.parent - 1)].isMale == parentMale) {
            ui_.error("The child already has a parent with that gender");
            return false;
        }
        ++otherParents;
    }
    if (otherParents > 1) {
        ui_.error("The child already has two parents, cannot have three");
        return false;
    }
    return true;
}

void EditPedigreePresenter::add() {
    if (!pedigree() || !relationAllowed(parent_, child_)) return;
    pedigree()->relations.push_back({parent_, child_});
}

void EditPedigreePresenter::edit() {
    Pedigree* edited = pedigree();
    if (!edited || selectedRelation_ < 0) return;
    const auto position = edited->relations.begin() + selectedRelation_;
    chooseParent(position->parent);
    chooseChild(position->child);
    edited->relations.erase(position);
    selectedRelation_ = -1;
}

void EditPedigreePresenter::remove() {
    Pedigree* edited = pedigree();
    if (!edited || selectedRelation_ < 0) return;
    edited->relations.erase(edited->relations.begin() + selectedRelation_);
    selectedRelation_ = -1;
}

void EditPedigreePresenter::copyRelations() {
    if (!pedigree()) return;
    const int other = number_ == 1 ? 2 : 1;
    if (other > static_cast<int>(core_.createdPedigrees.size())) {
        ui_.error("Cannot copy relations as there currently is no other pedigree");
        return;
    }
    if (ui_.messageBox("This will copy all relations from the other created pedigree into this "
                       "one and remove all existing relations",
                       "Warning", MessageButtons::YesNo, MessageIcon::Warning) != Answer::Yes)
        return;
    pedigree()->relations = core_.createdPedigrees[static_cast<size_t>(other - 1)].relations;
    selectedRelation_ = -1;
}

void EditPedigreePresenter::plotInR() {
    const Pedigree* edited = pedigree();
    if (!edited) return;
    if (ui_.messageBox("An R script to produce the plot will be generated, continue?", "Warning",
                       MessageButtons::YesNo, MessageIcon::Warning) != Answer::Yes)
        return;
    ui_.showTextWindow(pedigreePlotScript(core_, *edited));
}

}  // namespace relatix
