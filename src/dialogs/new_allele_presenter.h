// "New allele!": asks for the frequency of an allele typed for a person that the
// population's marker lacks, and adds it to that marker.
#pragma once

#include <string>
#include <vector>

#include "core/records.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

class NewAllelePresenter : public ModalPresenter {
public:
    // population may be null; then "Add" checks the fields but inserts nothing.
    NewAllelePresenter(UserInterface& ui, Population* population, std::string markerName,
                       std::string allele);

    std::string title() const override { return "New allele!"; }

    // The "Allele info" group.
    std::string systemText() const { return "System: " + markerName_; }
    std::string alleleText() const { return "Allele: " + allele_; }

    const std::string& frequency() const { return frequency_; }
    void setFrequency(const std::string& text) { frequency_ = text; }

    // "Select model...", "1. Normalise", "2. Search and substract".
    static const std::vector<std::string>& modelOptions();
    int modelSelection() const { return modelSelection_; }
    void selectModel(int index) { modelSelection_ = index; }

    // Checks the model choice and the frequency; on success inserts the allele into
    // the population's marker of that name (when it has one) and closes with Ok.
    void add();
    void cancel() { closeWith(DialogResult::Cancel); }

    // True once "Add" has accepted the fields.
    bool added() const { return added_; }
    double addedFrequency() const { return addedFrequency_; }

private:
    UserInterface& ui_;
    Population* population_;
    std::string markerName_;
    std::string allele_;
    std::string frequency_ = "0.01";
    int modelSelection_ = 1;
    bool added_ = false;
    double addedFrequency_ = 0.0;
};

}  // namespace relatix
