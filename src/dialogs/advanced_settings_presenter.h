// "Advanced settings": the threshold, steps and lump-alleles flag of each of the
// 26 catalogue relationships, edited row by row or for all rows at once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

struct PedigreeSettingsRow {
    std::string pedigree;     // "Pedigree": the catalogue name in its two-line form
    std::string threshold;    // "Threshold", "%.6g"
    std::string steps;        // "Steps"
    std::string lumpAlleles;  // "Lump alleles": "Yes" or "No"
};

class AdvancedSettingsPresenter : public ModalPresenter {
public:
    AdvancedSettingsPresenter(Core& core, UserInterface& ui);

    std::string title() const override { return "Advanced settings"; }
    struct Column {
        std::string heading;
        int width;
    };
    static const std::vector<Column>& columns();

    // One row per catalogue code, 1 to 26 from the top.
    const std::vector<PedigreeSettingsRow>& rows() const { return rows_; }
    void refresh();
    // The selected row, 0-based; -1 for none.
    int selectedRow() const { return selected_; }
    void selectRow(int row);

    // The "Settings" group.
    const std::string& editedName() const { return editedName_; }
    const std::string& thresholdText() const { return thresholdText_; }
    void setThresholdText(const std::string& text) { thresholdText_ = text; }
    const std::string& stepsText() const { return stepsText_; }
    void setStepsText(const std::string& text) { stepsText_ = text; }
    bool lumpAlleles() const { return lumpAlleles_; }
    void setLumpAlleles(bool lump) { lumpAlleles_ = lump; }
    // The row being edited, 0-based; nothing before Edit and after an update.
    std::optional<int> editedRow() const { return edited_; }

    void edit();
    // A click on a row selects it and edits it.
    void activateRow(int row);
    void update();
    void updateAll();
    void create();
    void displayImage();
    void close() { closeWith(DialogResult::Closed); }

private:
    struct Values {
        int steps;
        double threshold;
    };
    std::optional<Values> validate();
    void finishUpdate();

    Core& core_;
    UserInterface& ui_;
    std::vector<PedigreeSettingsRow> rows_;
    int selected_ = -1;
    std::optional<int> edited_;
    std::string editedName_;
    std::string thresholdText_;
    std::string stepsText_;
    bool lumpAlleles_ = false;
};

}  // namespace relatix
