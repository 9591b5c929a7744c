#include "dialogs/mutations_presenter.h"

#include "core/decimal_text.h"

namespace relatix {

namespace {

constexpr const char* kStepsMessage = "Please enter a valid number of integer steps >0";

// The message for a refused side; sex is "" for one marker, "male " or
// "female " for all markers.
std::string refusal(MutationFieldError error, const std::string& sex) {
    switch (error) {
        case MutationFieldError::NoModel: return "Please specify a " + sex + "model";
        case MutationFieldError::Rate: return "Please enter a valid " + sex + "mutation rate";
        case MutationFieldError::Steps: return kStepsMessage;
        case MutationFieldError::SecondaryRate:
            return "Please enter a valid secondary " + sex + "mutation rate";
    }
    return {};
}

}  // namespace

MutationsPresenter::MutationsPresenter(Core& core, UserInterface& ui, int mapPosition,
                                       bool markerChosen)
    : core_(core), ui_(ui), mapPosition_(mapPosition), markerChosen_(markerChosen) {
    if (markerChosen_ && !marker()) markerChosen_ = false;
    auto fill = [](Side& side, const MutationSettings& settings) {
        side.model = settings.model > 0 && settings.model < static_cast<int>(modelOptions().size())
                         ? settings.model
                         : 0;
        side.texts = mutationSideTexts(settings);
    };
    if (markerChosen_) {
        fill(side_(MutationSide::Male), marker()->maleMutation);
        fill(side_(MutationSide::Female), marker()->femaleMutation);
    } else {
        MutationSettings none;
        none.model = 1;
        fill(side_(MutationSide::Male), none);
        fill(side_(MutationSide::Female), none);
    }
}

const std::vector<std::string>& MutationsPresenter::modelOptions() {
    static const std::vector<std::string> options = {"Select mutation model...",
                                                     "1. Simple model (Equal)", "2. N step model",
                                                     "3. Extended model"};
    return options;
}

void MutationsPresenter::selectModel(MutationSide side, int index) {
    if (index < 0 || index >= static_cast<int>(modelOptions().size())) return;
    side_(side).model = index;
    changed_ = true;
}

Marker* MutationsPresenter::marker() {
    std::vector<Marker>& markers = core_.markerMap.markers;
    if (mapPosition_ < 1 || mapPosition_ > static_cast<int>(markers.size())) return nullptr;
    return &markers[static_cast<size_t>(mapPosition_ - 1)];
}

void MutationsPresenter::save() {
    if (!markerChosen_) {
        ui_.error(
            "No marker/system selected. Please press \"Save to all\" or \"Close\" and select a "
            "marker to edit.");
        return;
    }
    Marker* target = marker();
    if (!target) return;
    const MutationSideReading male =
        readMutationSide(side_(MutationSide::Male).model, side_(MutationSide::Male).texts);
    if (!male.settings) {
        ui_.error(refusal(male.error, ""));
        return;
    }
    target->maleMutation = *male.settings;
    const MutationSideReading female =
        readMutationSide(side_(MutationSide::Female).model, side_(MutationSide::Female).texts);
    if (!female.settings) {
        ui_.error(refusal(female.error, ""));
        return;
    }
    target->femaleMutation = *female.settings;
    closeWith(DialogResult::Closed);
}

void MutationsPresenter::saveToAll() {
    if (ui_.messageBox(
            "Warning: This will change the mutation parameters for all existing markers, continue?",
            "Warning", MessageButtons::YesNo, MessageIcon::Warning) != Answer::Yes)
        return;
    const MutationSideReading male =
        readMutationSide(side_(MutationSide::Male).model, side_(MutationSide::Male).texts);
    if (!male.settings) {
        ui_.error(refusal(male.error, "male "));
        return;
    }
    for (Marker& m : core_.markerMap.markers) m.maleMutation = *male.settings;
    const MutationSideReading female =
        readMutationSide(side_(MutationSide::Female).model, side_(MutationSide::Female).texts);
    if (!female.settings) {
        ui_.error(refusal(female.error, "female "));
        return;
    }
    for (Marker& m : core_.markerMap.markers) m.femaleMutation = *female.settings;
    closeWith(DialogResult::Closed);
}

bool MutationsPresenter::differsFromStored(const Side& side, const MutationSettings& stored) const {
    // A field is compared as it would be shown, so that a value with more than six
    // significant digits does not count as changed merely by being displayed.
    auto differs = [](const std::string& text, double value) {
        const double typed = readDecimal(text);
        return typed != 0.0 && typed != readDecimal(formatGeneral(value, 6));
    };
    return differs(side.texts.rate, stored.rate) || differs(side.texts.range, stored.range) ||
           differs(side.texts.third, stored.rate2);
}

void MutationsPresenter::close() {
    bool change = changed_;
    const std::vector<Marker>& markers = core_.markerMap.markers;
    const Marker* reference = nullptr;
    if (markerChosen_)
        reference = marker();
    else if (!markers.empty())
        reference = &markers.front();
    if (reference) {
        change = change || differsFromStored(side_(MutationSide::Male), reference->maleMutation) ||
                 differsFromStored(side_(MutationSide::Female), reference->femaleMutation);
    }
    if (change && ui_.messageBox("End without saving changes?", "Warning", MessageButtons::YesNo,
                                 MessageIcon::Warning) == Answer::No)
        return;
    closeWith(DialogResult::Closed);
}

}  // namespace relatix
