#include "analysis/quick_case.h"

#include <algorithm>
#include <filesystem>

#include "core/decimal_text.h"
#include "persistence/line_cursor.h"
#include "persistence/text_lines.h"
#include "platform/trace_file.h"

namespace relatix {

namespace {

constexpr const char* kTrue = "#TRUE#";

std::string unquoted(const std::string& line) {
    return line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string();
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::optional<std::vector<MapEntry>> mapFromFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    TextFile file = readTextFile(path);
    if (!file.text) return std::nullopt;
    return parseQuickMarkerMap(*file.text);
}

// The numbers of a map line after the name: a whole number, then a decimal one.
bool mapNumbers(const std::string& rest, int& chromosome, double& position) {
    size_t p = 0;
    auto word = [&]() {
        while (p < rest.size() && isBlank(rest[p])) ++p;
        const size_t start = p;
        while (p < rest.size() && !isBlank(rest[p])) ++p;
        return rest.substr(start, p - start);
    };
    const std::optional<long long> c = parseInteger(word());
    const std::optional<double> x = parseDecimal(word());
    if (!c || !x || *c < -1000000 || *c > 1000000) return false;
    chromosome = static_cast<int>(*c);
    position = *x;
    return true;
}

std::string recordText(const QuickPerson& person, const QuickDnaRecord& r) {
    return "the DNA record of " + person.name + " for system index " + std::to_string(r.system) +
           " (allele indexes " + std::to_string(r.firstAllele) + " and " +
           std::to_string(r.secondAllele) + ")";
}

}  // namespace

std::vector<MapEntry> parseQuickMarkerMap(const std::string& text) {
    std::vector<MapEntry> entries;
    const std::vector<std::string> lines = splitTextLines(text);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) break;
        MapEntry entry;
        entry.name = line.substr(0, tab);
        if (!mapNumbers(line.substr(tab + 1), entry.chromosome, entry.position)) break;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<MapEntry> loadQuickMarkerMap(const std::string& mapPath,
                                         const std::string& programDirectory) {
    // A map that places no marker would make every ratio 1: the next one is taken.
    if (auto map = mapFromFile(mapPath); map && !map->empty()) return *map;
    if (auto map = mapFromFile(kMarkerPositionsFileName); map && !map->empty()) return *map;
    if (!programDirectory.empty()) {
        const std::string inProgramFolder =
            (std::filesystem::path(programDirectory) / kMarkerPositionsFileName).string();
        if (auto map = mapFromFile(inProgramFolder); map && !map->empty()) return *map;
    }
    return builtInMarkerTable();
}

Status checkQuickMarkerMap(const std::string& mapPath) {
    if (mapPath.empty() || mapPath == "Default") return {};
    const std::optional<std::vector<MapEntry>> map = mapFromFile(mapPath);
    if (!map) return Status::failure("Could not read the map file " + mapPath);
    if (map->empty())
        return Status::failure("The map file " + mapPath +
                               " gives no marker a position (a header line, then lines of "
                               "name, tab, chromosome and position)");
    return {};
}

QuickCaseRead readQuickCaseFile(const std::string& path, const std::vector<MapEntry>& map,
                                QuickCase& quickCase) {
    quickCase = QuickCase();
    QuickCaseRead result;
    auto refuse = [&](const std::string& why, bool tell) {
        result.status = Status::failure(why);
        result.tell = tell;
        return result;
    };
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec))
        return refuse("Could not open " + (path.empty() ? std::string("an empty file name") : path),
                      false);
    TextFile text = readTextFile(path);
    if (!text.text) return refuse(text.error, false);
    TraceFile trace("importKovarianFile");
    LineCursor file(std::move(*text.text));

    const std::string header = file.line();
    if (header.size() <= 8 || header.compare(1, 6, "Output") != 0)
        return refuse(path + " line 1: not a Kovarian case file", false);
    file.line();
    const std::string version = file.line();
    trace << "Version: " << version << "\r\n";
    const double value = readDecimal(version);
    const bool olderLayout = value > 0 && value < 1.97;
    if (version == "1.97" || version == "3.0" || value == 0 || value >= 1.97) file.line();
    const bool secondRates = version == "3.0" || (version != "1.97" && !olderLayout);

    // A file cut inside an item, or an index outside its list, refuses the file
    // with the file, the line and the item: an analysis of part of a case, or of
    // a record moved to another allele, would give a wrong ratio.
    auto cut = [&](int line, const std::string& item) {
        return refuse(endsInside(path, line, item), true);
    };
    auto named = [](const std::string& item, long long index, long long count,
                    const std::string& name) {
        return item + " " + std::to_string(index + 1) + " of " + std::to_string(count) +
               (name.empty() ? std::string() : " (" + name + ")");
    };
    const long long personCount = file.count();
    file.line();
    if (file.pastEnd()) return cut(file.lineNumber(), "the person count");
    trace << "Persons: " << personCount << "\r\n";
    std::vector<std::vector<int>> recordLines;
    for (long long p = 0; p < personCount; ++p) {
        const int start = file.lineNumber();
        QuickPerson person;
        person.name = unquoted(file.line());
        file.skip(3);
        person.sex = file.line() == kTrue ? 1 : 2;
        const long long records = file.count();
        file.line();
        std::vector<int> lines;
        for (long long d = 0; d < records && !file.pastEnd(); ++d) {
            QuickDnaRecord record;
            lines.push_back(file.lineNumber());
            record.firstAllele = file.integer();
            file.line();
            record.secondAllele = file.integer();
            file.line();
            record.system = file.integer();
            file.line();
            person.records.push_back(std::move(record));
        }
        if (file.pastEnd()) return cut(start, named("person", p, personCount, person.name));
        quickCase.persons.push_back(std::move(person));
        recordLines.push_back(std::move(lines));
    }

    const int commonStart = file.lineNumber();
    file.skip(3);
    const long long commonCount = file.count();
    file.line();
    std::vector<int> commonLines;
    for (long long r = 0; r < commonCount && !file.pastEnd(); ++r) {
        QuickRelation relation;
        commonLines.push_back(file.lineNumber());
        relation.parent = file.integer();
        file.line();
        relation.child = file.integer();
        file.line();
        quickCase.commonRelations.push_back(relation);
    }
    if (file.pastEnd()) return cut(commonStart, "the common relations");

    const long long pedigreeCount = file.count();
    if (file.pastEnd()) return cut(file.lineNumber(), "the pedigree count");
    if (pedigreeCount < 2) return refuse(kQuickTooFewPedigrees, true);
    file.line();
    file.line();
    std::vector<std::vector<int>> relationLines;
    for (long long g = 0; g < pedigreeCount; ++g) {
        const int start = file.lineNumber();
        QuickPedigree pedigree;
        pedigree.name = unquoted(file.line());
        pedigree.extraFemales = static_cast<int>(std::min(file.count(), 1000LL));
        file.line();
        pedigree.extraMales = static_cast<int>(std::min(file.count(), 1000LL));
        file.line();
        const long long own = file.count();
        file.line();
        std::vector<int> lines;
        for (long long r = 0; r < own && !file.pastEnd(); ++r) {
            QuickRelation relation;
            lines.push_back(file.lineNumber());
            relation.parent = file.integer();
            file.line();
            relation.child = file.integer();
            file.line();
            pedigree.relations.push_back(relation);
        }
        if (g + 1 < pedigreeCount) file.line();
        if (file.pastEnd()) return cut(start, named("pedigree", g, pedigreeCount, pedigree.name));
        pedigree.relations.insert(pedigree.relations.end(), quickCase.commonRelations.begin(),
                                  quickCase.commonRelations.end());
        lines.insert(lines.end(), commonLines.begin(), commonLines.end());
        quickCase.pedigrees.push_back(std::move(pedigree));
        relationLines.push_back(std::move(lines));
    }

    const int systemsStart = file.lineNumber();
    const std::string storedResults = file.line();
    const long long systemCount = file.count();
    if (file.pastEnd()) return cut(systemsStart, "the system count");
    if (systemCount < 1) return refuse(kQuickNoSystems, true);
    file.line();
    if (storedResults == kTrue)
        file.skip((std::min(systemCount, 1000000000LL) + 1) * std::min(pedigreeCount, 1000LL) + 6);
    if (file.line() == kTrue) file.line();
    if (file.pastEnd()) return cut(systemsStart, "the stored results and the database name");

    for (long long s = 0; s < systemCount; ++s) {
        const int start = file.lineNumber();
        QuickSystem system;
        system.name = unquoted(file.line());
        if (!system.name.empty() && (system.name.back() == ' ' || system.name.back() == '\t'))
            system.name.pop_back();
        for (const MapEntry& entry : map) {
            if (sameMarkerName(entry.name, system.name)) {
                system.chromosome = entry.chromosome;
                system.position = entry.position;
                break;
            }
        }
        file.skip(secondRates ? 11 : 9);
        const long long alleleCount = file.count();
        file.line();
        trace << "System: " << system.name << "\r\n"
              << "Number of alleles: " << alleleCount << "\r\n";
        for (long long a = 0; a < alleleCount && !file.pastEnd(); ++a) {
            QuickAllele allele;
            allele.name = unquoted(file.line());
            allele.frequency = file.number();
            file.line();
            trace << "Allele: " << allele.name << "\r\n"
                  << "Freq: " << allele.frequency << "\r\n";
            system.alleles.push_back(std::move(allele));
        }
        if (file.pastEnd()) return cut(start, named("system", s, systemCount, system.name));
        quickCase.systems.push_back(std::move(system));
    }

    // Every record names its alleles.
    const int systems = static_cast<int>(quickCase.systems.size());
    for (size_t p = 0; p < quickCase.persons.size(); ++p) {
        QuickPerson& person = quickCase.persons[p];
        for (size_t d = 0; d < person.records.size(); ++d) {
            QuickDnaRecord& record = person.records[d];
            const int line = recordLines[p][d];
            if (record.system < 0 || record.system >= systems)
                return refuse(damagedAt(path, line,
                                        recordText(person, record) + " names no system of the " +
                                            std::to_string(systems) + " systems of the file"),
                              true);
            const QuickSystem& system = quickCase.systems[static_cast<size_t>(record.system)];
            const int alleles = static_cast<int>(system.alleles.size());
            if (record.firstAllele < 0 || record.firstAllele >= alleles ||
                record.secondAllele < 0 || record.secondAllele >= alleles)
                return refuse(
                    damagedAt(path, line,
                              recordText(person, record) + " names an allele outside " + "the " +
                                  std::to_string(alleles) + " alleles of " + system.name),
                    true);
            record.firstName = system.alleles[static_cast<size_t>(record.firstAllele)].name;
            record.secondName = system.alleles[static_cast<size_t>(record.secondAllele)].name;
        }
    }

    // A relation must join two persons of its pedigree; one of a person with
    // itself is left out with a warning.
    const int namedPersons = static_cast<int>(quickCase.persons.size());
    for (size_t g = 0; g < quickCase.pedigrees.size(); ++g) {
        QuickPedigree& pedigree = quickCase.pedigrees[g];
        const int persons = namedPersons + pedigree.extraFemales + pedigree.extraMales;
        std::vector<QuickRelation> kept;
        for (size_t r = 0; r < pedigree.relations.size(); ++r) {
            const QuickRelation& relation = pedigree.relations[r];
            const std::string what = "Pedigree " + std::to_string(g + 1) + " (" + pedigree.name +
                                     "): the relation of parent index " +
                                     std::to_string(relation.parent) + " and child index " +
                                     std::to_string(relation.child);
            if (relation.parent < 0 || relation.parent >= persons || relation.child < 0 ||
                relation.child >= persons)
                return refuse(damagedAt(path, relationLines[g][r],
                                        what + " names a person outside its " +
                                            std::to_string(persons) + " persons"),
                              true);
            if (relation.parent == relation.child) {
                quickCase.warnings.push_back(what + " names one person twice and is left out");
                continue;
            }
            kept.push_back(relation);
        }
        pedigree.relations = std::move(kept);
    }
    return result;
}

}  // namespace relatix
