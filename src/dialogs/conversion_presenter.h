// "Conversion": converts one map distance into a recombination fraction or back
// under a chosen map function.
#pragma once

#include <string>
#include <vector>

#include "dialogs/modal_presenter.h"

namespace relatix {

class ConversionPresenter : public ModalPresenter {
public:
    explicit ConversionPresenter(UserInterface& ui) : ui_(ui) {}

    std::string title() const override { return "Conversion"; }

    // "Selected method...", "Haldane", "Kosambi", "Morgan"; the position is the
    // map function's number.
    static const std::vector<std::string>& methodOptions();
    int methodSelection() const { return method_; }
    void selectMethod(int index);

    // "cM -> Theta" (0) and "cM <- Theta" (1).
    static const std::vector<std::string>& directionOptions();
    int directionSelection() const { return direction_; }
    void selectDirection(int index);
    // The label between the two fields: "->" or "<-".
    std::string arrowLabel() const { return direction_ == 0 ? "->" : "<-"; }

    // "Distance (cM/Mb)" and "Theta (r)".
    const std::string& distanceText() const { return distance_; }
    void setDistanceText(const std::string& text) { distance_ = text; }
    const std::string& thetaText() const { return theta_; }
    void setThetaText(const std::string& text) { theta_ = text; }

    // Fills the field the arrow points to ("%.4f"); a source field that reads as 0
    // or as no number leaves it unchanged.
    void convert();
    void close() { closeWith(DialogResult::Closed); }

private:
    UserInterface& ui_;
    int method_ = 2;
    int direction_ = 0;
    std::string distance_ = "6.0";
    std::string theta_ = "0.1";
};

}  // namespace relatix
