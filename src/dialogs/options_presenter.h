// "Options": the general frequency parameters of the cluster database (new-allele
// frequency, theta, new-allele model) and the switch that turns mutation off.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

class OptionsPresenter : public ModalPresenter {
public:
    OptionsPresenter(Core& core, UserInterface& ui);

    std::string title() const override { return "Options"; }

    // "New allele frequency" and "Theta/Fst", preset with "%.5g".
    const std::string& newAlleleFrequencyText() const { return frequencyText_; }
    void setNewAlleleFrequencyText(const std::string& text) { frequencyText_ = text; }
    const std::string& thetaText() const { return thetaText_; }
    void setThetaText(const std::string& text) { thetaText_ = text; }

    // "Select model...", "Search and Substract", "Normalise".
    static const std::vector<std::string>& modelOptions();
    int modelSelection() const { return modelSelection_; }
    void selectModel(int index);

    // "Turn off mutations".
    bool mutationsOff() const { return mutationsOff_; }
    void setMutationsOff(bool off) { mutationsOff_ = off; }

    // "Database size": always empty and disabled.
    std::string databaseSizeText() const { return {}; }
    bool databaseSizeEnabled() const { return false; }

    // Checks and stores the fields in order, writes the default configuration and
    // closes; a refused field leaves the dialog open with the earlier fields stored.
    // Theta is refused outside 0 to below 1 (or when it is no number) and taken
    // with a warning above 0.1.
    void save();
    void cancel() { closeWith(DialogResult::Cancel); }

private:
    Core& core_;
    UserInterface& ui_;
    std::string frequencyText_;
    std::string thetaText_;
    int modelSelection_ = 0;
    bool mutationsOff_ = false;
};

}  // namespace relatix
