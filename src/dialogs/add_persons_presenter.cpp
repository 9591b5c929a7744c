#include "dialogs/add_persons_presenter.h"

#include <algorithm>

namespace relatix {

void removePedigreePerson(Core& core, int position) {
    auto& persons = core.genotypeTable.pedigreePersons;
    if (position < 1 || position > static_cast<int>(persons.size())) return;
    persons.erase(persons.begin() + (position - 1));
    for (Pedigree& pedigree : core.createdPedigrees) {
        std::erase_if(pedigree.relations, [position](const Relation& r) {
            return r.parent == position || r.child == position;
        });
        for (Relation& relation : pedigree.relations) {
            if (relation.parent > position) --relation.parent;
            if (relation.child > position) --relation.child;
        }
    }
}

AddPersonsPresenter::AddPersonsPresenter(Core& core, UserInterface& ui) : core_(core), ui_(ui) {}

std::vector<PersonRow> AddPersonsPresenter::rows() const {
    std::vector<PersonRow> rows;
    for (const Person& person : core_.genotypeTable.pedigreePersons)
        rows.push_back({person.name, person.isMale ? "Male" : "Female"});
    return rows;
}

void AddPersonsPresenter::setSelectedRows(std::vector<int> rows) {
    const int count = static_cast<int>(core_.genotypeTable.pedigreePersons.size());
    std::erase_if(rows, [count](int r) { return r < 0 || r >= count; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    selected_ = std::move(rows);
}

void AddPersonsPresenter::add() {
    auto& persons = core_.genotypeTable.pedigreePersons;
    if (editing_ >= 0) {
        if (editing_ < static_cast<int>(persons.size())) {
            Person& person = persons[static_cast<size_t>(editing_)];
            person.name = name_;
            person.isMale = male_;
        }
        editing_ = -1;
        name_.clear();
        return;
    }
    const bool taken = std::any_of(persons.begin(), persons.end(),
                                   [this](const Person& p) { return p.name == name_; });
    if (taken) {
        ui_.error("Name already exists");
        return;
    }
    persons.emplace_back(name_, male_);
    name_.clear();
}

void AddPersonsPresenter::edit() {
    if (selected_.empty()) return;
    editing_ = selected_.front();
    const Person& person = core_.genotypeTable.pedigreePersons[static_cast<size_t>(editing_)];
    name_ = person.name;
    // The sex is loaded too, so that "Change" never flips it unasked.
    male_ = person.isMale;
}

void AddPersonsPresenter::remove() {
    for (auto row = selected_.rbegin(); row != selected_.rend(); ++row) {
        if (*row == editing_) {
            editing_ = -1;
            name_.clear();
        } else if (editing_ > *row) {
            --editing_;
        }
        removePedigreePerson(core_, *row + 1);
    }
    selected_.clear();
}

}  // namespace relatix
