// "Set prior": the prior probability of each hypothesis of the case, opened from
// the results dialog on the hypothesis of its selected row.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

class SetPriorPresenter : public ModalPresenter {
public:
    // preselectedHypothesis: 1-based hypothesis to choose on opening, 0 for none.
    SetPriorPresenter(Core& core, UserInterface& ui, int preselectedHypothesis);

    std::string title() const override { return "Set prior"; }

    // "Select hypothesis..." followed by the name of every hypothesis of the case:
    // the main relationship and each chosen alternative, or the created pedigrees.
    std::vector<std::string> hypothesisOptions() const;
    int hypothesisChoice() const { return choice_; }
    // Choosing a hypothesis shows its stored prior.
    void chooseHypothesis(int index);

    // "Prior", four decimals when shown from the case.
    const std::string& priorText() const { return priorText_; }
    void setPriorText(const std::string& text) { priorText_ = text; }

    // "Set": stores the typed prior for the chosen hypothesis. A text that reads as
    // 0 (or as no number), or a value that is not finite, stores nothing.
    void set();
    void close() { closeWith(DialogResult::Closed); }

private:
    std::vector<std::string> hypothesisNames() const;

    Core& core_;
    int choice_ = 0;
    std::string priorText_;
};

}  // namespace relatix
