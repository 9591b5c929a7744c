#include "dialogs/dna_data_view_presenter.h"

#include <algorithm>
#include <cctype>

#include "persistence/genotype_export.h"

namespace relatix {

namespace {

constexpr const char* kTextFileFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
constexpr const char* kTransposeQuestion =
    "Would you like to transpose the DNA data? (This will cause each row to represent a sample "
    "and each marker a column)";

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string dnaDataViewCell(const Person& person, const std::string& markerName) {
    for (const DnaObservation& observation : person.dna) {
        if (observation.markerName != markerName) continue;
        if (observation.allele1.empty() && observation.allele2.empty()) return {};
        const std::string& first =
            observation.allele1.empty() ? observation.allele2 : observation.allele1;
        const std::string& second = observation.allele2.empty() ? first : observation.allele2;
        return first + ", " + second;
    }
    return {};
}

DnaDataViewPresenter::DnaDataViewPresenter(const Core& core, const std::vector<Person>& persons,
                                           UserInterface& ui)
    : core_(core), persons_(persons), ui_(ui) {
    columns_ = {{"Marker", 80}, {"Chr", 40}};
    for (size_t p = 0; p < persons_.size(); ++p)
        columns_.push_back({std::to_string(p + 1) + ". " + persons_[p].name, 80});
    refill();
}

const std::vector<std::string>& DnaDataViewPresenter::chromosomeOptions() {
    static const std::vector<std::string> options = [] {
        std::vector<std::string> entries = {"All"};
        for (int c = 1; c <= 22; ++c) entries.push_back(std::to_string(c));
        return entries;
    }();
    return options;
}

void DnaDataViewPresenter::setChromosomeFilter(int index) {
    if (index < 0 || index >= static_cast<int>(chromosomeOptions().size())) return;
    chromosome_ = index;
    refill();
}

void DnaDataViewPresenter::setMarkerNameFilter(const std::string& text) {
    markerName_ = text;
    refill();
}

void DnaDataViewPresenter::refill() {
    rows_.clear();
    std::vector<std::string> gender = {"Gender", ""};
    for (const Person& person : persons_) gender.push_back(person.isMale ? "Male" : "Female");
    rows_.push_back(std::move(gender));
    for (const Marker& marker : core_.markerMap.markers) {
        if (chromosome_ != 0 && marker.chromosome != chromosome_) continue;
        if (!markerName_.empty() && !equalIgnoringCase(markerName_, marker.name)) continue;
        std::vector<std::string> row = {marker.name, std::to_string(marker.chromosome)};
        for (const Person& person : persons_) row.push_back(dnaDataViewCell(person, marker.name));
        rows_.push_back(std::move(row));
    }
}

void DnaDataViewPresenter::exportGenotypes() {
    FileDialogRequest request;
    request.filter = kTextFileFilter;
    request.defaultExtension = "txt";
    request.initialFileName = core_.projectName;
    request.confirmOverwrite = true;
    const auto path = ui_.saveFileDialog(request);
    if (!path) return;
    const bool samplesAsRows = ui_.askYesNo(kTransposeQuestion);
    // The table holds the persons this view shows, which need not be the case's persons.
    Core shown;
    shown.markerMap = core_.markerMap;
    shown.persons = persons_;
    if (relatix::exportGenotypes(shown, *path, samplesAsRows) != AtomicWriteStatus::Written)
        ui_.error("Error when opening output file");
}

}  // namespace relatix
