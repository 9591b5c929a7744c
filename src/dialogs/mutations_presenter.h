// "Mutations": the male and female mutation models of one marker of the marker
// map, saved for that marker or for every marker.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/modal_presenter.h"
#include "tools/mutation_settings.h"

namespace relatix {

enum class MutationSide { Male = 0, Female = 1 };

class MutationsPresenter : public ModalPresenter {
public:
    // mapPosition: the 1-based marker of the marker map; markerChosen false (or a
    // position outside the map) opens the dialog with no marker, for "Save to all".
    MutationsPresenter(Core& core, UserInterface& ui, int mapPosition, bool markerChosen);

    std::string title() const override { return "Mutations"; }

    // "Select mutation model...", "1. Simple model (Equal)", "2. N step model",
    // "3. Extended model"; the position is the model number.
    static const std::vector<std::string>& modelOptions();
    int modelSelection(MutationSide side) const { return side_(side).model; }
    // A choice of the list; also marks the dialog as changed.
    void selectModel(MutationSide side, int index);

    const MutationSideTexts& texts(MutationSide side) const { return side_(side).texts; }
    void setRateText(MutationSide side, const std::string& text) { side_(side).texts.rate = text; }
    void setRangeText(MutationSide side, const std::string& text) {
        side_(side).texts.range = text;
    }
    void setThirdText(MutationSide side, const std::string& text) {
        side_(side).texts.third = text;
    }

    // Field states: "Rate:" with any model, "Range:" and the third field with
    // models 2 and 3; the third label is "Steps (N):" for model 2, else "Rate 2:".
    bool rateEnabled(MutationSide side) const { return modelSelection(side) > 0; }
    bool rangeEnabled(MutationSide side) const { return modelSelection(side) >= 2; }
    bool thirdEnabled(MutationSide side) const { return modelSelection(side) >= 2; }
    std::string thirdLabel(MutationSide side) const {
        return modelSelection(side) == 2 ? "Steps (N):" : "Rate 2:";
    }

    bool markerChosen() const { return markerChosen_; }
    bool changed() const { return changed_; }

    void save();
    void saveToAll();
    // Asks before closing when a field or a model list differs from the stored settings.
    void close();

private:
    struct Side {
        int model = 0;
        MutationSideTexts texts;
    };
    Side& side_(MutationSide side) { return sides_[static_cast<int>(side)]; }
    const Side& side_(MutationSide side) const { return sides_[static_cast<int>(side)]; }
    Marker* marker();
    bool differsFromStored(const Side& side, const MutationSettings& stored) const;

    Core& core_;
    UserInterface& ui_;
    int mapPosition_;
    bool markerChosen_;
    Side sides_[2];
    bool changed_ = false;
};

}  // namespace relatix
