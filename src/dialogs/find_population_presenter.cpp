#include "dialogs/find_population_presenter.h"

#include <algorithm>

#include "analysis/population_exports.h"
#include "core/decimal_text.h"
#include "dialogs/view_data_presenter.h"
#include "persistence/genotype_import.h"
#include "simulation/simulation_run.h"

namespace relatix {

namespace {

constexpr const char* kTextFileFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
constexpr const char* kCsvFileFilter = "Csv Files (*.csv)|*.csv|All Files (*.*)|*.*||";

bool isPedFile(const std::string& path) {
    return path.size() >= 4 && path.compare(path.size() - 4, 4, ".ped") == 0;
}

}  // namespace

FindPopulationPresenter::FindPopulationPresenter(Core& core, UserInterface& ui)
    : structureSeed([] { return simulationSeed(true, {}); }), core_(core), ui_(ui) {
    refreshProfiles();
}

const std::vector<std::string>& FindPopulationPresenter::profileHeadings() {
    static const std::vector<std::string> headings = {"Name/ID", "#Markers",
                                                      "Most likely population"};
    return headings;
}

const std::vector<std::string>& FindPopulationPresenter::resultHeadings() {
    static const std::vector<std::string> headings = {"Population", "log likelihood", "Posterior"};
    return headings;
}

const MarkerIndexTable& FindPopulationPresenter::markerTable() {
    if (!markerTable_.built()) markerTable_ = MarkerIndexTable(core_);
    return markerTable_;
}

void FindPopulationPresenter::refreshProfiles() {
    profileRows_.clear();
    for (const Person& profile : core_.ancestryPersons) {
        ProfileRow row{profile.name, std::to_string(profile.dna.size()), {}};
        const auto results = populationLikelihoods(core_, markerTable(), profile, true);
        if (!results.empty())
            row.mostLikely =
                results.front().population + " (" + formatFixed(results.front().posterior, 6) + ")";
        profileRows_.push_back(std::move(row));
    }
    std::erase_if(selected_, [&](int r) { return r >= static_cast<int>(profileRows_.size()); });
    refreshResults();
}

void FindPopulationPresenter::refreshResults() {
    results_.clear();
    resultRows_.clear();
    if (selected_.empty()) return;
    const Person& profile = core_.ancestryPersons[static_cast<size_t>(selected_.front())];
    results_ = populationLikelihoods(core_, markerTable(), profile, true);
    for (const PopulationResult& result : results_)
        resultRows_.push_back({result.population, formatFixed(result.logLikelihood, 6),
                               formatFixed(result.posterior, 6)});
}

void FindPopulationPresenter::setSelectedProfiles(std::vector<int> rows) {
    std::erase_if(rows, [&](int r) { return r < 0 || r >= static_cast<int>(profileRows_.size()); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    selected_ = std::move(rows);
    refreshResults();
}

void FindPopulationPresenter::importProfiles() {
    const Answer answer = ui_.messageBox(kImportSourceQuestion, "Import option",
                                         MessageButtons::YesNo, MessageIcon::Question);
    if (answer == Answer::Yes) {
        if (!copyProjectPersonsToProfiles(core_))
            ui_.messageBox(kNoProjectPersonsMessage, "Error", MessageButtons::Ok,
                           MessageIcon::Error);
    } else {
        FileDialogRequest request;
        request.filter = kProfileFileFilter;
        const auto paths = ui_.openFileDialog(request);
        if (paths && !paths->empty()) {
            // A pedigree file is read into the case's own persons, never into profiles.
            if (isPedFile(paths->front()))
                ui_.messageBox(
                    "Ancestry profiles cannot be read from a .ped file: use a delimited table "
                    "(.txt, .csv) or a PGM Genotyper export",
                    kImportErrorCaption, MessageButtons::Ok, MessageIcon::Error);
            else if (!importGenotypes(core_, ui_, paths->front(), true).success)
                ui_.messageBox(kImportFormatError, kImportErrorCaption, MessageButtons::Ok,
                               MessageIcon::Error);
        }
    }
    refreshProfiles();
}

void FindPopulationPresenter::removeProfiles() {
    if (selected_.empty()) {
        ui_.notify("Select profiles to remove");
        return;
    }
    for (auto it = selected_.rbegin(); it != selected_.rend(); ++it)
        core_.ancestryPersons.erase(core_.ancestryPersons.begin() + *it);
    selected_.clear();
    refreshProfiles();
}

void FindPopulationPresenter::viewProfiles() {
    ViewDataPresenter view(core_, ui_, DataViewMode::AncestryData);
    ui_.runDialog(view);
}

std::optional<std::string> FindPopulationPresenter::askOutputFile(const char* filter,
                                                                  const char* extension,
                                                                  const std::string& initialName) {
    FileDialogRequest request;
    request.filter = filter;
    request.defaultExtension = extension;
    request.initialFileName = initialName;
    request.confirmOverwrite = true;
    return ui_.saveFileDialog(request);
}

namespace {

// False, with the message shown, when the file was not written.
bool reportWrite(UserInterface& ui, AtomicWriteStatus status, const std::string& path) {
    if (status == AtomicWriteStatus::Written) return true;
    if (status == AtomicWriteStatus::CannotCreate)
        ui.messageBox(kOutputFileError, "Error", MessageButtons::Ok, MessageIcon::Error);
    else
        ui.messageBox("Error when writing output file " + path + ": nothing was written", "Error",
                      MessageButtons::Ok, MessageIcon::Error);
    return false;
}

}  // namespace

void FindPopulationPresenter::exportStructure() {
    ui_.messageBox(kStructureWarning, "Warning", MessageButtons::Ok, MessageIcon::Warning);
    const auto path = askOutputFile(kTextFileFilter, "txt", core_.projectName);
    if (!path) return;
    const std::uint32_t seed = structureSeed();
    if (!reportWrite(ui_, exportStructureFile(core_, seed, *path), *path)) return;
    std::string text = "The STRUCTURE file was written with the random seed " +
                       std::to_string(seed) +
                       ".\nrelatix2-cli closest-population with --structure and --seed " +
                       std::to_string(seed) + " draws the same reference individuals.";
    if (const std::string renamed = structureRenamesText(structureRenames(core_)); !renamed.empty())
        text += "\n\n" + renamed;
    ui_.messageBox(text, "Information", MessageButtons::Ok, MessageIcon::Information);
}

void FindPopulationPresenter::exportGenoGeographer() {
    if (selected_.empty()) {
        ui_.notify("Select profiles to export");
        return;
    }
    const Person& profile = core_.ancestryPersons[static_cast<size_t>(selected_.front())];
    const auto path = askOutputFile(kCsvFileFilter, "csv", profile.name);
    if (!path) return;
    reportWrite(ui_, exportGenoGeographerFile(core_, profile, *path), *path);
}

void FindPopulationPresenter::exportLikelihoods() {
    // The most likely population of every profile is computed when the list is filled.
    if (core_.ancestryPersons.empty() || core_.populations.empty()) {
        ui_.messageBox("No likelihoods have been computed yet", "Error", MessageButtons::Ok,
                       MessageIcon::Error);
        return;
    }
    const auto path = askOutputFile(kTextFileFilter, "txt", core_.projectName);
    if (!path) return;
    reportWrite(ui_, exportLikelihoodTable(core_, *path), *path);
}

void openFindPopulation(Core& core, UserInterface& ui) {
    ui.messageBox(kFindPopulationInstructions, "Instructions", MessageButtons::Ok,
                  MessageIcon::Information);
    FindPopulationPresenter dialog(core, ui);
    ui.runDialog(dialog);
}

}  // namespace relatix
