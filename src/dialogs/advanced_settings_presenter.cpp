#include "dialogs/advanced_settings_presenter.h"

#include <climits>

#include "core/catalogue.h"
#include "core/decimal_text.h"
#include "dialogs/full_image_presenter.h"

namespace relatix {

namespace {

// Steps: decimal digits only, and a value an int can hold.
std::optional<int> readSteps(const std::string& text) {
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > INT_MAX) return std::nullopt;
    }
    return static_cast<int>(value);
}

}  // namespace

AdvancedSettingsPresenter::AdvancedSettingsPresenter(Core& core, UserInterface& ui)
    : core_(core), ui_(ui) {
    refresh();
}

const std::vector<AdvancedSettingsPresenter::Column>& AdvancedSettingsPresenter::columns() {
    static const std::vector<Column> columns = {
        {"Pedigree", 170}, {"Threshold", 90}, {"Steps", 70}, {"Lump alleles", 90}};
    return columns;
}

void AdvancedSettingsPresenter::refresh() {
    rows_.clear();
    const PedigreeSettings& settings = core_.pedigreeSettings;
    for (int i = 0; i < kCatalogueCount; ++i) {
        const size_t k = static_cast<size_t>(i);
        PedigreeSettingsRow row;
        row.pedigree = catalogueName(i + 1, NameSeparator::LineBreak);
        row.threshold =
            k < settings.threshold.size() ? formatGeneral(settings.threshold[k], 6) : "";
        row.steps = k < settings.steps.size() ? std::to_string(settings.steps[k]) : "";
        row.lumpAlleles = k < settings.lumpAlleles.size() && settings.lumpAlleles[k] ? "Yes" : "No";
        rows_.push_back(std::move(row));
    }
}

void AdvancedSettingsPresenter::selectRow(int row) {
    selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

void AdvancedSettingsPresenter::edit() {
    if (selected_ < 0) {
        ui_.error("Please select a pedigree to edit");
        return;
    }
    const PedigreeSettings& settings = core_.pedigreeSettings;
    const size_t k = static_cast<size_t>(selected_);
    edited_ = selected_;
    stepsText_ = k < settings.steps.size() ? std::to_string(settings.steps[k]) : "";
    thresholdText_ = k < settings.threshold.size() ? formatGeneral(settings.threshold[k], 6) : "";
    editedName_ = catalogueName(selected_ + 1, NameSeparator::LineBreak);
    lumpAlleles_ = k < settings.lumpAlleles.size() && settings.lumpAlleles[k];
}

void AdvancedSettingsPresenter::activateRow(int row) {
    selectRow(row);
    edit();
}

std::optional<AdvancedSettingsPresenter::Values> AdvancedSettingsPresenter::validate() {
    const std::optional<int> steps = readSteps(stepsText_);
    if (!steps) {
        ui_.error("Steps must be an integer >=0");
        return std::nullopt;
    }
    const double threshold = readDecimal(thresholdText_);
    if (!(threshold > 0.0)) {
        ui_.error("Threshold must be a double >0.0");
        return std::nullopt;
    }
    if (!(threshold < 1.0)) {
        ui_.error("Threshold must be a value <1.0");
        return std::nullopt;
    }
    return Values{*steps, threshold};
}

void AdvancedSettingsPresenter::finishUpdate() {
    refresh();
    thresholdText_.clear();
    stepsText_.clear();
    editedName_.clear();
    lumpAlleles_ = false;
    edited_.reset();
}

void AdvancedSettingsPresenter::update() {
    if (!edited_) return;
    const std::optional<Values> values = validate();
    if (!values) return;
    PedigreeSettings& settings = core_.pedigreeSettings;
    const size_t k = static_cast<size_t>(*edited_);
    if (k < settings.steps.size()) settings.steps[k] = values->steps;
    if (k < settings.threshold.size()) settings.threshold[k] = values->threshold;
    if (k < settings.lumpAlleles.size()) settings.lumpAlleles[k] = lumpAlleles_;
    finishUpdate();
}

void AdvancedSettingsPresenter::updateAll() {
    if (ui_.messageBox(
            "This action will update all pedigrees with the specified settings, continue?",
            "Warning", MessageButtons::YesNo, MessageIcon::Warning) != Answer::Yes)
        return;
    const std::optional<Values> values = validate();
    if (!values) return;
    PedigreeSettings& settings = core_.pedigreeSettings;
    settings.steps.assign(kCatalogueCount, values->steps);
    settings.threshold.assign(kCatalogueCount, values->threshold);
    settings.lumpAlleles.assign(kCatalogueCount, lumpAlleles_);
    finishUpdate();
}

void AdvancedSettingsPresenter::create() {
    ui_.messageBox("Feature not activated yet", "Notification", MessageButtons::Ok,
                   MessageIcon::Information);
}

void AdvancedSettingsPresenter::displayImage() {
    if (selected_ < 0) {
        ui_.messageBox("Select pedigree first", "Notification", MessageButtons::Ok,
                       MessageIcon::Information);
        return;
    }
    FullImagePresenter image(core_, {selected_ + 1});
    ui_.runDialog(image);
}

}  // namespace relatix
