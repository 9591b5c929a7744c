#include "dialogs/full_image_presenter.h"

#include "core/catalogue.h"
#include "dialogs/pedigree_pictures.h"

namespace relatix {

FullImagePresenter::FullImagePresenter(const Core& core, std::vector<int> codes)
    : core_(core), codes_(std::move(codes)) {
    if (!codes_.empty()) select(1);
}

std::vector<std::string> FullImagePresenter::options() const {
    std::vector<std::string> entries = {"Selected pedigree..."};
    for (int code : codes_) entries.push_back(catalogueName(code));
    return entries;
}

void FullImagePresenter::select(int index) {
    if (index < 0 || index > static_cast<int>(codes_.size())) return;
    selection_ = index;
    if (index == 0) return;
    // Created pedigrees have no relationship picture; their entry k shows the plot
    // of the k-th created pedigree.
    if (core_.mainHypothesis == kCreatedPedigrees) {
        picture_ = existingPicture(createdPedigreePicturePath(core_, index));
    } else {
        picture_ =
            existingPicture(cataloguePicturePath(core_, codes_[static_cast<size_t>(index - 1)]));
    }
}

}  // namespace relatix
