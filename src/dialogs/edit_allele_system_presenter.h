// "Edit allele system": one marker-map entry and the same marker in one
// population: its name, genetic position and chromosome, and its alleles with
// their frequencies.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

struct AlleleRow {
    std::string name;       // "Name"
    std::string frequency;  // "Frequency", eight significant digits
};

class EditAlleleSystemPresenter : public ModalPresenter {
public:
    // mapPosition: the 1-based marker-map entry to edit; it must exist. Works on the
    // active population; without one a population "Unnamed" is created for it.
    EditAlleleSystemPresenter(Core& core, UserInterface& ui, int mapPosition);

    std::string title() const override { return "Edit allele system"; }
    static const std::vector<std::string>& columnHeadings();

    // The population (1-based) and the marker the dialog works on.
    int populationPosition() const { return populationPosition_; }
    Marker& mapEntry();
    const Marker& mapEntry() const;
    Marker& marker();
    const Marker& marker() const;

    // Applied to the map entry and the marker only by close().
    const std::string& systemName() const { return systemName_; }
    void setSystemName(const std::string& text) { systemName_ = text; }
    const std::string& geneticPosition() const { return geneticPosition_; }
    void setGeneticPosition(const std::string& text) { geneticPosition_ = text; }

    // "1" ... "22"; the selection is the chromosome minus 1, -1 when the entry's
    // chromosome is outside 1..22. A choice is written at once to both markers.
    static const std::vector<std::string>& chromosomeOptions();
    int chromosomeSelection() const;
    void selectChromosome(int index);

    void refresh();
    const std::vector<AlleleRow>& alleleRows() const { return rows_; }
    // The selected allele row, 0-based; -1 for none.
    int selectedAllele() const { return selected_; }
    void selectAllele(int row);

    // The "Add allele" group.
    const std::string& newAlleleName() const { return newName_; }
    void setNewAlleleName(const std::string& text) { newName_ = text; }
    const std::string& newAlleleFrequency() const { return newFrequency_; }
    void setNewAlleleFrequency(const std::string& text) { newFrequency_ = text; }

    void add();
    // Moves the selected allele into the "Add allele" fields, out of the marker.
    void edit();
    // A double-click on an allele row.
    void activateAllele(int row);
    void remove();
    // "Mutations": the mutation settings of this marker-map entry.
    void mutations();
    // Applies name and position; stays open when the position is not valid.
    void close();
    // Closes without applying name and position (the window's close box).
    void dismiss() { closeWith(DialogResult::Cancel); }

private:
    Core& core_;
    UserInterface& ui_;
    int mapPosition_;
    int populationPosition_ = 0;
    size_t markerIndex_ = 0;
    std::string systemName_;
    std::string geneticPosition_;
    std::vector<AlleleRow> rows_;
    int selected_ = -1;
    std::string newName_;
    std::string newFrequency_;
};

}  // namespace relatix
