#include "dialogs/edit_markers_presenter.h"

#include <algorithm>
#include <optional>

#include "core/decimal_text.h"
#include "core/frequency_database.h"
#include "core/theta_check.h"
#include "dialogs/database_commands.h"
#include "dialogs/edit_allele_system_presenter.h"
#include "dialogs/mutations_presenter.h"
#include "dialogs/options_presenter.h"
#include "dialogs/populations_presenter.h"

namespace relatix {

namespace {

constexpr const char* kFlipScanQuestion =
    "This will run a procedure that will check all populations for apparent discordant "
    "strand (applies only to SNPs), continue?\n\nThe procedure will use the currently "
    "defined population as reference for correct strand annotation.";

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

std::string chromosomeText(int chromosome) {
    return chromosome == 23 ? "X" : std::to_string(chromosome);
}

}  // namespace

EditMarkersPresenter::EditMarkersPresenter(Core& core, UserInterface& ui) : core_(core), ui_(ui) {
    refreshFields();
    refresh();
}

const std::vector<std::string>& EditMarkersPresenter::columnHeadings() {
    static const std::vector<std::string> headings = {"Marker/Locus", "Chromosome", "Position",
                                                      "Number of alleles", "Alleles"};
    return headings;
}

Rgb EditMarkersPresenter::rgbOf(MarkerRowColour colour) {
    switch (colour) {
        case MarkerRowColour::InPopulation: return kInPopulationColour;
        case MarkerRowColour::NotInPopulation: return kNotInPopulationColour;
        case MarkerRowColour::Default: break;
    }
    return Rgb{};
}

const std::vector<std::string>& EditMarkersPresenter::chromosomeFilterOptions() {
    static const std::vector<std::string> options = [] {
        std::vector<std::string> entries = {"All"};
        for (int c = 1; c <= 22; ++c) entries.push_back(std::to_string(c));
        return entries;
    }();
    return options;
}

void EditMarkersPresenter::refreshFields() {
    const Population* active = core_.populationAt(core_.activePopulation);
    populationName_ = active ? active->name : std::string();
    thetaText_ = formatGeneral(core_.clusterDatabase.theta, 5);
    thetaNote_.clear();
}

bool EditMarkersPresenter::showsMarker(const Marker& marker) const {
    if (chromosomeFilter_ > 0 && marker.chromosome != chromosomeFilter_) return false;
    return nameFilter_.empty() || equalIgnoringCase(marker.name, nameFilter_);
}

MarkerRow EditMarkersPresenter::rowOf(int mapPosition) const {
    const Marker& entry = core_.markerMap.markers[static_cast<size_t>(mapPosition - 1)];
    MarkerRow row;
    row.mapPosition = mapPosition;
    row.marker = entry.name;
    row.chromosome = chromosomeText(entry.chromosome);
    row.position = formatFixed(entry.position, 4);
    row.alleleCount = "0";
    if (const Population* active = core_.populationAt(core_.activePopulation)) {
        const Marker* marker = findMarker(*active, entry.name);
        row.colour = marker ? MarkerRowColour::InPopulation : MarkerRowColour::NotInPopulation;
        if (marker) {
            row.alleleCount = std::to_string(marker->alleles.size());
            for (size_t i = 0; i < marker->alleles.size(); ++i)
                row.alleles += (i ? "," : "") + marker->alleles[i].name;
        }
    }
    return row;
}

void EditMarkersPresenter::refresh() {
    sortMarkerMap(core_);
    rows_.clear();
    selected_.clear();
    const auto& markers = core_.markerMap.markers;
    for (size_t i = 0; i < markers.size(); ++i)
        if (showsMarker(markers[i])) rows_.push_back(rowOf(static_cast<int>(i) + 1));
}

void EditMarkersPresenter::setSelectedRows(std::vector<int> rows) {
    std::erase_if(rows, [&](int r) { return r < 0 || r >= static_cast<int>(rows_.size()); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    selected_ = std::move(rows);
}

void EditMarkersPresenter::setChromosomeFilter(int index) {
    if (index < 0 || index >= static_cast<int>(chromosomeFilterOptions().size())) return;
    chromosomeFilter_ = index;
    refresh();
}

void EditMarkersPresenter::setMarkerNameFilter(const std::string& text) {
    nameFilter_ = text;
    refresh();
}

std::vector<std::string> EditMarkersPresenter::populationOptions() const {
    std::vector<std::string> options = {"Select population..."};
    for (const Population& population : core_.populations) options.push_back(population.name);
    return options;
}

void EditMarkersPresenter::selectPopulation(int index) {
    if (index < 0 || index > static_cast<int>(core_.populations.size())) return;
    core_.activePopulation = index;
    refreshFields();
    refresh();
}

void EditMarkersPresenter::setPopulationName(const std::string& text) {
    populationName_ = text;
    if (Population* active = core_.populationAt(core_.activePopulation)) active->name = text;
}

void EditMarkersPresenter::setThetaText(const std::string& text) {
    thetaText_ = text;
    thetaNote_.clear();
    Population* active = core_.populationAt(core_.activePopulation);
    if (!active) return;
    const std::optional<double> theta = readTypedTheta(text);
    const ThetaVerdict verdict = theta ? checkTheta(*theta) : ThetaVerdict::Refused;
    if (verdict == ThetaVerdict::Refused) {
        thetaNote_ = thetaRangeMessage() + "; " + formatGeneral(core_.clusterDatabase.theta, 5) +
                     " stays in use";
        return;
    }
    active->theta = *theta;
    core_.clusterDatabase.theta = *theta;
    if (verdict == ThetaVerdict::TakenUnusuallyLarge) thetaNote_ = largeThetaWarning(*theta);
}

void EditMarkersPresenter::editAlleleSystem(int mapPosition) {
    EditAlleleSystemPresenter dialog(core_, ui_, mapPosition);
    ui_.runDialog(dialog);
}

void EditMarkersPresenter::add() {
    const bool hadPopulations = !core_.populations.empty();
    const int position = addMarkerDefinition(core_, ui_, "New locus", 1, 1.0);
    if (hadPopulations && !core_.populationAt(core_.activePopulation) &&
        ui_.messageBox("No population selected, adding new marker will cause a new unnamed "
                       "population to be created, continue?",
                       "Warning", MessageButtons::YesNo, MessageIcon::Warning) != Answer::Yes) {
        refresh();
        return;
    }
    editAlleleSystem(position);
    if (!hadPopulations && !core_.populations.empty()) core_.activePopulation = 1;
    refreshFields();
    refresh();
}

void EditMarkersPresenter::edit() {
    if (selected_.empty()) {
        ui_.error("Please select a system to edit");
        return;
    }
    const int position = rows_[static_cast<size_t>(selected_.front())].mapPosition;
    if (!core_.populations.empty() && !core_.populationAt(core_.activePopulation) &&
        ui_.messageBox("No population selected, editing marker will cause a new unnamed "
                       "population to be created, continue?",
                       "Warning", MessageButtons::YesNo, MessageIcon::Warning) != Answer::Yes)
        return;
    editAlleleSystem(position);
    refreshFields();
    refresh();
}

void EditMarkersPresenter::activateRow(int row) {
    selectRow(row);
    edit();
}

void EditMarkersPresenter::remove() {
    if (selected_.empty()) {
        ui_.messageBox("Please select a system/marker to remove", "Notification",
                       MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    std::vector<int> positions;
    for (int row : selected_) positions.push_back(rows_[static_cast<size_t>(row)].mapPosition);
    removeMarkerDefinitions(core_, positions);
    refresh();
}

void EditMarkersPresenter::flipScan() {
    if (!core_.populationAt(core_.activePopulation)) {
        ui_.error("Please select a population");
        return;
    }
    if (ui_.messageBox(kFlipScanQuestion, "Warning", MessageButtons::YesNo, MessageIcon::Warning) !=
        Answer::Yes)
        return;
    flipStrands(core_, core_.activePopulation);
    refresh();
}

void EditMarkersPresenter::populations() {
    PopulationsPresenter dialog(core_, ui_);
    ui_.runDialog(dialog);
    refreshFields();
    refresh();
}

void EditMarkersPresenter::options() {
    OptionsPresenter dialog(core_, ui_);
    ui_.runDialog(dialog);
    refreshFields();
}

void EditMarkersPresenter::mutations() {
    int mapPosition = 0;
    if (!selected_.empty()) {
        const int row = selected_.front();
        if (row >= 0 && row < static_cast<int>(rows_.size()))
            mapPosition = rows_[static_cast<size_t>(row)].mapPosition;
    }
    MutationsPresenter dialog(core_, ui_, mapPosition, mapPosition > 0);
    ui_.runDialog(dialog);
}

void EditMarkersPresenter::importDatabases() {
    importDatabaseFiles(core_, ui_, kEditMarkersImportFilter);
    refresh();
    refreshFields();
}

void EditMarkersPresenter::exportDatabases() {
    exportActivePopulation(core_, ui_);
}

}  // namespace relatix
