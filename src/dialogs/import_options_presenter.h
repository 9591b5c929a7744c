// "Import options": where a sample of an imported file that matches no person
// of the case goes. The user picks one of the case's persons, or skips the sample.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dialogs/modal_presenter.h"

namespace relatix {

class ImportOptionsPresenter : public ModalPresenter {
public:
    ImportOptionsPresenter(UserInterface& ui, std::string sampleName,
                           std::vector<std::string> personNames);

    std::string title() const override { return "Import options"; }

    // The "Import person" group: "Name: " and the first 15 characters of the sample.
    std::string sampleText() const;
    const std::string& sampleName() const { return sampleName_; }

    // "Import to..." followed by "1. name", "2. name", ...
    std::vector<std::string> targetOptions() const;
    int targetChoice() const { return target_; }
    void chooseTarget(int index);

    // "Import name" (checked when the dialog opens): the person takes the sample's name.
    bool importName() const { return importName_; }
    void setImportName(bool checked) { importName_ = checked; }

    // "Import": refused with "Select person to import to" while "Import to..." is chosen.
    void importSample();
    void skip();

    // The chosen 1-based person once "Import" closed the dialog; nothing after "Skip".
    std::optional<int> chosenPerson() const;

private:
    UserInterface& ui_;
    std::string sampleName_;
    std::vector<std::string> personNames_;
    int target_ = 0;
    bool importName_ = true;
    bool imported_ = false;
};

}  // namespace relatix
