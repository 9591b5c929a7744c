#include "persistence/marker_positions.h"

#include <filesystem>

#include "core/core.h"
#include "core/decimal_text.h"
#include "core/frequency_database.h"
#include "persistence/line_cursor.h"
#include "persistence/text_lines.h"

namespace relatix {

namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(
            line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

}  // namespace

const std::vector<MapEntry>& builtInMarkerTable() {
    static const std::vector<MapEntry> table = {
        {"D1S1656", 1, 244.2},   {"F13B", 1, 160},       {"TPOX", 2, 1.7},
        {"D2S1360", 2, 35.1},    {"D2S441", 2, 90.5},    {"D2S1338", 2, 223.5},
        {"D3S1358", 3, 16.2},    {"D3S1744", 3, 157.2},  {"D4S2366", 4, 12.9},
        {"FGA", 4, 156.8},       {"CSF1PO", 5, 154.4},   {"D5S2360", 5, 171},
        {"D5S2500", 5, 70.3},    {"D5S818", 5, 126.7},   {"D6S389", 6, 38},
        {"D6S474", 6, 118.7},    {"ACTBP2", 6, 95.4},    {"SE33", 6, 95.4},
        {"F13A01", 6, 6},        {"D6S1043", 6, 93},     {"D7S820", 7, 100.2},
        {"D7S1517", 7, 132.1},   {"D8S320", 8, 85},      {"D8S580", 8, 116},
        {"D8S639", 8, 16},       {"D8S1132", 8, 119.7},  {"LPL", 8, 19},
        {"D8S1179", 8, 136.4},   {"D9S1118", 9, 32},     {"D9S1120", 9, 68},
        {"PENTA_C", 9, 38},      {"PENTA C", 9, 38},     {"PENTAC", 9, 38},
        {"D10S1248", 10, 169.9}, {"D10S2325", 10, 27.8}, {"APOAI1", 11, 117},
        {"D11S554", 11, 45},     {"TH01", 11, 4.5},      {"THO1", 11, 4.5},
        {"D12S391", 12, 27.6},   {"vWA", 12, 15.6},      {"D12S1090", 12, 2.5},
        {"D13S317", 13, 79.8},   {"PENTA_E", 15, 95},    {"PENTA E", 15, 95},
        {"PENTAE", 15, 95},      {"FES-FPS", 15, 114},   {"D16S543", 16, 68},
        {"D16S539", 16, 130.6},  {"D17S976", 17, 18},    {"D17S906", 17, 6.6},
        {"D17S1290", 17, 51.7},  {"D18S51", 18, 88.9},   {"D19S433", 19, 48.9},
        {"D19S246", 19, 47.3},   {"D21S11", 21, 14.6},   {"PENTA_D", 21, 44},
        {"PENTA D", 21, 44},     {"PENTAD", 21, 44},     {"D21S2055", 21, 49.5},
        {"D22S1045", 22, 46.2},  {"D22S683", 22, 19.5},
    };
    return table;
}

MapEntry lookupBuiltInMarker(const std::string& name, bool quoted) {
    std::string key = name;
    if (quoted) key = key.size() >= 2 ? key.substr(1, key.size() - 2) : std::string();
    for (const MapEntry& entry : builtInMarkerTable())
        if (sameMarkerName(entry.name, key)) return entry;
    return {key, -1, 10000};
}

std::vector<MapEntry> parseMarkerPositions(const std::string& text) {
    std::vector<MapEntry> entries;
    const std::vector<std::string> lines = splitTextLines(text);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = splitTabs(lines[i]);
        if (fields.size() < 3) continue;
        const std::string name = trimmedName(fields[0]);
        if (name.empty()) continue;
        entries.push_back({name, leadingInteger(fields[1]), readDecimal(fields[2])});
    }
    return entries;
}

std::string formatMarkerPositions(const std::vector<MapEntry>& entries) {
    std::string text = "MARKER\tCHROMOSOME\tPOSITION\r\n";
    for (const MapEntry& entry : entries)
        text += entry.name + "\t" + std::to_string(entry.chromosome) + "\t" +
                formatGeneral(entry.position, 6) + "\r\n";
    return text;
}

std::vector<MapEntry> loadDefaultMarkerPositions(const std::string& programDirectory) {
    std::vector<std::string> candidates = {kMarkerPositionsFileName};
    if (!programDirectory.empty())
        candidates.push_back(
            (std::filesystem::path(programDirectory) / kMarkerPositionsFileName).string());
    for (const std::string& path : candidates) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) continue;
        const auto lines = readTextLines(path);
        if (!lines) continue;
        std::string text;
        for (const std::string& line : *lines) text += line + "\n";
        return parseMarkerPositions(text);
    }
    return {};
}

std::optional<MarkerPlace> findMarkerPosition(Core& core, UserInterface& ui,
                                              const std::vector<MapEntry>& table,
                                              const std::string& name) {
    for (const Marker& marker : core.markerMap.markers)
        if (sameMarkerName(marker.name, name))
            return MarkerPlace{marker.chromosome, marker.position};
    for (const MapEntry& entry : table) {
        if (!sameMarkerName(entry.name, name)) continue;
        addMarkerDefinition(core, ui, trimmedName(name), entry.chromosome, entry.position);
        return MarkerPlace{entry.chromosome, entry.position};
    }
    return std::nullopt;
}

}  // namespace relatix
