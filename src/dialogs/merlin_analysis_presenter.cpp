#include "dialogs/merlin_analysis_presenter.h"

#include "dialogs/simulation_results_presenter.h"
#include "platform/user_interface.h"

namespace relatix {

void MerlinAnalysisPresenter::chooseInput(std::string& field, const char* filter) {
    FileDialogRequest request;
    request.filter = filter;
    const auto chosen = ui_.openFileDialog(request);
    if (chosen && !chosen->empty()) field = chosen->front();
}

void MerlinAnalysisPresenter::choosePedigreeFile() {
    chooseInput(files.pedigreeFile, "Ped files (*.ped)|*.ped|All files (*.*)|*.*||");
}
void MerlinAnalysisPresenter::chooseDataFile() {
    chooseInput(files.dataFile, "Dat files (*.dat)|*.dat|All files (*.*)|*.*||");
}
void MerlinAnalysisPresenter::chooseFrequencyFile() {
    chooseInput(files.frequencyFile, "Freq files (*.freq)|*.freq|All files (*.*)|*.*||");
}
void MerlinAnalysisPresenter::chooseMapFile() {
    chooseInput(files.mapFile, "Map files (*.map)|*.map|All files (*.*)|*.*||");
}
void MerlinAnalysisPresenter::chooseSecondMapFile() {
    chooseInput(files.secondMapFile, "Map files (*.map)|*.map|All files (*.*)|*.*||");
}

void MerlinAnalysisPresenter::chooseOutputFile() {
    FileDialogRequest request;
    request.filter = "Txt files (*.txt)|*.txt|All files (*.*)|*.*||";
    request.confirmOverwrite = true;
    const auto chosen = ui_.saveFileDialog(request);
    if (chosen) files.outputFile = *chosen;
}

void MerlinAnalysisPresenter::simulate() {
    if (!analyseMerlinFiles(core_, ui_, files, numberOfSimulations, randomSeed, seed)) return;
    SimulationResultsPresenter results(core_, ui_);
    results.refresh();
    ui_.runDialog(results);
}

void openMerlinAnalysis(Core& core, UserInterface& ui) {
    ui.messageBox(kMerlinInstructions, "Instructions", MessageButtons::Ok,
                  MessageIcon::Information);
    MerlinAnalysisPresenter dialog(core, ui);
    ui.runDialog(dialog);
}

}  // namespace relatix
