// The long-lived case dialogs of the wizard (pedigree selection, hypothesis
// selection, DNA entry, results). The application owns one of each, gives it the
// current Core every time it opens it, and reads how it ended (Next, Back or closed).
// Each is a modal presenter: the application reopens it before every showing.
#pragma once

#include <string>

#include "dialogs/modal_presenter.h"

namespace relatix {

class Core;

class CaseDialog : public ModalPresenter {
public:
    // Called each time a command opens the dialog; the Core must not be kept past it.
    virtual void attach(Core& core) = 0;
    // The results dialog is told the 1-based hypothesis its ratios are scaled against.
    virtual void setScalingHypothesis(int) {}
    // The pedigree selection is opened with a cleared result.
    virtual void clearResult() {}
};

// Stands in for a case dialog that this version does not build yet: it has the
// dialog's title and only closes, so the wizard around it can be driven.
class StandInCaseDialog : public CaseDialog {
public:
    explicit StandInCaseDialog(std::string title) : title_(std::move(title)) {}
    std::string title() const override { return title_; }
    void attach(Core& core) override { core_ = &core; }
    void setScalingHypothesis(int hypothesis) override { scalingHypothesis_ = hypothesis; }
    Core* attachedCore() const { return core_; }
    int scalingHypothesis() const { return scalingHypothesis_; }

private:
    std::string title_;
    Core* core_ = nullptr;
    int scalingHypothesis_ = 0;
};

}  // namespace relatix
