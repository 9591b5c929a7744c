#include "dialogs/select_systems_presenter.h"

#include <algorithm>

namespace relatix {

SelectSystemsPresenter::SelectSystemsPresenter(UserInterface& ui, std::vector<SystemOffer> offers)
    : ui_(ui), offers_(std::move(offers)) {
    for (int i = 0; i < static_cast<int>(offers_.size()) && i < 2; ++i) selected_.push_back(i);
}

const std::vector<std::string>& SelectSystemsPresenter::columnHeadings() {
    static const std::vector<std::string> headings = {"System", "Number of alleles"};
    return headings;
}

std::vector<std::vector<std::string>> SelectSystemsPresenter::rows() const {
    std::vector<std::vector<std::string>> rows;
    for (const SystemOffer& offer : offers_)
        rows.push_back({offer.name, std::to_string(offer.alleleCount)});
    return rows;
}

void SelectSystemsPresenter::setSelectedRows(std::vector<int> rows) {
    std::erase_if(rows, [&](int r) { return r < 0 || r >= static_cast<int>(offers_.size()); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    selected_ = std::move(rows);
}

void SelectSystemsPresenter::import() {
    chosen_ = selected_;
    if (chosen_.size() > 2) {
        ui_.error(kOnlyTwoSystemsMessage);
        chosen_.resize(2);
    }
    closeWith(DialogResult::Ok);
}

}  // namespace relatix
