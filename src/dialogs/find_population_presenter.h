// "Find closest population": the ancestry profiles of the case with the most
// likely population of each, the log likelihoods and posteriors of the selected
// profile, the import and removal of profiles, and the STRUCTURE, GenoGeographer
// and likelihood-table exports.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/closest_population.h"
#include "core/core.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

inline constexpr const char* kFindPopulationInstructions =
    "Start by importing persons, either from file or from the current Relatix project.\n"
    "Once import is complete, select a person from the list and the likelihoods for the complete "
    "profile will appear for all defined populations.\n"
    "There are also some export options available where the selected person will be plotted "
    "together with the defined populations";
inline constexpr const char* kImportSourceQuestion =
    "Do you want to import persons from the current Relatix project? (No will request a file to "
    "import from)";
inline constexpr const char* kProfileFileFilter =
    "csv/txt/ped files (*.txt;*.ped;*.csv)|*.txt;*.ped;*.csv|All Files (*.*)|*.*||";
inline constexpr const char* kStructureWarning =
    "This function will generate an output file for STRUCTURE containing the reference "
    "populations as well as the persons of interest.\n\nRelatix uses an ad-hoc procedure whereby "
    "genotypes (N=50) are simulated based on allele frequencies for each marker.";
inline constexpr const char* kOutputFileError = "Error when opening output file";

struct ProfileRow {
    std::string name;        // "Name/ID"
    std::string markers;     // "#Markers": the number of observations
    std::string mostLikely;  // "Most likely population": "<name> (<posterior>)"
};

struct PopulationResultRow {
    std::string population;     // "Population"
    std::string logLikelihood;  // "log likelihood", "%f"
    std::string posterior;      // "Posterior", "%f"
};

class FindPopulationPresenter : public ModalPresenter {
public:
    FindPopulationPresenter(Core& core, UserInterface& ui);

    std::string title() const override { return "Find closest population"; }
    static const std::vector<std::string>& profileHeadings();
    static const std::vector<std::string>& resultHeadings();

    const std::vector<ProfileRow>& profileRows() const { return profileRows_; }
    const std::vector<PopulationResultRow>& resultRows() const { return resultRows_; }
    // The results of the first selected profile, most likely first.
    const std::vector<PopulationResult>& results() const { return results_; }

    // Selected profiles, 0-based, any number; the first one's results are shown.
    void setSelectedProfiles(std::vector<int> rows);
    const std::vector<int>& selectedProfiles() const { return selected_; }

    void importProfiles();
    void removeProfiles();
    void viewProfiles();
    void exportStructure();
    void exportGenoGeographer();
    void exportLikelihoods();
    void close() { closeWith(DialogResult::Closed); }

    // Where the STRUCTURE export takes its seed from; by default a seed drawn from
    // the current time. Tests fix it.
    std::function<std::uint32_t()> structureSeed;

private:
    const MarkerIndexTable& markerTable();
    void refreshProfiles();
    void refreshResults();
    std::optional<std::string> askOutputFile(const char* filter, const char* extension,
                                             const std::string& initialName);

    Core& core_;
    UserInterface& ui_;
    MarkerIndexTable markerTable_;
    std::vector<ProfileRow> profileRows_;
    std::vector<int> selected_;
    std::vector<PopulationResult> results_;
    std::vector<PopulationResultRow> resultRows_;
};

// The "Find population" command: the instructions, then the dialog.
void openFindPopulation(Core& core, UserInterface& ui);

}  // namespace relatix
