#include "persistence/database_files.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "core/core.h"
#include "core/decimal_text.h"
#include "core/frequency_database.h"
#include "persistence/line_cursor.h"
#include "persistence/marker_positions.h"
#include "persistence/text_lines.h"
#include "platform/atomic_file.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"

namespace relatix {

namespace {

// Fields between separators; runs of separators count as one.
std::vector<std::string> fieldsOf(const std::string& line, char separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find(separator, start);
        if (end == std::string::npos) end = line.size();
        if (end > start) fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

std::string baseOf(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

}  // namespace

std::string fileStem(const std::string& path, size_t suffix) {
    const std::string name = std::filesystem::path(path).filename().string();
    return name.size() > suffix ? name.substr(0, name.size() - suffix) : std::string();
}

std::optional<size_t> populationToFill(Core& core, UserInterface& ui, const std::string& name) {
    for (size_t p = 0; p < core.populations.size(); ++p)
        if (core.populations[p].name == name) {
            if (ui.messageBox(kAppendFrequenciesQuestion, "Question", MessageButtons::YesNoCancel,
                              MessageIcon::Question) == Answer::Cancel)
                return std::nullopt;
            return p;
        }
    Population population;
    population.name = name;
    core.populations.push_back(std::move(population));
    return core.populations.size() - 1;
}

bool importFreqFile(Core& core, UserInterface& ui, const std::string& path) {
    const std::vector<MapEntry> table = loadDefaultMarkerPositions(core.programDirectory);
    const auto lines = readTextLines(path);
    if (!lines) {
        ui.error("Could not open freq file");
        return false;
    }
    TraceFile trace("openfreq");
    const char separator =
        !lines->empty() && lines->front().find('\t') != std::string::npos ? '\t' : ' ';

    // The blocks are read whole before the case changes: an allele line cut
    // before its frequency refuses the file, with its line.
    struct Block {
        std::string markerName;
        std::vector<Allele> alleles;
    };
    std::vector<Block> blocks;
    size_t i = 0;
    while (i < lines->size()) {
        const std::string& line = (*lines)[i++];
        if (line.empty() || line[0] != 'M') continue;
        const size_t cut = line.find(separator);
        std::string markerName = cut == std::string::npos ? std::string() : line.substr(cut + 1);
        Block block{trimmedName(markerName), {}};
        while (i < lines->size()) {
            const std::vector<std::string> fields = fieldsOf((*lines)[i], separator);
            if (fields.empty() || fields[0] != "A") break;
            ++i;
            if (fields.size() < 3) {
                const std::string fault =
                    i == lines->size() ? endsInside(path, static_cast<int>(i),
                                                    "the alleles of marker " + block.markerName)
                                       : damagedAt(path, static_cast<int>(i),
                                                   "an allele of marker " + block.markerName +
                                                       " has no frequency");
                ui.messageBox(fault, kApplicationTitle, MessageButtons::Ok, MessageIcon::Error);
                return false;
            }
            // A frequency is a probability: not a number, an infinity, a negative
            // value or one above 1 is a damaged entry, never a value to calculate with.
            const std::optional<double> frequency = parseDecimal(fields[2]);
            if (!frequency || !std::isfinite(*frequency) || *frequency < 0.0 || *frequency > 1.0) {
                ui.messageBox(damagedAt(path, static_cast<int>(i),
                                        "the frequency '" + fields[2] + "' of allele " + fields[1] +
                                            " of marker " + block.markerName +
                                            " is not a number from 0 to 1"),
                              kApplicationTitle, MessageButtons::Ok, MessageIcon::Error);
                return false;
            }
            block.alleles.push_back({fields[1], *frequency});
        }
        blocks.push_back(std::move(block));
    }

    const std::string name = fileStem(path, 5);
    const std::optional<size_t> found = populationToFill(core, ui, name);
    if (!found) return false;
    const size_t target = *found;

    for (Block& block : blocks) {
        const std::string& markerName = block.markerName;
        const auto place = findMarkerPosition(core, ui, table, markerName);
        if (!place) {
            trace << "Did not find marker: " << markerName << "\r\n";
            continue;
        }
        trace << "Found marker: " << markerName << "\r\n";
        Marker marker(markerName, place->chromosome, place->position);
        marker.alleles = std::move(block.alleles);
        core.populations[target].markers.push_back(std::move(marker));
    }
    return true;
}

bool importMapFile(Core& core, UserInterface& ui, const std::string& path) {
    ui.messageBox(kMapFormatNotice, kApplicationTitle, MessageButtons::Ok,
                  MessageIcon::Information);
    const auto lines = readTextLines(path);
    if (!lines) return false;
    // A line of a chromosome that stops before its position is a damaged entry;
    // it refuses the file before any marker is taken in.
    for (size_t i = 0; i < lines->size(); ++i) {
        const std::vector<std::string> fields = fieldsOf((*lines)[i], '\t');
        const int chromosome = fields.empty() ? 0 : leadingInteger(fields[0]);
        if (fields.size() >= 3 || chromosome < 1 || chromosome > 22) continue;
        const std::string entry =
            "the map entry" +
            (fields.size() == 2 ? " of " + trimmedName(fields[1]) : std::string());
        const std::string fault =
            i + 1 == lines->size()
                ? endsInside(path, static_cast<int>(i + 1), entry)
                : damagedAt(path, static_cast<int>(i + 1), entry + " has no position");
        ui.messageBox(fault, kApplicationTitle, MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    // Positions are checked before any marker is taken in: not a number, an
    // infinity or a negative position refuses the file with its line.
    struct Entry {
        std::string name;
        int chromosome;
        double position;
    };
    std::vector<Entry> entries;
    for (size_t i = 0; i < lines->size(); ++i) {
        const std::vector<std::string> fields = fieldsOf((*lines)[i], '\t');
        if (fields.size() < 3) continue;
        const int chromosome = leadingInteger(fields[0]);
        if (chromosome < 1 || chromosome > 22) continue;
        std::string position = fields[2];
        const size_t comma = position.find(',');
        if (comma != std::string::npos) position[comma] = '.';
        const std::string name = trimmedName(fields[1]);
        if (name.empty()) continue;
        const std::optional<double> cM = parseDecimal(trimmedName(position));
        if (!cM || !std::isfinite(*cM) || *cM < 0.0) {
            ui.messageBox(damagedAt(path, static_cast<int>(i + 1),
                                    "the position '" + fields[2] + "' of marker " + name +
                                        " is not a number of cM from 0 up"),
                          kApplicationTitle, MessageButtons::Ok, MessageIcon::Error);
            return false;
        }
        entries.push_back({name, chromosome, *cM});
    }
    for (const Entry& entry : entries)
        addMarkerDefinition(core, ui, entry.name, entry.chromosome, entry.position);
    return true;
}

bool exportDatabase(const Core& core, UserInterface& ui, const std::string& path) {
    const Population* population = core.populationAt(core.activePopulation);
    if (!population) {
        ui.error("Please select a population");
        return false;
    }
    const std::string base = baseOf(path);
    // The three texts are made first, then each file is written whole or not at
    // all, so that a full disk never leaves a cut file in place of a good one.
    std::string txt, map, freq;
    const char* end = "\r\n";
    auto g = [](double v) { return formatGeneral(v, 6); };
    for (const Marker& entry : core.markerMap.markers) {
        const Marker* marker = findMarker(*population, entry.name);
        if (!marker || marker->alleles.empty()) continue;
        txt += marker->name + end;
        freq += "M " + marker->name + end;
        for (const Allele& allele : marker->alleles) {
            txt += allele.name + "\t" + g(allele.frequency) + end;
            freq += "A " + allele.name + " " + g(allele.frequency) + end;
        }
        map +=
            std::to_string(entry.chromosome) + "\t" + entry.name + "\t" + g(entry.position) + end;
    }
    const std::pair<std::string, const std::string*> files[] = {
        {".txt", &txt}, {".map", &map}, {".freq", &freq}};
    // No structured binding here: a lambda may not capture one in every compiler.
    for (const auto& file : files) {
        const std::string& suffix = file.first;
        const std::string* text = file.second;
        std::string reason;
        const AtomicWriteStatus status = writeFileAtomically(
            base + suffix, [&](std::ostream& out) { out << *text; }, &reason);
        if (status == AtomicWriteStatus::CannotCreate) {
            ui.error("Could not open " + suffix.substr(1) + " file, aborting" +
                     (reason.empty() ? std::string() : ": " + reason));
            return false;
        }
        if (status != AtomicWriteStatus::Written) {
            ui.error("Could not write the exported files completely" +
                     (reason.empty() ? std::string() : ": " + reason));
            return false;
        }
    }
    return true;
}

}  // namespace relatix
