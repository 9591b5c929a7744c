#include "dialogs/populations_presenter.h"

#include <algorithm>

#include "core/frequency_database.h"
#include "dialogs/database_commands.h"

namespace relatix {

PopulationsPresenter::PopulationsPresenter(Core& core, UserInterface& ui) : core_(core), ui_(ui) {
    refresh();
}

const std::vector<std::string>& PopulationsPresenter::columnHeadings() {
    static const std::vector<std::string> headings = {"Population", "Markers"};
    return headings;
}

void PopulationsPresenter::refresh() {
    rows_.clear();
    for (const Population& population : core_.populations)
        rows_.push_back({population.name, std::to_string(population.markers.size())});
    selected_.clear();
}

void PopulationsPresenter::setSelectedRows(std::vector<int> rows) {
    std::erase_if(rows, [&](int r) { return r < 0 || r >= static_cast<int>(rows_.size()); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    selected_ = std::move(rows);
}

void PopulationsPresenter::remove() {
    if (selected_.empty()) {
        ui_.messageBox("Please select a population to remove", "Notification", MessageButtons::Ok,
                       MessageIcon::Information);
        return;
    }
    removePopulation(core_, selected_.front() + 1);
    refresh();
}

void PopulationsPresenter::merge() {
    if (selected_.size() < 2) {
        ui_.error("Please select at least two populations to merge");
        return;
    }
    std::vector<int> positions;
    for (int row : selected_) positions.push_back(row + 1);
    mergePopulations(core_, positions);
    refresh();
}

void PopulationsPresenter::importPopulations() {
    importDatabaseFiles(core_, ui_, kPopulationsImportFilter);
    refresh();
}

void PopulationsPresenter::exportPopulations() {
    ui_.messageBox("Currently not implemented", "Warning", MessageButtons::Ok,
                   MessageIcon::Warning);
}

}  // namespace relatix
