#include "dialogs/new_allele_presenter.h"

#include "core/frequency_database.h"

namespace relatix {

NewAllelePresenter::NewAllelePresenter(UserInterface& ui, Population* population,
                                       std::string markerName, std::string allele)
    : ui_(ui),
      population_(population),
      markerName_(std::move(markerName)),
      allele_(std::move(allele)) {}

const std::vector<std::string>& NewAllelePresenter::modelOptions() {
    static const std::vector<std::string> options = {"Select model...", "1. Normalise",
                                                     "2. Search and substract"};
    return options;
}

void NewAllelePresenter::add() {
    if (modelSelection_ < 1 || modelSelection_ >= static_cast<int>(modelOptions().size())) {
        ui_.error("Please select frequency model");
        return;
    }
    const std::optional<double> frequency = parseFrequencyText(frequency_);
    if (!frequency) {
        ui_.error(kInvalidFrequencyMessage);
        return;
    }
    // The model chosen here only confirms the user's intent; the calculation uses
    // the case-wide new-allele model.
    if (population_) {
        if (Marker* marker = findMarker(*population_, markerName_))
            addAllele(*marker, allele_, *frequency);
    }
    added_ = true;
    addedFrequency_ = *frequency;
    closeWith(DialogResult::Ok);
}

}  // namespace relatix
