// "Edit markers", the frequency database dialog: the marker map with the active
// population's alleles, the choice and naming of the active population, theta,
// and the commands that add, edit, remove and strand-check markers.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Rows are coloured only while a population is active: present in it or not.
enum class MarkerRowColour { Default, InPopulation, NotInPopulation };
inline constexpr Rgb kInPopulationColour{0, 153, 0};
inline constexpr Rgb kNotInPopulationColour{255, 0, 0};

struct MarkerRow {
    int mapPosition = 0;      // 1-based position of the marker in the marker map
    std::string marker;       // "Marker/Locus"
    std::string chromosome;   // "Chromosome"; "X" for 23
    std::string position;     // "Position", four decimals
    std::string alleleCount;  // "Number of alleles" in the active population
    std::string alleles;      // "Alleles": the active population's allele names, joined by ","
    MarkerRowColour colour = MarkerRowColour::Default;
};

class EditMarkersPresenter : public ModalPresenter {
public:
    EditMarkersPresenter(Core& core, UserInterface& ui);

    std::string title() const override { return "Edit markers"; }
    static const std::vector<std::string>& columnHeadings();
    static Rgb rgbOf(MarkerRowColour colour);

    // Sorts the marker map and rebuilds the visible rows; clears the selection.
    void refresh();
    const std::vector<MarkerRow>& rows() const { return rows_; }
    // Selected rows, 0-based indices into rows(), any number of them.
    void setSelectedRows(std::vector<int> rows);
    void selectRow(int row) { setSelectedRows({row}); }
    const std::vector<int>& selectedRows() const { return selected_; }

    // Chromosome filter: "All", "1" ... "22"; index 0 shows every chromosome.
    static const std::vector<std::string>& chromosomeFilterOptions();
    int chromosomeFilter() const { return chromosomeFilter_; }
    void setChromosomeFilter(int index);
    // "Marker id/name:": when not empty only markers of that name (ignoring case) show.
    const std::string& markerNameFilter() const { return nameFilter_; }
    void setMarkerNameFilter(const std::string& text);

    // "Select population..." followed by the population names; the selection is
    // the active population (0 = none).
    std::vector<std::string> populationOptions() const;
    int populationSelection() const { return core_.activePopulation; }
    void selectPopulation(int index);

    // "Population name": renames the active population with each change.
    const std::string& populationName() const { return populationName_; }
    void setPopulationName(const std::string& text);
    // "Theta/Fst": a value from 0 to below 1 becomes the theta of the active
    // population and of the cluster database (an empty text is 0); nothing is
    // changed without an active population. The field is edited keystroke by
    // keystroke, so a refused value (no number, or out of range) and an unusually
    // large one (above 0.1, taken) are told by a note beside the field instead of
    // a message box; the note is empty otherwise.
    const std::string& thetaText() const { return thetaText_; }
    void setThetaText(const std::string& text);
    const std::string& thetaNote() const { return thetaNote_; }

    void add();
    void edit();
    // A double-click on a row.
    void activateRow(int row);
    void remove();
    void flipScan();
    // "Import": reads the chosen database files; "Export": writes the active
    // population as a text, a freq and a map file.
    void importDatabases();
    void exportDatabases();
    void populations();
    // "Options": the general frequency parameters; the theta field shows what it saved.
    void options();
    // "Mutations" for the marker of the (first) selected row; with none selected
    // the dialog opens with no marker chosen.
    void mutations();
    void close() { closeWith(DialogResult::Closed); }

private:
    // Fills the name and theta fields from the core.
    void refreshFields();
    bool showsMarker(const Marker& marker) const;
    MarkerRow rowOf(int mapPosition) const;
    void editAlleleSystem(int mapPosition);

    Core& core_;
    UserInterface& ui_;
    std::vector<MarkerRow> rows_;
    std::vector<int> selected_;
    int chromosomeFilter_ = 0;
    std::string nameFilter_;
    std::string populationName_;
    std::string thetaText_;
    std::string thetaNote_;
};

}  // namespace relatix
