#include "persistence/database_import.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "core/core.h"
#include "core/decimal_text.h"
#include "core/frequency_database.h"
#include "persistence/database_files.h"
#include "persistence/import_questions.h"
#include "persistence/kovarian_file.h"
#include "persistence/line_cursor.h"
#include "persistence/marker_positions.h"
#include "persistence/text_lines.h"
#include "platform/user_interface.h"

namespace relatix {

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool kovarianHeader(const std::string& line) {
    return line.size() >= 21 && line.compare(1, 20, "Output from Kovarian") == 0;
}

struct TextSystem {
    std::string name;
    std::vector<Allele> alleles;
};

enum class TextKind { System, Empty, Kovarian };

// A system whose lines stop before its allele count or inside its alleles:
// the file, the line and the system.
TextKind readTextSystem(const std::vector<std::string>& lines, TextSystem& system,
                        const std::string& path, std::optional<std::string>& fault) {
    auto line = [&](size_t i) { return i < lines.size() ? lines[i] : std::string(); };
    const std::string first = line(0);
    if (kovarianHeader(first)) return TextKind::Kovarian;
    if (first.empty()) return TextKind::Empty;
    if (kovarianHeader(line(1))) return TextKind::Kovarian;
    system.name =
        trimmedName(first.size() >= 2 ? first.substr(1, first.size() - 2) : std::string());
    // Line 2 and eight more lines are not used; then the allele count and the alleles.
    size_t i = 10;
    const std::string item = "the system " + system.name;
    if (lines.size() <= i) {
        fault = endsInside(path, static_cast<int>(lines.size()), item + " before its allele count");
        return TextKind::System;
    }
    const double count = readDecimal(line(i++));
    for (double a = 0; a < count; ++a) {
        if (i + 1 >= lines.size()) {
            fault = endsInside(path, static_cast<int>(lines.size()),
                               item + " (" + std::to_string(static_cast<long long>(a)) + " of " +
                                   formatGeneral(count, 6) + " alleles read)");
            return TextKind::System;
        }
        const std::string entry = lines[i++];
        std::string name;
        if (!entry.empty() && entry[0] == '0')
            name = entry.size() > 2 ? entry.substr(2) : std::string();
        else
            name = entry.size() >= 2 ? entry.substr(1, entry.size() - 2) : std::string();
        system.alleles.push_back({name, readDecimal(line(i++))});
    }
    return TextKind::System;
}

}  // namespace

bool readDatabase(Core& core, UserInterface& ui, const std::string& path) {
    if (endsWith(path, "freq")) return importFreqFile(core, ui, path);
    if (endsWith(path, "map")) return importMapFile(core, ui, path);
    if (endsWith(path, "kov")) return readKovarianFile(core, ui, path);
    const auto lines = readTextLines(path);
    if (!lines) return false;
    TextSystem system;
    std::optional<std::string> fault;
    const TextKind kind = readTextSystem(*lines, system, path, fault);
    if (kind == TextKind::Kovarian) return readKovarianFile(core, ui, path);
    if (fault) {
        ui.messageBox(*fault, kApplicationTitle, MessageButtons::Ok, MessageIcon::Error);
        return false;
    }

    std::vector<SystemOffer> offers;
    if (kind == TextKind::System)
        offers.push_back({system.name, static_cast<int>(system.alleles.size())});
    const auto& ask = importQuestions().selectSystems;
    const std::optional<std::vector<int>> chosen =
        ask ? ask(ui, offers) : std::optional<std::vector<int>>();
    if (kind == TextKind::Empty) return false;
    if (!chosen || chosen->empty()) return false;
    if (!ui.askYesNo(kReplaceDatabaseQuestion)) return false;

    ClusterDatabase& db = core.clusterDatabase;
    db.clusters.clear();
    db.clusterNames.clear();
    core.genotypeTable.clear();

    // The chosen systems also become the active population, which the next
    // calculation rebuilds its database from.
    const std::string stem = std::filesystem::path(path).stem().string();
    int target = 0;
    for (size_t p = 0; p < core.populations.size(); ++p)
        if (core.populations[p].name == stem) target = static_cast<int>(p) + 1;
    if (target == 0) {
        Population population;
        population.name = stem;
        core.populations.push_back(std::move(population));
        target = static_cast<int>(core.populations.size());
    }
    const std::vector<MapEntry> table = loadDefaultMarkerPositions(core.programDirectory);
    for (int index : *chosen) {
        (void)index;  // a text database holds one system
        auto place = findMarkerPosition(core, ui, table, system.name);
        if (!place) {
            addMarkerDefinition(core, ui, system.name, -1, -1.0);
            place = MarkerPlace{-1, -1.0};
        }
        Cluster cluster;
        cluster.chromosome = place->chromosome - 1;
        ClusterSystem clusterSystem;
        clusterSystem.name = system.name;
        clusterSystem.position = place->position;
        for (const Allele& allele : system.alleles) {
            clusterSystem.alleleNames.push_back(allele.name);
            clusterSystem.frequencies.push_back(allele.frequency);
        }
        cluster.systems.push_back(std::move(clusterSystem));
        db.clusters.push_back(std::move(cluster));
        db.clusterNames.push_back(system.name);
        core.genotypeTable.addCluster();
        core.genotypeTable.addSystem(core.genotypeTable.clusterCount());

        Population& population = core.populations[static_cast<size_t>(target - 1)];
        Marker marker(system.name, place->chromosome, place->position);
        marker.alleles = system.alleles;
        if (Marker* existing = findMarker(population, system.name))
            *existing = std::move(marker);
        else
            population.markers.push_back(std::move(marker));
    }
    core.activePopulation = target;
    return true;
}

}  // namespace relatix
