// "Populations": the populations of the case with their marker counts; removing
// and merging them.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

struct PopulationRow {
    std::string population;  // "Population"
    std::string markers;     // "Markers": the number of markers
};

class PopulationsPresenter : public ModalPresenter {
public:
    PopulationsPresenter(Core& core, UserInterface& ui);

    std::string title() const override { return "Populations"; }
    static const std::vector<std::string>& columnHeadings();

    void refresh();
    const std::vector<PopulationRow>& rows() const { return rows_; }

    // Selected rows, 0-based, any number of them.
    void setSelectedRows(std::vector<int> rows);
    const std::vector<int>& selectedRows() const { return selected_; }

    // Removes the selected population (the first one when several are selected).
    void remove();
    // Merges the selected populations into the first of them.
    void merge();
    // "Import": reads the chosen frequency files into the populations.
    void importPopulations();
    void exportPopulations();
    void close() { closeWith(DialogResult::Closed); }

private:
    Core& core_;
    UserInterface& ui_;
    std::vector<PopulationRow> rows_;
    std::vector<int> selected_;
};

}  // namespace relatix
