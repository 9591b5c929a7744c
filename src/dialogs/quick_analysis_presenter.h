// "Run Quick Analysis": the Kovarian case files to analyse (several, separated by
// ";"), the marker map file, whether to open the reports, and the Analyse command.
#pragma once

#include <string>
#include <vector>

#include "analysis/quick_analysis.h"
#include "dialogs/modal_presenter.h"

namespace relatix {

inline constexpr const char* kQuickCaseFileFilter =
    "Kov/Txt Files (*.kov;*.txt)|*.kov;*.txt|All Files (*.*)|*.*||";
inline constexpr const char* kQuickMapFileFilter =
    "Map/Txt Files (*.map;*.txt)|*.map;*.txt|All Files (*.*)|*.*||";

class QuickAnalysisPresenter : public ModalPresenter {
public:
    QuickAnalysisPresenter(UserInterface& ui, std::string programDirectory);

    std::string title() const override { return "Run Quick Analysis"; }

    const std::string& caseFilesText() const { return values_.caseFiles; }
    void setCaseFilesText(const std::string& text) { values_.caseFiles = text; }
    const std::string& mapFileText() const { return values_.mapFile; }
    void setMapFileText(const std::string& text) { values_.mapFile = text; }
    bool openReport() const { return values_.openReport; }
    void setOpenReport(bool on) { values_.openReport = on; }

    // Several case files: the field becomes every chosen path followed by ";".
    void browseCaseFiles();
    // One map file: the field becomes its path.
    void browseMapFile();
    // Analyses every file of the field; the dialog stays open.
    void analyse();
    void close() { closeWith(DialogResult::Closed); }

    // The outcomes of the last Analyse, one per file name.
    const std::vector<QuickOutcome>& lastOutcomes() const { return outcomes_; }

private:
    UserInterface& ui_;
    QuickDialogValues values_;
    std::vector<QuickOutcome> outcomes_;
};

}  // namespace relatix
