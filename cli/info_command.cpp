#include "info_command.h"

#include <ostream>

#include "app/application.h"
#include "core/core.h"
#include "engine/catalogue.h"
#include "persistence/open_project.h"
#include "platform/console_user_interface.h"
#include "platform/program_folder.h"

namespace relatix::cli {

namespace {

std::string hypothesisName(const Core& core, int position) {
    const int code = core.mainHypothesis + 1;
    if (position == 0) return catalogueName(code, NameSeparator::Space);
    const std::vector<int> alternatives = catalogueAlternatives(code);
    const int k = core.alternativeHypotheses[static_cast<size_t>(position - 1)];
    if (k < 0 || k >= static_cast<int>(alternatives.size())) return "?";
    return catalogueName(alternatives[static_cast<size_t>(k)], NameSeparator::Space);
}

}  // namespace

int printCaseInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    ConsoleUserInterface ui(err);
    Core core(programFolder());
    if (!openProject(core, path, ui)) {
        err << "relatix2-cli: cannot read the case file '" << path << "'\n";
        return 1;
    }
    core.setProjectName(projectNameFromFileName(path));

    out << "Project: " << core.projectName << "\n";
    out << "Markers: " << core.markerMap.markers.size() << "\n";
    for (const Marker& m : core.markerMap.markers)
        out << "  " << m.name << "\tchromosome " << m.chromosome << "\t" << m.position << " cM\n";
    out << "Populations: " << core.populations.size() << "\n";
    for (const Population& p : core.populations)
        out << "  " << p.name << "\t" << p.markers.size() << " markers\n";
    const Population* active = core.populationAt(core.activePopulation);
    out << "Active population: " << core.activePopulation;
    if (active) out << " (" << active->name << ")";
    out << "\n";
    out << "Persons: " << core.persons.size() << "\n";
    for (const Person& p : core.persons)
        out << "  " << p.name << "\t" << (p.isMale ? "Male" : "Female") << "\t" << p.dna.size()
            << " typed markers\n";
    out << "Hypotheses: ";
    if (core.mainHypothesis < 0 || core.mainHypothesis >= kCatalogueCount) {
        out << "none\n";
        return 0;
    }
    out << core.hypothesisCount() << "\n";
    for (int h = 0; h < core.hypothesisCount(); ++h)
        out << "  " << h + 1 << "\t" << hypothesisName(core, h) << (h == 0 ? "\t(main)" : "")
            << "\n";
    return 0;
}

}  // namespace relatix::cli
