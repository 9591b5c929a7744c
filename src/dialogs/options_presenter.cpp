#include "dialogs/options_presenter.h"

#include <optional>

#include "core/decimal_text.h"
#include "core/theta_check.h"
#include "persistence/default_configuration.h"

namespace relatix {

namespace {
// List positions of the model entries and the model numbers they stand for.
constexpr int kSearchAndSubtractEntry = 1;
constexpr int kNormaliseEntry = 2;
}  // namespace

OptionsPresenter::OptionsPresenter(Core& core, UserInterface& ui) : core_(core), ui_(ui) {
    const ClusterDatabase& db = core_.clusterDatabase;
    frequencyText_ = formatGeneral(db.newAlleleFrequency, 5);
    thetaText_ = formatGeneral(db.theta, 5);
    modelSelection_ = db.newAlleleModel == 1   ? kNormaliseEntry
                      : db.newAlleleModel == 2 ? kSearchAndSubtractEntry
                                               : 0;
    mutationsOff_ = core_.mutationsOff;
}

const std::vector<std::string>& OptionsPresenter::modelOptions() {
    static const std::vector<std::string> options = {"Select model...", "Search and Substract",
                                                     "Normalise"};
    return options;
}

void OptionsPresenter::selectModel(int index) {
    if (index >= 0 && index < static_cast<int>(modelOptions().size())) modelSelection_ = index;
}

void OptionsPresenter::save() {
    const double frequency = readDecimal(frequencyText_);
    if (frequency == 0.0) {
        ui_.error("New allele frequency must be a float larger than 0.0");
        return;
    }
    if (!(frequency > 0.0 && frequency < 0.99)) {
        ui_.error("New allele frequency must be between 0.0 and 0.99");
        return;
    }
    core_.clusterDatabase.newAlleleFrequency = frequency;

    const std::optional<double> theta = readTypedTheta(thetaText_);
    const ThetaVerdict verdict = theta ? checkTheta(*theta) : ThetaVerdict::Refused;
    if (verdict == ThetaVerdict::Refused) {
        ui_.error(thetaRangeMessage());
        return;
    }
    if (verdict == ThetaVerdict::TakenUnusuallyLarge)
        ui_.messageBox(largeThetaWarning(*theta), "Warning", MessageButtons::Ok,
                       MessageIcon::Warning);
    core_.clusterDatabase.theta = *theta;
    // Open restores theta from the active population, so it keeps the value too.
    if (Population* active = core_.populationAt(core_.activePopulation)) active->theta = *theta;

    if (modelSelection_ == kNormaliseEntry) {
        core_.clusterDatabase.newAlleleModel = 1;
    } else if (modelSelection_ == kSearchAndSubtractEntry) {
        core_.clusterDatabase.newAlleleModel = 2;
    } else {
        ui_.error("Allele frequency model must be set");
        return;
    }
    if (!writeDefaultConfiguration(core_))
        ui_.error("The settings could not be saved to " + defaultConfigurationWritePath(core_) +
                  "; they hold for this session only");
    core_.mutationsOff = mutationsOff_;
    closeWith(DialogResult::Ok);
}

}  // namespace relatix
