#include "app/application.h"

#include <filesystem>

#include "app/help_dialogs.h"
#include "app/install_case_dialogs.h"
#include "dialogs/advanced_settings_presenter.h"
#include "dialogs/conversion_presenter.h"
#include "dialogs/dialog_questions.h"
#include "dialogs/edit_markers_presenter.h"
#include "dialogs/find_population_presenter.h"
#include "dialogs/merlin_analysis_presenter.h"
#include "dialogs/quick_analysis_presenter.h"
#include "dialogs/results_presenter.h"

namespace relatix {

namespace {
constexpr const char* kNeedMainHypothesis = "First select a main hypothesis";
}

std::string projectNameFromFileName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = file.rfind('.');
    if (dot == std::string::npos) return {};
    return file.substr(0, dot);
}

Application::Application(UserInterface& ui, std::string programDirectory)
    : ui_(ui), programDirectory_(std::move(programDirectory)) {
    pedigreeSelection_ =
        std::make_unique<StandInCaseDialog>("Select basic hypothesis (Only one pedigree)");
    hypothesisSelection_ = std::make_unique<StandInCaseDialog>("Select alternative hypotheses");
    dnaEntry_ = std::make_unique<StandInCaseDialog>("Add DNA data");
    results_ = std::make_unique<ResultsPresenter>(ui_);
    core_ = std::make_unique<Core>(programDirectory_);
    installCaseDialogs(*this);
    installDialogQuestions();
    setTitleFromName("Untitled");
}

Application::~Application() = default;

void Application::replaceCore(std::unique_ptr<Core> core) {
    if (core) core_ = std::move(core);
}

void Application::attachPedigreeSelectionDialog(std::unique_ptr<CaseDialog> dialog) {
    if (dialog) pedigreeSelection_ = std::move(dialog);
}
void Application::attachHypothesisSelectionDialog(std::unique_ptr<CaseDialog> dialog) {
    if (dialog) hypothesisSelection_ = std::move(dialog);
}
void Application::attachDnaEntryDialog(std::unique_ptr<CaseDialog> dialog) {
    if (dialog) dnaEntry_ = std::move(dialog);
}
void Application::attachResultsDialog(std::unique_ptr<CaseDialog> dialog) {
    if (dialog) results_ = std::move(dialog);
}

void Application::setCommandHandler(CommandId id, CommandHandler handler) {
    for (auto& entry : handlers_) {
        if (entry.first == id) {
            entry.second = std::move(handler);
            return;
        }
    }
    handlers_.emplace_back(id, std::move(handler));
}

bool Application::hasCommandHandler(CommandId id) const {
    for (const auto& entry : handlers_)
        if (entry.first == id && entry.second) return true;
    return false;
}

void Application::setTitleFromName(const std::string& name) {
    title_ = "Relatix2 - " + name;
    ui_.setWindowTitle(title_);
}

bool Application::requireMainHypothesis() {
    if (core_->mainHypothesis != kNoHypothesis) return true;
    ui_.notify(kNeedMainHypothesis);
    return false;
}

bool Application::runCommand(CommandId id) {
    if (exitRequested_) return false;
    switch (id) {
        case CommandId::NewWizard:
        case CommandId::SelectPedigree: runWizard(WizardStep::SelectPedigree); return true;
        case CommandId::SelectHypotheses: runWizard(WizardStep::SelectHypotheses); return true;
        case CommandId::EnterDnaData: runWizard(WizardStep::EnterDnaData); return true;
        case CommandId::Results: runWizard(WizardStep::Results); return true;
        case CommandId::Exit: exitRequested_ = true; return false;
        case CommandId::NewProject: newProject(); return true;
        case CommandId::Open: openProjectFlow(); return true;
        case CommandId::Save: saveProjectFlow(); return true;
        case CommandId::SaveAs: saveProjectAs(); return true;
        case CommandId::About: about(); return true;
        case CommandId::GettingStarted: openGuide(kGettingStartedDocument); return true;
        case CommandId::Manual:
            ui_.notify("Currently unavailable - please visit the webpage for any information.");
            return true;
        case CommandId::Webpage:
            if (*kProductWebPage)
                ui_.openDocument(kProductWebPage);
            else
                openGuide(kGuidePage);
            return true;
        case CommandId::HowToCite: howToCite(); return true;
        case CommandId::FrequencyDatabase: {
            EditMarkersPresenter dialog(*core_, ui_);
            ui_.runDialog(dialog);
            return true;
        }
        case CommandId::Advanced: {
            AdvancedSettingsPresenter dialog(*core_, ui_);
            ui_.runDialog(dialog);
            return true;
        }
        case CommandId::MapDistanceConversion: {
            ConversionPresenter dialog(ui_);
            ui_.runDialog(dialog);
            return true;
        }
        case CommandId::QuickAnalysis: {
            QuickAnalysisPresenter dialog(ui_, programDirectory_);
            ui_.runDialog(dialog);
            return true;
        }
        case CommandId::MerlinAnalysis: openMerlinAnalysis(*core_, ui_); return true;
        case CommandId::FindPopulation: openFindPopulation(*core_, ui_); return true;
        default: break;
    }
    for (auto& entry : handlers_) {
        if (entry.first == id && entry.second) {
            entry.second(*this);
            return !exitRequested_;
        }
    }
    // A command whose work this build does not contain says so instead of doing nothing.
    ui_.messageBox("\"" + commandCaption(id).substr(0, commandCaption(id).find('\t')) +
                       "\" is not available in this version.",
                   "Notification", MessageButtons::Ok, MessageIcon::Information);
    return true;
}

void Application::runWizard(WizardStep first) {
    WizardStep step = first;
    while (step != WizardStep::None) step = runStep(step);
}

Application::WizardStep Application::runStep(WizardStep step) {
    switch (step) {
        case WizardStep::SelectPedigree: {
            pedigreeSelection_->reopen();
            pedigreeSelection_->attach(*core_);
            pedigreeSelection_->clearResult();
            const DialogResult result = ui_.runDialog(*pedigreeSelection_);
            return result == DialogResult::Next ? WizardStep::SelectHypotheses : WizardStep::None;
        }
        case WizardStep::SelectHypotheses: {
            if (!requireMainHypothesis()) return WizardStep::None;
            hypothesisSelection_->reopen();
            hypothesisSelection_->attach(*core_);
            const DialogResult result = ui_.runDialog(*hypothesisSelection_);
            if (result == DialogResult::Next) return WizardStep::EnterDnaData;
            if (result == DialogResult::Back) return WizardStep::SelectPedigree;
            return WizardStep::None;
        }
        case WizardStep::EnterDnaData: {
            if (!requireMainHypothesis()) return WizardStep::None;
            dnaEntry_->reopen();
            dnaEntry_->attach(*core_);
            const DialogResult result = ui_.runDialog(*dnaEntry_);
            setTitleFromName(core_->projectName);
            if (result == DialogResult::Next) return WizardStep::Results;
            if (result == DialogResult::Back) return WizardStep::SelectHypotheses;
            return WizardStep::None;
        }
        case WizardStep::Results: {
            if (!requireMainHypothesis()) return WizardStep::None;
            core_->initialisePriors();
            results_->reopen();
            results_->attach(*core_);
            results_->setScalingHypothesis(core_->referenceHypothesis + 1);
            const DialogResult result = ui_.runDialog(*results_);
            if (result == DialogResult::Back)
                return core_->mainHypothesis == kUnusedHypothesisMode ? WizardStep::SelectPedigree
                                                                      : WizardStep::EnterDnaData;
            return WizardStep::None;
        }
        case WizardStep::None: break;
    }
    return WizardStep::None;
}

void Application::about() {
    AboutPresenter about;
    ui_.runDialog(about);
}

void Application::openGuide(const char* fileName) {
    // Opened by its absolute path: the working directory stays where it was.
    const std::string path = (std::filesystem::path(programDirectory_) / fileName).string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        ui_.error("The getting-started guide " + path + " is missing");
        return;
    }
    if (!ui_.openDocument(path))
        ui_.error("The getting-started guide " + path + " could not be opened");
}

void Application::howToCite() {
    ui_.notify(
        "Please note: the references relates to the old version of Relatix. New reference will be "
        "added once version 2 has been published.");
    HowToCitePresenter dialog(ui_);
    ui_.runDialog(dialog);
}

}  // namespace relatix
