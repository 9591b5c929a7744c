#include "info_command.h"

#include <ostream>

#include "app/application.h"
#include "core/catalogue.h"
#include "core/core.h"
#include "core/hypothesis_labels.h"
#include "persistence/open_project.h"
#include "platform/console_user_interface.h"
#include "platform/program_folder.h"

namespace relatix::cli {

int printCaseInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    ConsoleUserInterface ui(err);
    Core core(programFolder());
    if (!openProject(core, path, ui)) {
        err << "relatix2-cli: cannot read the case file '" << path << "'\n";
        return 1;
    }
    core.setProjectName(projectNameFromFileName(path));
    err << "Read '" << path << "': " << core.populations.size() << " populations, "
        << core.markerMap.markers.size() << " markers, " << core.persons.size() << " persons\n";

    out << "Project: " << core.projectName << "\n";
    out << "Markers: " << core.markerMap.markers.size() << "\n";
    for (const Marker& m : core.markerMap.markers)
        out << "  " << m.name << "\tchromosome " << m.chromosome << "\t" << m.position << " cM\n";
    out << "Populations: " << core.populations.size() << "\n";
    for (const Population& p : core.populations) {
        out << "  " << p.name << "\t" << p.markers.size() << " markers\n";
        for (const Marker& m : p.markers)
            out << "    " << m.name << "\t" << m.alleles.size() << " alleles\n";
    }
    const Population* active = core.populationAt(core.activePopulation);
    out << "Active population: " << core.activePopulation;
    if (active) out << " (" << active->name << ")";
    out << "\n";
    out << "Persons: " << core.persons.size() << "\n";
    for (const Person& p : core.persons)
        out << "  " << p.name << "\t" << (p.isMale ? "Male" : "Female") << "\t" << p.dna.size()
            << " typed markers\n";
    const bool drawn = core.mainHypothesis == kCreatedPedigrees;
    if (drawn) {
        // The hypotheses are drawn pedigrees over persons of their own.
        const auto& persons = core.genotypeTable.pedigreePersons;
        out << "Persons of the drawn pedigrees: " << persons.size() << "\n";
        for (const Person& p : persons)
            out << "  " << p.name << "\t" << (p.isMale ? "Male" : "Female") << "\t" << p.dna.size()
                << " typed markers\n";
    }
    out << "Hypotheses: ";
    if (!drawn && (core.mainHypothesis < 0 || core.mainHypothesis >= kCatalogueCount)) {
        out << "none\n";
        return 0;
    }
    out << core.hypothesisCount() << "\n";
    for (int h = 0; h < core.hypothesisCount(); ++h)
        out << "  " << h + 1 << "\t" << hypothesisLabel(core, h + 1) << (h == 0 ? "\t(main)" : "")
            << "\n";
    return 0;
}

}  // namespace relatix::cli
