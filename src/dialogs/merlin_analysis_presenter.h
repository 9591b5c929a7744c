// "Analyze Merlin files": the user's pedigree, data, frequency and two map files,
// the output table, the number of simulations and the seed of a run that
// estimates likelihood-ratio distributions for the families of the pedigree
// file. "Simulate" checks the values, runs and shows the results window.
#pragma once

#include <string>

#include "dialogs/modal_presenter.h"
#include "tools/merlin_files.h"

namespace relatix {

class Core;

class MerlinAnalysisPresenter : public ModalPresenter {
public:
    MerlinAnalysisPresenter(Core& core, UserInterface& ui) : core_(core), ui_(ui) {}

    std::string title() const override { return "Analyze Merlin files"; }

    // Each field shows "Select file..." until a file is chosen; a cancelled
    // choice leaves it unchanged.
    MerlinFiles files;
    std::string numberOfSimulations = "1000";
    bool randomSeed = true;
    std::string seed;  // editable only while randomSeed is off
    bool seedEditable() const { return !randomSeed; }

    // "Ped file...", "Dat file...", "Freq file...", "Map file...", "Map2 file..."
    // (open dialogs) and "Out file..." (a save dialog).
    void choosePedigreeFile();
    void chooseDataFile();
    void chooseFrequencyFile();
    void chooseMapFile();
    void chooseSecondMapFile();
    void chooseOutputFile();

    // "Simulate" (analyseMerlinFiles): wrong values are refused with a message and
    // the dialog stays open; a completed run opens the simulation results.
    void simulate();
    void close() { closeWith(DialogResult::Closed); }

private:
    void chooseInput(std::string& field, const char* filter);

    Core& core_;
    UserInterface& ui_;
};

// The "Merlin analysis" command: the instructions, then the dialog.
void openMerlinAnalysis(Core& core, UserInterface& ui);

}  // namespace relatix
