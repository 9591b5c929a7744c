// "Full image": a larger view of the pedigree picture of one of the relationship
// codes the caller offers, chosen from a list.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

class FullImagePresenter : public ModalPresenter {
public:
    // codes: catalogue codes (1..26) in the order the list shows them; the first
    // is chosen when there is one.
    FullImagePresenter(const Core& core, std::vector<int> codes);

    std::string title() const override { return "Full image"; }

    // "Selected pedigree..." followed by the name of every offered code.
    std::vector<std::string> options() const;
    int selection() const { return selection_; }
    // Choosing entry 0 ("Selected pedigree...") keeps the picture shown so far.
    void select(int index);
    const std::vector<int>& codes() const { return codes_; }

    // The picture to show, "" for none (no choice yet, or a missing file).
    const std::string& picturePath() const { return picture_; }

    void close() { closeWith(DialogResult::Closed); }

private:
    const Core& core_;
    std::vector<int> codes_;
    int selection_ = 0;
    std::string picture_;
};

}  // namespace relatix
