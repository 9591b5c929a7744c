#include "dialogs/select_alternative_hypotheses_presenter.h"

#include <algorithm>

#include "core/catalogue.h"
#include "dialogs/edit_pedigree_presenter.h"
#include "dialogs/full_image_presenter.h"
#include "dialogs/notification.h"
#include "dialogs/pedigree_pictures.h"

namespace relatix {

SelectAlternativeHypothesesPresenter::SelectAlternativeHypothesesPresenter(UserInterface& ui)
    : ui_(ui) {}

void SelectAlternativeHypothesesPresenter::attach(Core& core) {
    core_ = &core;
    reopen(result());
    rebuild();
    selectCurrentAlternatives();
}

void SelectAlternativeHypothesesPresenter::clearResult() {
    reopen(DialogResult::Closed);
}

void SelectAlternativeHypothesesPresenter::rebuild() {
    rows_.clear();
    if (!core_) return;
    if (core_->mainHypothesis == kCreatedPedigrees) {
        if (core_->createdPedigrees.size() >= 2)
            rows_.push_back({core_->createdPedigrees[1].name,
                             existingPicture(createdPedigreePicturePath(*core_, 2)), 0});
    } else {
        for (int code : catalogueAlternatives(core_->mainHypothesis + 1))
            rows_.push_back(
                {catalogueName(code), existingPicture(cataloguePicturePath(*core_, code)), code});
    }
    setSelectedRows(selected_);
}

void SelectAlternativeHypothesesPresenter::selectCurrentAlternatives() {
    if (!core_) return;
    if (core_->mainHypothesis == kCreatedPedigrees)
        setSelectedRows(rows_.empty() ? std::vector<int>{} : std::vector<int>{0});
    else
        setSelectedRows(core_->alternativeHypotheses);
}

void SelectAlternativeHypothesesPresenter::setSelectedRows(std::vector<int> rows) {
    const int count = static_cast<int>(rows_.size());
    std::erase_if(rows, [count](int r) { return r < 0 || r >= count; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    selected_ = std::move(rows);
}

bool SelectAlternativeHypothesesPresenter::apply() {
    if (!core_) return false;
    Core& core = *core_;
    if (core.mainHypothesis == kCreatedPedigrees) {
        if (core.createdPedigrees.size() == 2) return true;
        ui_.error("Must create exactly one alternative hypothesis");
        return false;
    }
    core.alternativeHypotheses.clear();
    core.removeHypothesisPedigrees(true);
    for (int row : selected_) {
        core.alternativeHypotheses.push_back(row);
        core.addAlternativePedigree(rows_[static_cast<size_t>(row)].code);
    }
    return !selected_.empty();
}

void SelectAlternativeHypothesesPresenter::finish(DialogResult result) {
    closeWith(result);
}

void SelectAlternativeHypothesesPresenter::next() {
    if (!apply()) {
        ui_.error("Please select/create alternative hypotheses before continuing");
        return;
    }
    finish(DialogResult::Next);
}

void SelectAlternativeHypothesesPresenter::activateRow(int row) {
    if (std::find(selected_.begin(), selected_.end(), row) == selected_.end()) {
        std::vector<int> rows = selected_;
        rows.push_back(row);
        setSelectedRows(std::move(rows));
    }
    next();
}

void SelectAlternativeHypothesesPresenter::previous() {
    apply();
    finish(DialogResult::Back);
}

void SelectAlternativeHypothesesPresenter::close() {
    apply();
    finish(DialogResult::Closed);
}

void SelectAlternativeHypothesesPresenter::displayFullImage() {
    if (!core_) return;
    if (selected_.empty()) {
        notifyUser(ui_, "Select pedigree first");
        return;
    }
    std::vector<int> codes;
    for (int row : selected_) {
        const HypothesisRow& entry = rows_[static_cast<size_t>(row)];
        if (entry.createdPedigree()) {
            notifyUser(ui_, "Cannot currently not view full image for created pedigrees");
            return;
        }
        codes.push_back(entry.code);
    }
    FullImagePresenter dialog(*core_, codes);
    ui_.runDialog(dialog);
}

void SelectAlternativeHypothesesPresenter::createEditPedigree() {
    if (!core_) return;
    Core& core = *core_;
    if (core.mainHypothesis != kCreatedPedigrees) {
        notifyUser(ui_, "Can only create/edit pedigree if the main hypothesis is also created");
        return;
    }
    // The alternative is always pedigree 2, so the list is filled up to two.
    while (core.createdPedigrees.size() < 2) {
        Pedigree pedigree;
        pedigree.name = "New pedigree";
        core.createdPedigrees.push_back(std::move(pedigree));
    }
    EditPedigreePresenter dialog(core, ui_, 2);
    ui_.runDialog(dialog);
    rebuild();
    selectCurrentAlternatives();
}

}  // namespace relatix
