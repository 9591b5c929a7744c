#include "dialogs/view_data_presenter.h"

#include "core/core.h"
#include "persistence/genotype_export.h"
#include "reporting/marker_ratios.h"

namespace relatix {

std::vector<Person> ViewDataPresenter::personsFor(const Core& core, DataViewMode mode) {
    if (mode == DataViewMode::AncestryData) return core.ancestryPersons;
    if (core.mainHypothesis == kCreatedPedigrees) return core.genotypeTable.pedigreePersons;
    return core.persons;
}

ViewDataPresenter::ViewDataPresenter(const Core& core, UserInterface& ui, DataViewMode mode,
                                     int row)
    : core_(core),
      ui_(ui),
      mode_(mode),
      hypothesis_(chosenHypothesis(row)),
      persons_(personsFor(core, mode)),
      chromosomes_(dataViewChromosomes()) {
    rebuild();
}

void ViewDataPresenter::chooseChromosome(int index) {
    if (index < 0 || static_cast<size_t>(index) >= chromosomes_.size()) return;
    filter_.chromosome = chromosomes_[static_cast<size_t>(index)];
    rebuild();
}

void ViewDataPresenter::setMarkerName(const std::string& text) {
    filter_.name = text;
    rebuild();
}

void ViewDataPresenter::rebuild() {
    table_ = mode_ == DataViewMode::MarkerRatios ? markerRatioView(core_, hypothesis_, filter_)
                                                 : dnaDataView(core_, persons_, filter_);
}

void ViewDataPresenter::exportData() {
    FileDialogRequest request;
    request.filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.defaultExtension = "txt";
    request.initialFileName = core_.projectName;
    request.confirmOverwrite = true;
    const auto path = ui_.saveFileDialog(request);
    if (!path) return;
    const bool samplesAsRows = ui_.askYesNo(
        "Would you like to transpose the DNA data? (This will cause each row to represent a "
        "sample and each marker a column)");
    // The table holds the persons this view shows (the ancestry profiles, say),
    // which need not be the case's persons.
    Core shown;
    shown.markerMap = core_.markerMap;
    shown.persons = persons_;
    if (exportGenotypes(shown, *path, samplesAsRows) != AtomicWriteStatus::Written)
        ui_.error("Could not write " + *path);
}

}  // namespace relatix
