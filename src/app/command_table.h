// The menu commands of the main window: menu, caption (a tab separates the
// shortcut text) and the operation each runs.
#pragma once

#include <string>
#include <vector>

namespace relatix {

enum class CommandId {
    NewWizard,
    NewProject,
    Open,
    Save,
    SaveAs,
    FrequencyDatabase,
    Advanced,
    Exit,
    SelectPedigree,
    SelectHypotheses,
    EnterDnaData,
    Results,
    FindPopulation,
    MapDistanceConversion,
    MerlinAnalysis,
    QuickAnalysis,
    About,
    GettingStarted,
    Manual,
    Webpage,
    HowToCite,
};

struct MenuCommand {
    std::string menu;
    std::string caption;
    CommandId id;
};

// Every command in menu order.
const std::vector<MenuCommand>& menuCommands();
// The caption of a command ("" for none).
std::string commandCaption(CommandId id);

}  // namespace relatix
