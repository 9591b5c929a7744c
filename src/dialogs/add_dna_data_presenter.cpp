#include "dialogs/add_dna_data_presenter.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "core/allele_check.h"
#include "core/catalogue.h"
#include "core/frequency_database.h"
#include "dialogs/notification.h"
#include "dialogs/pedigree_pictures.h"
#include "dialogs/view_data_presenter.h"
#include "persistence/genotype_import.h"

namespace relatix {

namespace {

constexpr const char* kNoPopulationWarning =
    "No active population selected, most functions in this dialog will not work as "
    "intended.\n\nPlease select an active population before continuing";

DnaObservation* observationOf(Person& person, const std::string& markerName) {
    for (DnaObservation& observation : person.dna)
        if (observation.markerName == markerName) return &observation;
    return nullptr;
}

std::string genotypeText(const DnaObservation& observation) {
    return (observation.allele1.empty() ? "x" : observation.allele1) + ", " +
           (observation.allele2.empty() ? "x" : observation.allele2);
}

// The designation in an allele field: surrounding blanks are not part of it, and
// an empty field means no allele.
std::string fieldAllele(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "-";
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

bool sexLocked(int relationshipCode, int person) {
    switch (relationshipCode) {
        case 1:
        case 2:
        case 9:
        case 15:
        case 18:
        case 20:
        case 25:
        case 26: return person == 1;
        case 10:
        case 11:
        case 23: return person == 1 || person == 2;
        case 13: return person == 2;
        default: return false;
    }
}

AddDnaDataPresenter::AddDnaDataPresenter(UserInterface& ui) : ui_(ui) {}

void AddDnaDataPresenter::attach(Core& core) {
    core_ = &core;
    reopen(result());
    person_ = 0;
    marker_ = 0;
    name_.clear();
    male_ = true;
    alleleOptions_.clear();
    for (int slot = 0; slot < 2; ++slot) alleles_[slot] = loadedAlleles_[slot] = {};
    allelesLoaded_ = false;
    if (core.mainHypothesis == kCreatedPedigrees) lineUpGenotypeTable();
    if (!core.populationAt(core.activePopulation))
        ui_.messageBox(kNoPopulationWarning, "Warning", MessageButtons::Ok, MessageIcon::Warning);
    rebuildRows();
}

void AddDnaDataPresenter::clearResult() {
    reopen(DialogResult::Closed);
}

void AddDnaDataPresenter::lineUpGenotypeTable() {
    Core& core = *core_;
    GenotypeTable& table = core.genotypeTable;
    const std::vector<Person>& persons = table.pedigreePersons;
    core.resizeGenotypeTable(static_cast<int>(persons.size()));
    for (size_t k = 0; k < persons.size(); ++k) {
        const Person& person = persons[k];
        const int position = static_cast<int>(k) + 1;
        table.sexCodes.push_back(person.isMale ? 1 : 2);
        table.personNames.push_back(person.name);
        for (const DnaObservation& observation : person.dna) {
            table.setAlleleText(observation.clusterIndex, observation.systemIndex, position, 1,
                                observation.allele1);
            table.setAlleleText(observation.clusterIndex, observation.systemIndex, position, 2,
                                observation.allele2);
        }
    }
}

std::vector<Person*> AddDnaDataPresenter::shownPersons() const {
    std::vector<Person*> shown;
    if (!core_) return shown;
    if (core_->mainHypothesis == kCreatedPedigrees) {
        for (Person& person : core_->genotypeTable.pedigreePersons) shown.push_back(&person);
        return shown;
    }
    // The analysis persons are the first persons of the case.
    const size_t count = std::min(
        static_cast<size_t>(std::max(core_->genotypeTable.personCount, 0)), core_->persons.size());
    for (size_t i = 0; i < count; ++i) shown.push_back(&core_->persons[i]);
    return shown;
}

Person* AddDnaDataPresenter::chosenPerson() const {
    const std::vector<Person*> shown = shownPersons();
    if (person_ < 1 || person_ > static_cast<int>(shown.size())) return nullptr;
    return shown[static_cast<size_t>(person_ - 1)];
}

int AddDnaDataPresenter::sexCodeOf(int person) const {
    const std::vector<int>& codes = core_->genotypeTable.sexCodes;
    if (person >= 1 && person <= static_cast<int>(codes.size()))
        return codes[static_cast<size_t>(person - 1)];
    const Person* chosen = chosenPerson();
    return chosen && chosen->isMale ? 1 : 2;
}

void AddDnaDataPresenter::setSexCode(int person, bool male) {
    std::vector<int>& codes = core_->genotypeTable.sexCodes;
    if (person >= 1 && person <= static_cast<int>(codes.size()))
        codes[static_cast<size_t>(person - 1)] = male ? 1 : 2;
    if (Person* chosen = chosenPerson()) chosen->isMale = male;
}

std::string AddDnaDataPresenter::hypothesisLabel() const {
    if (!core_) return "Basic hypothesis";
    const int mode = core_->mainHypothesis;
    if (mode >= 0 && mode < kCatalogueCount)
        return "Basic hypothesis [" + catalogueName(mode + 1) + "]";
    if (mode == kCreatedPedigrees && !core_->createdPedigrees.empty())
        return "Basic hypothesis [" + core_->createdPedigrees.front().name + "]";
    return "Basic hypothesis";
}

std::string AddDnaDataPresenter::picturePath() const {
    if (!core_) return {};
    const int mode = core_->mainHypothesis;
    if (mode >= 0 && mode < kCatalogueCount)
        return existingPicture(cataloguePicturePath(*core_, mode + 1));
    if (mode == kCreatedPedigrees) return existingPicture(createdPedigreePicturePath(*core_, 1));
    return {};
}

std::vector<std::string> AddDnaDataPresenter::personOptions() const {
    std::vector<std::string> options = {"Select person..."};
    const std::vector<Person*> shown = shownPersons();
    for (size_t i = 0; i < shown.size(); ++i)
        options.push_back(std::to_string(i + 1) + ". " + shown[i]->name);
    return options;
}

std::vector<std::string> AddDnaDataPresenter::markerOptions() const {
    std::vector<std::string> options = {"-"};
    if (core_)
        for (const Marker& marker : core_->markerMap.markers) options.push_back(marker.name);
    return options;
}

const std::string& AddDnaDataPresenter::alleleText(int slot) const {
    static const std::string none;
    return slot == 1 || slot == 2 ? alleles_[slot - 1] : none;
}

void AddDnaDataPresenter::storeAlleles(Person& person, const std::string& markerName) {
    if (alleles_[0] == loadedAlleles_[0] && alleles_[1] == loadedAlleles_[1]) return;
    std::string first = checkAllele(*core_, ui_, fieldAllele(alleles_[0]), markerName);
    std::string second = checkAllele(*core_, ui_, fieldAllele(alleles_[1]), markerName);
    loadedAlleles_[0] = alleles_[0];
    loadedAlleles_[1] = alleles_[1];
    DnaObservation* existing = observationOf(person, markerName);
    if (first.empty() && second.empty()) {
        if (existing) person.dna.erase(person.dna.begin() + (existing - person.dna.data()));
        return;
    }
    // One allele typed stands for a homozygote.
    if (first.empty()) first = second;
    if (second.empty()) second = first;
    if (!existing) {
        DnaObservation observation;
        observation.markerName = markerName;
        person.dna.push_back(std::move(observation));
        existing = &person.dna.back();
    }
    existing->allele1 = std::move(first);
    existing->allele2 = std::move(second);
}

void AddDnaDataPresenter::storeCurrentEntry() {
    if (!core_) return;
    Person* person = chosenPerson();
    if (person) {
        const auto& markers = core_->markerMap.markers;
        if (allelesLoaded_ && marker_ >= 1 && marker_ <= static_cast<int>(markers.size()) &&
            core_->populationAt(core_->activePopulation)) {
            storeAlleles(*person, markers[static_cast<size_t>(marker_ - 1)].name);
        }
        person->name = name_;
        setSexCode(person_, male_);
        std::vector<std::string>& names = core_->genotypeTable.personNames;
        if (core_->mainHypothesis == kCreatedPedigrees && person_ <= static_cast<int>(names.size()))
            names[static_cast<size_t>(person_ - 1)] = name_;
    }
    rebuildRows();
}

void AddDnaDataPresenter::choosePerson(int index) {
    if (!core_) return;
    storeCurrentEntry();
    const int count = static_cast<int>(shownPersons().size());
    person_ = index >= 0 && index <= count ? index : 0;
    marker_ = 0;
    alleleOptions_.clear();
    for (int slot = 0; slot < 2; ++slot) alleles_[slot] = loadedAlleles_[slot] = {};
    allelesLoaded_ = false;
    name_.clear();
    if (const Person* person = chosenPerson()) {
        name_ = person->name;
        male_ = sexCodeOf(person_) == 1;
    }
    rebuildRows();
}

void AddDnaDataPresenter::setNameText(const std::string& text) {
    if (fieldsEnabled()) name_ = text;
}

void AddDnaDataPresenter::setMale(bool male) {
    if (!core_ || male == male_) return;
    if (!chosenPerson()) {
        male_ = male;
        return;
    }
    const int mode = core_->mainHypothesis;
    if (mode >= 0 && mode < kCatalogueCount && sexLocked(mode + 1, person_)) {
        notifyUser(ui_, "Cannot change gender of the current person");
        return;
    }
    male_ = male;
    setSexCode(person_, male_);
    rebuildRows();
}

void AddDnaDataPresenter::loadAlleles() {
    allelesLoaded_ = false;
    alleleOptions_.clear();
    for (int slot = 0; slot < 2; ++slot) alleles_[slot] = loadedAlleles_[slot] = {};
    if (marker_ < 1) return;
    Population* population = core_->populationAt(core_->activePopulation);
    if (!population) {
        ui_.error(
            "Could not detect any active population, please select one before editing "
            "allele data");
        return;
    }
    const std::string& markerName = core_->markerMap.markers[static_cast<size_t>(marker_ - 1)].name;
    if (!findMarker(*population, markerName)) {
        ui_.error(
            "Marker did not exist in the active population, select another population or "
            "add data");
        return;
    }
    alleleOptions_ = {"-"};
    for (std::string& name : alleleNames(*population, markerName))
        alleleOptions_.push_back(std::move(name));
    Person* person = chosenPerson();
    const DnaObservation* observation = person ? observationOf(*person, markerName) : nullptr;
    for (int slot = 0; slot < 2; ++slot) {
        const std::string stored =
            observation ? (slot == 0 ? observation->allele1 : observation->allele2) : "";
        // A designation the population lacks stays in the field as typed text, so
        // that storing the entry keeps it.
        alleles_[slot] = stored.empty() || stored == "-1.0" ? "-" : stored;
        loadedAlleles_[slot] = alleles_[slot];
    }
    allelesLoaded_ = true;
}

void AddDnaDataPresenter::chooseMarker(int index) {
    if (!core_ || !fieldsEnabled()) return;
    storeCurrentEntry();
    const int count = static_cast<int>(core_->markerMap.markers.size());
    marker_ = index >= 0 && index <= count ? index : 0;
    loadAlleles();
}

void AddDnaDataPresenter::activateGenotypeRow(int row) {
    chooseMarker(row + 1);
}

void AddDnaDataPresenter::typeAllele(int slot, const std::string& text) {
    if (allelesLoaded_ && (slot == 1 || slot == 2)) alleles_[slot - 1] = text;
}

void AddDnaDataPresenter::chooseAllele(int slot, int index) {
    if (!allelesLoaded_ || (slot != 1 && slot != 2)) return;
    if (index < 0 || index >= static_cast<int>(alleleOptions_.size())) return;
    alleles_[slot - 1] = alleleOptions_[static_cast<size_t>(index)];
    storeCurrentEntry();
}

void AddDnaDataPresenter::compare() {
    if (!core_) return;
    storeCurrentEntry();
    ViewDataPresenter view(*core_, ui_, DataViewMode::DnaData);
    ui_.runDialog(view);
}

void AddDnaDataPresenter::importData() {
    if (!core_) return;
    storeCurrentEntry();
    FileDialogRequest request;
    request.filter =
        "txt/csv/ped files (*.txt;*.ped;*.csv)|*.txt;*.ped;*.csv|All Files (*.*)|*.*||";
    const std::optional<std::vector<std::string>> chosen = ui_.openFileDialog(request);
    if (!chosen || chosen->empty()) return;
    const std::string& path = chosen->front();
    const std::string stem = std::filesystem::path(path).stem().string();
    // Every answer goes on with the import; only Yes renames the project.
    if (ui_.messageBox("Change project name to " + stem + "?", kApplicationTitle,
                       MessageButtons::YesNoCancel, MessageIcon::Question) == Answer::Yes)
        core_->setProjectName(stem);
    const GenotypeImportOutcome outcome = importGenotypes(*core_, ui_, path, false);
    if (!outcome.success) {
        ui_.messageBox(kImportFormatError, kImportErrorCaption, MessageButtons::Ok,
                       MessageIcon::Error);
        if (outcome.readingStarted) notifyUser(ui_, partialImportSummary(outcome));
    }
    // The import may have renamed the chosen person and changed its alleles.
    if (const Person* person = chosenPerson()) name_ = person->name;
    if (allelesLoaded_) loadAlleles();
    rebuildRows();
}

void AddDnaDataPresenter::rebuildRows() {
    rows_.clear();
    if (!core_) return;
    Person* person = chosenPerson();
    for (const Marker& marker : core_->markerMap.markers) {
        GenotypeRow row{marker.name, std::to_string(marker.chromosome), ""};
        if (person)
            if (const DnaObservation* observation = observationOf(*person, marker.name))
                row.genotype = genotypeText(*observation);
        rows_.push_back(std::move(row));
    }
}

void AddDnaDataPresenter::finish(DialogResult result) {
    storeCurrentEntry();
    closeWith(result);
}

void AddDnaDataPresenter::previous() {
    finish(DialogResult::Back);
}
void AddDnaDataPresenter::next() {
    finish(DialogResult::Next);
}
void AddDnaDataPresenter::close() {
    finish(DialogResult::Closed);
}

}  // namespace relatix
