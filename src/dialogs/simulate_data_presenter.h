// "Simulate data": the number of simulations, the seed and the raw-data option of
// a simulation run, opened from the results dialog. "Simulate" checks the typed
// values, runs the simulation and shows its results; "Results" shows the stored
// results without simulating.
#pragma once

#include <string>

#include "dialogs/modal_presenter.h"

namespace relatix {

class Core;

class SimulateDataPresenter : public ModalPresenter {
public:
    SimulateDataPresenter(Core& core, UserInterface& ui) : core_(core), ui_(ui) {}

    std::string title() const override { return "Simulate data"; }

    std::string numberOfSimulations = "1000";
    bool randomSeed = true;
    std::string seed;  // editable only while randomSeed is off
    bool saveRawData = false;
    bool seedEditable() const { return !randomSeed; }

    // "Simulate" (startSimulation): wrong values are refused with a message and
    // the dialog stays open.
    void simulate();
    // "Results": the results dialog on the stored simulations.
    void results();
    void close() { closeWith(DialogResult::Closed); }

private:
    Core& core_;
    UserInterface& ui_;
};

}  // namespace relatix
