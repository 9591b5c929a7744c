// "View data (Beta)": the persons' genotypes marker by marker, or the likelihood
// ratio of one hypothesis marker by marker, filtered by chromosome and marker
// name; Export writes the persons' genotypes as a table.
#pragma once

#include <string>
#include <vector>

#include "core/records.h"
#include "dialogs/modal_presenter.h"
#include "reporting/data_view.h"

namespace relatix {

class Core;

enum class DataViewMode { DnaData = 1, AncestryData = 2, MarkerRatios = 3 };

class ViewDataPresenter : public ModalPresenter {
public:
    // The persons the DNA data views show: the case's persons, the persons of the
    // created pedigrees in that mode, or the ancestry profiles.
    static std::vector<Person> personsFor(const Core& core, DataViewMode mode);

    // row: the results row the per-marker view shows (1-based, 0 for none: the
    // first hypothesis); the DNA data views ignore it.
    ViewDataPresenter(const Core& core, UserInterface& ui, DataViewMode mode, int row = 0);

    std::string title() const override { return "View data (Beta)"; }

    DataViewMode mode() const { return mode_; }
    const std::vector<std::string>& chromosomes() const { return chromosomes_; }
    const DataViewFilter& filter() const { return filter_; }
    void chooseChromosome(int index);
    void setMarkerName(const std::string& text);

    const DataViewTable& table() const { return table_; }
    // The hypothesis the per-marker view shows (0-based).
    int hypothesis() const { return hypothesis_; }

    // Asks for a file and whether to transpose, then writes the genotypes.
    void exportData();
    void close() { closeWith(DialogResult::Closed); }

private:
    void rebuild();

    const Core& core_;
    UserInterface& ui_;
    DataViewMode mode_;
    int hypothesis_;
    std::vector<Person> persons_;
    std::vector<std::string> chromosomes_;
    DataViewFilter filter_;
    DataViewTable table_;
};

}  // namespace relatix
