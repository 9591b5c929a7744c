// "Add DNA data": the persons of the case one at a time, their names, sexes and
// two alleles per marker of the marker map. The third step of the case wizard.
// In the created-pedigree mode it shows the pedigree persons, otherwise the
// case's analysis persons.
#pragma once

#include <string>
#include <vector>

#include "core/core.h"
#include "dialogs/case_dialog.h"
#include "platform/user_interface.h"

namespace relatix {

struct GenotypeRow {
    std::string marker;      // "Marker"
    std::string chromosome;  // "Chr"
    std::string genotype;    // "Genotype": "a, b" ("x" for an empty allele), "" when untyped
};

// True when the sex of the 1-based person of a catalogue relationship (code 1..26)
// is fixed by the relationship.
bool sexLocked(int relationshipCode, int person);

class AddDnaDataPresenter : public CaseDialog {
public:
    explicit AddDnaDataPresenter(UserInterface& ui);

    std::string title() const override { return "Add DNA data"; }
    // Forgets the last person and marker, lines up the genotype table with the
    // pedigree persons in the created mode, and warns when no population is active.
    void attach(Core& core) override;
    void clearResult() override;

    // "Basic hypothesis [name]", or "Basic hypothesis" without a main hypothesis.
    std::string hypothesisLabel() const;
    // The relationship picture, or the plot of created pedigree 1; "" for none.
    std::string picturePath() const;

    // "Select person..." followed by "1. name", "2. name", ...
    std::vector<std::string> personOptions() const;
    int personChoice() const { return person_; }
    void choosePerson(int index);

    // The name field, enabled only while a person is chosen.
    const std::string& nameText() const { return name_; }
    void setNameText(const std::string& text);
    bool male() const { return male_; }
    // Refused with a notification for a person whose sex the relationship fixes.
    void setMale(bool male);

    // "-" followed by the names of the marker map.
    std::vector<std::string> markerOptions() const;
    int markerChoice() const { return marker_; }
    void chooseMarker(int index);
    // A double-click on a row of the genotype list chooses its marker.
    void activateGenotypeRow(int row);

    // The allele fields: "-" and the active population's alleles of the chosen
    // marker; a new designation may be typed in instead of choosing one.
    const std::vector<std::string>& alleleOptions() const { return alleleOptions_; }
    const std::string& alleleText(int slot) const;
    void typeAllele(int slot, const std::string& text);
    // Choosing an entry of the list stores the entry at once.
    void chooseAllele(int slot, int index);
    bool fieldsEnabled() const { return person_ > 0; }

    const std::vector<GenotypeRow>& genotypeRows() const { return rows_; }

    // "Import data": asks for a genotype file and whether the project takes its
    // name, imports it into the case's persons and reports a failed import.
    void importData();
    // "Compare": the DNA data view of the persons shown.
    void compare();

    void previous();
    void next();
    void close();

private:
    std::vector<Person*> shownPersons() const;
    Person* chosenPerson() const;
    int sexCodeOf(int person) const;
    void setSexCode(int person, bool male);
    void lineUpGenotypeTable();
    // Writes the fields to the chosen person and rebuilds the genotype list.
    void storeCurrentEntry();
    void storeAlleles(Person& person, const std::string& markerName);
    void loadAlleles();
    void rebuildRows();
    void finish(DialogResult result);

    UserInterface& ui_;
    Core* core_ = nullptr;
    int person_ = 0;
    int marker_ = 0;
    std::string name_;
    bool male_ = true;
    std::vector<std::string> alleleOptions_;
    std::string alleles_[2];
    // The field texts as last loaded or stored; unchanged fields are not written
    // back, so that merely looking at a marker never alters an observation.
    std::string loadedAlleles_[2];
    // True while the allele fields hold the chosen person's alleles of the chosen
    // marker; only then are they written back.
    bool allelesLoaded_ = false;
    std::vector<GenotypeRow> rows_;
};

}  // namespace relatix
