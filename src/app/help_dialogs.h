// The small dialogs of the Help menu.
#pragma once

#include <string>
#include <vector>

#include "platform/presenter.h"
#include "relatix_version.h"

namespace relatix {

class UserInterface;

class AboutPresenter : public Presenter {
public:
    std::string title() const override { return "About Relatix2"; }
    std::string versionText() const { return std::string("Relatix2 Version ") + kRelatixVersion; }
};

// "How to cite Relatix": a format list and an Export button that has no export yet.
class HowToCitePresenter : public Presenter {
public:
    explicit HowToCitePresenter(UserInterface& ui) : ui_(ui) {}
    std::string title() const override { return "How to cite Relatix"; }
    const std::vector<std::string>& formats() const { return formats_; }
    int selectedFormat() const { return selected_; }
    void selectFormat(int index);
    void exportReference();

private:
    UserInterface& ui_;
    std::vector<std::string> formats_ = {"Select format...", "1. EndNote", "2. RefMan",
                                         "3. MEDLINE"};
    int selected_ = 0;
};

}  // namespace relatix
