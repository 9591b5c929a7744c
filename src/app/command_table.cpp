#include "app/command_table.h"

namespace relatix {

const std::vector<MenuCommand>& menuCommands() {
    static const std::vector<MenuCommand> table = {
        {"File", "&New Wizard\tCtrl+N", CommandId::NewWizard},
        {"File", "New Project", CommandId::NewProject},
        {"File", "&Open...\tCtrl+O", CommandId::Open},
        {"File", "&Save\tCtrl+S", CommandId::Save},
        {"File", "Save &As...", CommandId::SaveAs},
        {"File", "Frequency database", CommandId::FrequencyDatabase},
        {"File", "Advanced", CommandId::Advanced},
        {"File", "E&xit", CommandId::Exit},
        {"Tools", "Select pedigree", CommandId::SelectPedigree},
        {"Tools", "Select hypotheses", CommandId::SelectHypotheses},
        {"Tools", "Enter DNA data", CommandId::EnterDnaData},
        {"Tools", "Results", CommandId::Results},
        {"Tools", "Find population", CommandId::FindPopulation},
        {"Tools", "cM <-> Theta (r)", CommandId::MapDistanceConversion},
        {"Tools", "Merlin analysis", CommandId::MerlinAnalysis},
        {"Tools", "Quick analysis", CommandId::QuickAnalysis},
        {"Help", "&About Relatix...", CommandId::About},
        {"Help", "&Getting started", CommandId::GettingStarted},
        {"Help", "&Manual", CommandId::Manual},
        {"Help", "&Webpage", CommandId::Webpage},
        {"Help", "How to &cite Relatix", CommandId::HowToCite},
    };
    return table;
}

std::string commandCaption(CommandId id) {
    for (const MenuCommand& command : menuCommands())
        if (command.id == id) return command.caption;
    return {};
}

}  // namespace relatix
