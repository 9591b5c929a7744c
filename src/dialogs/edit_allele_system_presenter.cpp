#include "dialogs/edit_allele_system_presenter.h"

#include <cmath>

#include "core/decimal_text.h"
#include "core/frequency_database.h"
#include "dialogs/mutations_presenter.h"

namespace relatix {

EditAlleleSystemPresenter::EditAlleleSystemPresenter(Core& core, UserInterface& ui, int mapPosition)
    : core_(core), ui_(ui), mapPosition_(mapPosition) {
    const Marker& entry = mapEntry();
    const std::string name = entry.name;
    if (core_.populationAt(core_.activePopulation)) {
        populationPosition_ = core_.activePopulation;
    } else {
        Population created;
        created.name = "Unnamed";
        created.markers.emplace_back(name, 1, -1.0);
        core_.populations.push_back(std::move(created));
        populationPosition_ = static_cast<int>(core_.populations.size());
    }
    Population& population = *core_.populationAt(populationPosition_);
    findOrCreateMarker(population, name);
    markerIndex_ = static_cast<size_t>(markerPosition(population, name) - 1);
    systemName_ = name;
    geneticPosition_ = formatGeneral(entry.position, 6);
    refresh();
}

const std::vector<std::string>& EditAlleleSystemPresenter::columnHeadings() {
    static const std::vector<std::string> headings = {"Name", "Frequency"};
    return headings;
}

Marker& EditAlleleSystemPresenter::mapEntry() {
    return core_.markerMap.markers[static_cast<size_t>(mapPosition_ - 1)];
}

const Marker& EditAlleleSystemPresenter::mapEntry() const {
    return core_.markerMap.markers[static_cast<size_t>(mapPosition_ - 1)];
}

Marker& EditAlleleSystemPresenter::marker() {
    return core_.populationAt(populationPosition_)->markers[markerIndex_];
}

const Marker& EditAlleleSystemPresenter::marker() const {
    return core_.populationAt(populationPosition_)->markers[markerIndex_];
}

const std::vector<std::string>& EditAlleleSystemPresenter::chromosomeOptions() {
    static const std::vector<std::string> options = [] {
        std::vector<std::string> numbers;
        for (int c = 1; c <= 22; ++c) numbers.push_back(std::to_string(c));
        return numbers;
    }();
    return options;
}

int EditAlleleSystemPresenter::chromosomeSelection() const {
    const int chromosome = mapEntry().chromosome;
    return chromosome >= 1 && chromosome <= 22 ? chromosome - 1 : -1;
}

void EditAlleleSystemPresenter::selectChromosome(int index) {
    if (index < 0 || index >= static_cast<int>(chromosomeOptions().size())) return;
    mapEntry().chromosome = index + 1;
    marker().chromosome = index + 1;
}

void EditAlleleSystemPresenter::refresh() {
    rows_.clear();
    for (const Allele& allele : marker().alleles)
        rows_.push_back({allele.name, formatGeneral(allele.frequency, 8)});
    selected_ = -1;
}

void EditAlleleSystemPresenter::selectAllele(int row) {
    selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

void EditAlleleSystemPresenter::add() {
    const std::optional<double> frequency = parseFrequencyText(newFrequency_);
    if (!frequency) {
        ui_.error(kInvalidFrequencyMessage);
        return;
    }
    if (!addAllele(marker(), newName_, *frequency)) {
        ui_.error(kDuplicateAlleleMessage);
        return;
    }
    newName_.clear();
    newFrequency_.clear();
    refresh();
}

void EditAlleleSystemPresenter::edit() {
    if (selected_ < 0) {
        ui_.error("No allele selected");
        return;
    }
    const Allele& allele = marker().alleles[static_cast<size_t>(selected_)];
    newName_ = allele.name;
    // The exact value, so that putting the allele back unchanged keeps its frequency.
    newFrequency_ = formatShortest(allele.frequency);
    removeAllele(marker(), selected_ + 1);
    refresh();
}

void EditAlleleSystemPresenter::activateAllele(int row) {
    selectAllele(row);
    edit();
}

void EditAlleleSystemPresenter::remove() {
    if (selected_ < 0) {
        ui_.error("No allele selected");
        return;
    }
    removeAllele(marker(), selected_ + 1);
    refresh();
}

void EditAlleleSystemPresenter::close() {
    mapEntry().name = systemName_;
    marker().name = systemName_;
    const double position = readDecimal(geneticPosition_);
    if (position == 0.0 || !std::isfinite(position)) {
        ui_.error("Please enter valid genetic position");
        return;
    }
    offerNormalisation(ui_, marker());
    mapEntry().position = position;
    marker().position = position;
    closeWith(DialogResult::Closed);
}

void EditAlleleSystemPresenter::mutations() {
    MutationsPresenter dialog(core_, ui_, mapPosition_, true);
    ui_.runDialog(dialog);
}

}  // namespace relatix
