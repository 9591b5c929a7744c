#include "dialogs/import_options_presenter.h"

namespace relatix {

ImportOptionsPresenter::ImportOptionsPresenter(UserInterface& ui, std::string sampleName,
                                               std::vector<std::string> personNames)
    : ui_(ui), sampleName_(std::move(sampleName)), personNames_(std::move(personNames)) {}

std::string ImportOptionsPresenter::sampleText() const {
    return "Name: " + sampleName_.substr(0, 15);
}

std::vector<std::string> ImportOptionsPresenter::targetOptions() const {
    std::vector<std::string> options = {"Import to..."};
    for (size_t i = 0; i < personNames_.size(); ++i)
        options.push_back(std::to_string(i + 1) + ". " + personNames_[i]);
    return options;
}

void ImportOptionsPresenter::chooseTarget(int index) {
    target_ = index >= 0 && index <= static_cast<int>(personNames_.size()) ? index : 0;
}

void ImportOptionsPresenter::importSample() {
    if (target_ < 1) {
        ui_.error("Select person to import to");
        return;
    }
    imported_ = true;
    closeWith(DialogResult::Ok);
}

void ImportOptionsPresenter::skip() {
    imported_ = false;
    closeWith(DialogResult::Cancel);
}

std::optional<int> ImportOptionsPresenter::chosenPerson() const {
    if (!imported_ || target_ < 1) return std::nullopt;
    return target_;
}

}  // namespace relatix
