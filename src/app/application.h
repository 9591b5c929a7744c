// The application object: owns the one Core and the long-lived dialogs, runs the
// menu commands, chains the four case dialogs into a wizard and keeps the main
// window's title.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/command_table.h"
#include "core/core.h"
#include "dialogs/case_dialog.h"
#include "platform/user_interface.h"

namespace relatix {

#ifndef RELATIX_WEBPAGE
#define RELATIX_WEBPAGE ""
#endif
// The product web page chosen at build time; empty when none was given, and
// Webpage then opens the guide's HTML page of the program folder.
inline constexpr const char* kProductWebPage = RELATIX_WEBPAGE;
inline constexpr const char* kGettingStartedDocument = "Gettingstarted_relatix2.pdf";
inline constexpr const char* kGuidePage = "Gettingstarted_relatix2.html";
inline constexpr const char* kSaveFileFilter = "Save Files (*.sav)|*.sav||All Files (*.*)|*.*||";
inline constexpr const char* kOpenFileFilter =
    "Save Files (*.sav)|*.sav|Kovarian Files (*.kov)|*.kov|All Files (*.*)|*.*||";

// The project name of a file: its name without the folder, up to its last ".";
// a name without "." gives "".
std::string projectNameFromFileName(const std::string& path);

class Application {
public:
    Application(UserInterface& ui, std::string programDirectory);
    ~Application();

    Core& core() { return *core_; }
    UserInterface& ui() { return ui_; }
    // Replaces the Core by a fresh one (between commands only).
    void replaceCore(std::unique_ptr<Core> core);

    // The long-lived case dialogs; each is a stand-in until its presenter is attached.
    CaseDialog& pedigreeSelectionDialog() { return *pedigreeSelection_; }
    CaseDialog& hypothesisSelectionDialog() { return *hypothesisSelection_; }
    CaseDialog& dnaEntryDialog() { return *dnaEntry_; }
    CaseDialog& resultsDialog() { return *results_; }
    void attachPedigreeSelectionDialog(std::unique_ptr<CaseDialog> dialog);
    void attachHypothesisSelectionDialog(std::unique_ptr<CaseDialog> dialog);
    void attachDnaEntryDialog(std::unique_ptr<CaseDialog> dialog);
    void attachResultsDialog(std::unique_ptr<CaseDialog> dialog);

    // A menu command's operation, for commands that later parts of the program
    // provide (the frequency database, file flows, tools). Replaces any earlier one.
    using CommandHandler = std::function<void(Application&)>;
    void setCommandHandler(CommandId id, CommandHandler handler);
    bool hasCommandHandler(CommandId id) const;

    // Runs one menu command. Returns false once Exit has been chosen.
    bool runCommand(CommandId id);
    bool exitRequested() const { return exitRequested_; }

    // Sets the main window's title to "Relatix2 - " plus the name.
    void setTitleFromName(const std::string& name);
    const std::string& windowTitle() const { return title_; }

    // The file commands. saveProjectFlow returns false when the user cancels
    // the file dialog; with updateBookkeeping false it leaves the project's
    // name, path and the title as they are.
    void newProject();
    bool saveProjectFlow(bool updateBookkeeping = true);
    void saveProjectAs();
    void openProjectFlow();

private:
    enum class WizardStep { None, SelectPedigree, SelectHypotheses, EnterDnaData, Results };
    void runWizard(WizardStep first);
    WizardStep runStep(WizardStep step);
    bool requireMainHypothesis();
    // Opens a document of the program folder by its absolute path, or says
    // that it is missing.
    void openGuide(const char* fileName);
    void howToCite();
    void about();

    UserInterface& ui_;
    std::string programDirectory_;
    std::unique_ptr<Core> core_;
    std::unique_ptr<CaseDialog> pedigreeSelection_;
    std::unique_ptr<CaseDialog> hypothesisSelection_;
    std::unique_ptr<CaseDialog> dnaEntry_;
    std::unique_ptr<CaseDialog> results_;
    std::vector<std::pair<CommandId, CommandHandler>> handlers_;
    std::string title_;
    bool exitRequested_ = false;
};

}  // namespace relatix
