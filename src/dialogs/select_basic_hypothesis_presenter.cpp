#include "dialogs/select_basic_hypothesis_presenter.h"

#include <algorithm>

#include "core/catalogue.h"
#include "dialogs/edit_pedigree_presenter.h"
#include "dialogs/full_image_presenter.h"
#include "dialogs/notification.h"
#include "dialogs/pedigree_pictures.h"

namespace relatix {

namespace {

constexpr const char* kReplacePersonsQuestion =
    "Changing the basic hypothesis replaces the persons of the case and deletes their DNA "
    "data, continue?";

bool anyDnaData(const std::vector<Person>& persons) {
    return std::any_of(persons.begin(), persons.end(),
                       [](const Person& p) { return !p.dna.empty(); });
}

}  // namespace

SelectBasicHypothesisPresenter::SelectBasicHypothesisPresenter(UserInterface& ui) : ui_(ui) {}

void SelectBasicHypothesisPresenter::attach(Core& core) {
    core_ = &core;
    reopen(result());
    rebuild();
    selectCurrentChoice();
}

void SelectBasicHypothesisPresenter::clearResult() {
    reopen(DialogResult::Closed);
}

void SelectBasicHypothesisPresenter::rebuild() {
    rows_.clear();
    if (!core_) return;
    for (int code = 1; code <= kCatalogueCount; ++code)
        rows_.push_back(
            {catalogueName(code), existingPicture(cataloguePicturePath(*core_, code)), code});
    if (!core_->createdPedigrees.empty())
        rows_.push_back({core_->createdPedigrees.front().name,
                         existingPicture(createdPedigreePicturePath(*core_, 1)), 0});
    if (selected_ >= static_cast<int>(rows_.size())) selected_ = -1;
}

void SelectBasicHypothesisPresenter::selectCurrentChoice() {
    selected_ = -1;
    if (!core_) return;
    const int mode = core_->mainHypothesis;
    if (mode >= 0 && mode < kCatalogueCount) {
        selected_ = mode;
    } else if (mode == kCreatedPedigrees && static_cast<int>(rows_.size()) > kCatalogueCount) {
        selected_ = kCatalogueCount;
    }
}

void SelectBasicHypothesisPresenter::selectRow(int row) {
    selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

void SelectBasicHypothesisPresenter::selectCatalogueRelationship(int index) {
    Core& core = *core_;
    const int code = index + 1;
    // Resizes the genotype table, clears the hypothesis results, gives the case
    // one pedigree with the code's relations and rebuilds the pedigree persons.
    core.selectMainHypothesis(index);
    core.genotypeTable.sexCodes = catalogueSexes(code);
    if (core.genotypeTable.sexCodes.empty())
        ui_.notify(
            "Trying to access a relationship that has not yet been completed in the Relatix "
            "core");
    core.persons.clear();
    const std::vector<int>& sexes = core.genotypeTable.sexCodes;
    for (size_t i = 0; i < sexes.size(); ++i)
        core.persons.emplace_back("NN" + std::to_string(i + 1), sexes[i] != 2);
}

bool SelectBasicHypothesisPresenter::applyChoice() {
    if (!core_) return true;
    Core& core = *core_;
    if (selected_ < 0) {
        if (core.mainHypothesis != kNoHypothesis) {
            core.genotypeTable.personNames.clear();
            core.genotypeTable.alleleTexts.clear();
        }
        return true;
    }
    const HypothesisRow& row = rows_[static_cast<size_t>(selected_)];
    if (row.createdPedigree() || selected_ == core.mainHypothesis) return true;
    // A new relationship brings new persons; typed profiles are not dropped unasked.
    if (anyDnaData(core.persons) &&
        ui_.messageBox(kReplacePersonsQuestion, "Warning", MessageButtons::YesNo,
                       MessageIcon::Warning) != Answer::Yes) {
        selectCurrentChoice();
        return false;
    }
    selectCatalogueRelationship(selected_);
    return true;
}

void SelectBasicHypothesisPresenter::finish(DialogResult result) {
    if (core_) core_->referenceHypothesis = 1;
    closeWith(result);
}

void SelectBasicHypothesisPresenter::next() {
    if (selected_ < 0) {
        ui_.error("Select a hypothesis before continuing");
        return;
    }
    // Declining to replace the persons keeps the dialog open on the old choice.
    if (!applyChoice()) return;
    finish(DialogResult::Next);
}

void SelectBasicHypothesisPresenter::activateRow(int row) {
    selectRow(row);
    next();
}

void SelectBasicHypothesisPresenter::close() {
    applyChoice();
    finish(DialogResult::Closed);
}

void SelectBasicHypothesisPresenter::importPedFile() {
    ui_.notify("Currently unavailable");
}

void SelectBasicHypothesisPresenter::displayFullImage() {
    if (selected_ < 0) {
        notifyUser(ui_, "Select pedigree first");
        return;
    }
    const HypothesisRow& row = rows_[static_cast<size_t>(selected_)];
    if (row.createdPedigree()) {
        notifyUser(ui_, "Cannot currently not view full image for created pedigrees");
        return;
    }
    FullImagePresenter dialog(*core_, {row.code});
    ui_.runDialog(dialog);
}

void SelectBasicHypothesisPresenter::createEditPedigree() {
    if (!core_) return;
    Core& core = *core_;
    notifyUser(ui_, "Feature to create your own pedigrees is currently not fully implemented!");
    if (core.createdPedigrees.size() < 2) {
        Pedigree pedigree;
        pedigree.name = "New pedigree";
        core.createdPedigrees.push_back(std::move(pedigree));
    }
    EditPedigreePresenter dialog(core, ui_, 1);
    ui_.runDialog(dialog);
    core.mainHypothesis = kCreatedPedigrees;
    rebuild();
    selectCurrentChoice();
}

}  // namespace relatix
