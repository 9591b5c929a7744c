#include "persistence/genotype_import.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "core/allele_check.h"
#include "core/core.h"
#include "core/frequency_database.h"
#include "core/marker_names.h"
#include "persistence/import_questions.h"
#include "persistence/text_lines.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"

namespace relatix {

namespace {

constexpr const char* kNoPopulationMessage =
    "Please select an active population before importing any allele data";
constexpr const char* kNoMarkerColumnMessage =
    "Could not detect any recognizable marker in the first row, see manual for input file "
    "description";
constexpr const char* kSingleColumnMessage =
    "Error detected when trying to separate single column marker";
constexpr const char* kPgmUnreadableMessage = "Could not open file, aborting";
constexpr const char* kPedUnreadableMessage = "Could not open .ped file, please check permissions";
constexpr const char* kPedOrderUnsupportedMessage =
    "Not currently supported, please revise your ped file such that the marker order is the "
    "same as in the database (or vice versa)";
constexpr const char* kPedSlashMessage =
    "Unexpected error occurred when importing ped file, aborting";
constexpr const char* kPedIndexMessage =
    "Allele indeces exceeded number of alleles in database, please check input and database";

using Lines = std::optional<std::vector<std::string>>;
using AllelePair = std::pair<std::string, std::string>;

// The file's text as lines, and whether its last line ends with a line break:
// a last line without one may be where the file was cut.
struct TableText {
    std::vector<std::string> lines;
    bool endsWithBreak = true;
};
using Table = std::optional<TableText>;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool blank(const std::string& line) {
    return trimmed(line).empty();
}

// The header decides the separator: a comma, else a semicolon, else a tab.
char separatorOf(const std::string& header) {
    if (header.find(',') != std::string::npos) return ',';
    if (header.find(';') != std::string::npos) return ';';
    return '\t';
}

// Fields between separators, without surrounding blanks.
std::vector<std::string> splitFields(const std::string& line, char separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t end = line.find(separator, start);
        fields.push_back(trimmed(line.substr(start, end - start)));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return fields;
}

std::vector<std::string> splitWhiteSpace(const std::string& line) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        const size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i > start) tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

// The marker map's name of a name read from a file (trimmed, in any case).
std::optional<std::string> mapMarkerIgnoringCase(const Core& core, const std::string& heading) {
    for (const Marker& marker : core.markerMap.markers)
        if (sameMarkerName(marker.name, heading)) return marker.name;
    return std::nullopt;
}

// Replaces the person's observation of the marker or appends one.
void storeObservation(Person& person, const std::string& markerName, const std::string& allele1,
                      const std::string& allele2) {
    for (DnaObservation& observation : person.dna) {
        if (observation.markerName == markerName) {
            observation.allele1 = allele1;
            observation.allele2 = allele2;
            return;
        }
    }
    DnaObservation observation;
    observation.markerName = markerName;
    observation.allele1 = allele1;
    observation.allele2 = allele2;
    person.dna.push_back(std::move(observation));
}

// The message for a last row cut short: the file, the line and the sample.
std::string endsInsideRow(const std::string& path, size_t line, const std::string& sample,
                          size_t fields, size_t needed) {
    return path + ", line " + std::to_string(line) + ": the file ends inside the row of sample " +
           sample + " (" + std::to_string(fields) + " of " + std::to_string(needed) + " fields)";
}

// One import: the case, the user, the mode and what has been done so far.
class Import {
public:
    Import(Core& core, UserInterface& ui, bool ancestry)
        : core_(core), ui_(ui), ancestry_(ancestry) {}

    GenotypeImportOutcome readTable(const Table& table, const std::string& path);
    GenotypeImportOutcome readPgm(const Table& table, const std::string& path, bool singleSample);
    GenotypeImportOutcome readPed(const std::string& path);

private:
    std::vector<Person>& targets() { return ancestry_ ? core_.ancestryPersons : core_.persons; }

    void message(const std::string& text) {
        ui_.messageBox(text, kApplicationTitle, MessageButtons::Ok, MessageIcon::Error);
    }
    GenotypeImportOutcome failed(std::string reason) {
        outcome_.success = false;
        outcome_.reason = std::move(reason);
        return outcome_;
    }
    GenotypeImportOutcome succeeded() {
        outcome_.success = true;
        outcome_.reason.clear();
        return outcome_;
    }
    bool populationMissing() {
        if (ancestry_ || core_.populationAt(core_.activePopulation)) return false;
        message(kNoPopulationMessage);
        return true;
    }

    // The person (or profile) a sample goes to; nothing for a skipped sample.
    // Sets cancelled when the user cancels the merge question.
    std::optional<size_t> choosePerson(std::string sampleName, bool askMerge, bool& cancelled);
    std::string checked(const std::string& allele, const std::string& markerName);
    // The "N" rule, then storage when both alleles are known.
    void store(size_t person, const std::string& markerName, std::string allele1,
               std::string allele2);
    // Checks allele 1 before allele 2, so that new alleles are asked about in
    // the order of the file, then stores them.
    void checkAndStore(size_t person, const std::string& markerName,
                       const std::pair<std::string, std::string>& alleles) {
        std::string first = checked(alleles.first, markerName);
        std::string second = checked(alleles.second, markerName);
        store(person, markerName, std::move(first), std::move(second));
    }

    Core& core_;
    UserInterface& ui_;
    bool ancestry_;
    GenotypeImportOutcome outcome_;
};

std::optional<size_t> Import::choosePerson(std::string sampleName, bool askMerge, bool& cancelled) {
    cancelled = false;
    std::vector<Person>& persons = targets();
    const auto match = std::find_if(persons.begin(), persons.end(),
                                    [&](const Person& p) { return p.name == sampleName; });
    if (match != persons.end()) {
        const size_t index = static_cast<size_t>(match - persons.begin());
        if (!askMerge) return index;
        const Answer answer = ui_.messageBox(mergeQuestion(sampleName), kApplicationTitle,
                                             MessageButtons::YesNoCancel, MessageIcon::Question);
        if (answer == Answer::Yes) return index;
        if (answer == Answer::Cancel) {
            cancelled = true;
            return std::nullopt;
        }
        sampleName += " (COPY)";
    }
    if (ancestry_) {
        persons.emplace_back(sampleName);
        return persons.size() - 1;
    }
    std::vector<std::string> names;
    for (const Person& person : persons) names.push_back(person.name);
    const auto& ask = importQuestions().importOptions;
    const ImportTarget target = ask ? ask(ui_, sampleName, names) : ImportTarget{};
    const std::optional<int> chosen = target.person;
    if (!chosen || *chosen < 1 || *chosen > static_cast<int>(persons.size())) return std::nullopt;
    const size_t index = static_cast<size_t>(*chosen - 1);
    if (target.importName) persons[index].name = sampleName;
    return index;
}

std::string Import::checked(const std::string& allele, const std::string& markerName) {
    // An empty field is simply not typed; it is never offered as a new allele.
    if (ancestry_ || allele.empty()) return allele;
    Population* population = core_.populationAt(core_.activePopulation);
    const Marker* marker = population ? findMarker(*population, markerName) : nullptr;
    const size_t before = marker ? marker->alleles.size() : 0;
    std::string kept = checkAllele(core_, ui_, allele, markerName);
    // An allele the population took in is named in the outcome.
    if (marker && marker->alleles.size() > before)
        outcome_.newAlleles.push_back(markerName + " " + allele);
    return kept;
}

void Import::store(size_t person, const std::string& markerName, std::string allele1,
                   std::string allele2) {
    if (allele2 == "N") allele2 = allele1;
    if (allele1 == "N") allele1.clear();
    if (allele1.empty() || allele2.empty()) return;
    storeObservation(targets()[person], markerName, allele1, allele2);
    ++outcome_.genotypesImported;
}

// A genotype held in one column: empty or "-" is missing; otherwise the alleles
// stand apart at "/", "," or ";" (unless that character separates the table's
// cells) or, without any of them, at blanks. One allele is a homozygote, so
// "17" is 17 and 17; a cell is never cut between its characters. More than two
// alleles, or an empty one beside a separator, cannot be split.
std::optional<AllelePair> splitSingleColumn(const std::string& field, char tableSeparator) {
    const std::string cell = trimmed(field);
    if (cell.empty() || cell == "-") return AllelePair{};
    std::string marks = "/,;";
    marks.erase(std::remove(marks.begin(), marks.end(), tableSeparator), marks.end());
    std::vector<std::string> alleles;
    if (cell.find_first_of(marks) != std::string::npos) {
        size_t start = 0;
        while (true) {
            const size_t end = cell.find_first_of(marks, start);
            const std::string allele = trimmed(cell.substr(start, end - start));
            if (allele.empty() || allele.find_first_of(" \t") != std::string::npos)
                return std::nullopt;
            alleles.push_back(allele);
            if (end == std::string::npos) break;
            start = end + 1;
        }
    } else {
        alleles = splitWhiteSpace(cell);
    }
    if (alleles.size() == 1) return AllelePair{alleles[0], alleles[0]};
    if (alleles.size() == 2) return AllelePair{alleles[0], alleles[1]};
    return std::nullopt;
}

GenotypeImportOutcome Import::readTable(const Table& table, const std::string& path) {
    if (populationMissing()) return failed("no active population");
    if (!table) return failed("the file cannot be read");
    const std::vector<std::string>& lines = table->lines;
    TraceFile trace("readpersons");
    const std::string header = lines.empty() ? std::string() : lines.front();
    trace << header << "\r\n";
    const char separator = separatorOf(header);
    std::vector<std::string> headings = splitFields(header, separator);
    for (std::string& heading : headings) heading = trimmedName(heading);
    if (headings.size() < 2) {
        message(kNoMarkerColumnMessage);
        return failed("the first row has no column after the sample name");
    }

    // Two columns per marker when neighbouring headings agree once their last
    // two characters ("_1", "_2") are cut. Two headings that are both names of
    // markers on the map are two markers, however alike their names are.
    auto cut = [&](size_t i) -> std::optional<std::string> {
        if (i >= headings.size()) return std::nullopt;
        const std::string& h = headings[i];
        return h.size() >= 2 ? h.substr(0, h.size() - 2) : std::string();
    };
    // An empty heading (the cell after a trailing separator, or a name of at
    // most two characters once cut) never starts or ends a pair.
    auto pairStartsAt = [&](size_t i) {
        const auto a = cut(i), b = cut(i + 1);
        return a && b && !a->empty() && sameMarkerName(*a, *b) &&
               !(mapMarkerIgnoringCase(core_, headings[i]) &&
                 mapMarkerIgnoringCase(core_, headings[i + 1]));
    };
    const size_t firstPair = pairStartsAt(1) ? 1 : pairStartsAt(2) ? 2 : 0;

    struct Column {
        size_t first;
        size_t width;
        std::optional<std::string> marker;
    };
    std::vector<Column> columns;
    if (firstPair == 0) {
        trace << "Is single column markers\r\n";
        for (size_t i = 1; i < headings.size(); ++i)
            columns.push_back({i, 1, mapMarkerIgnoringCase(core_, headings[i])});
    } else {
        for (size_t i = firstPair; i < headings.size(); i += 2) {
            std::optional<std::string> marker;
            if (const auto name = cut(i + 1)) marker = mapMarkerIgnoringCase(core_, *name);
            columns.push_back({i, 2, marker});
        }
    }
    trace << "Starting to process input, separator is: " << separator << "\r\n"
          << "System length: " << headings.size() << "\r\n"
          << "Is ancestry: " << ancestry_ << "\r\n";
    // The fields a row needs to reach its last marker column.
    size_t needed = 1;
    for (const Column& column : columns)
        if (column.marker) needed = std::max(needed, column.first + column.width);

    // Every row is read and split before anything is stored: a damaged file
    // leaves the case as it was.
    struct Row {
        size_t line;
        std::string sample;
        std::vector<AllelePair> genotypes;  // per column; empty for unknown markers
    };
    std::vector<Row> rows;
    size_t lastRow = 0;
    for (size_t row = 1; row < lines.size(); ++row)
        if (!blank(lines[row])) lastRow = row;
    for (size_t row = 1; row < lines.size(); ++row) {
        const std::string& line = lines[row];
        if (blank(line)) continue;
        const std::vector<std::string> fields = splitFields(line, separator);
        const std::string where = path + ", line " + std::to_string(row + 1);
        if (row == lastRow && !table->endsWithBreak && fields.size() < needed) {
            const std::string reason =
                endsInsideRow(path, row + 1, fields[0], fields.size(), needed);
            message(reason);
            return failed(reason);
        }
        auto field = [&](size_t i) { return i < fields.size() ? fields[i] : std::string(); };
        Row read{row + 1, fields[0], {}};
        for (const Column& column : columns) {
            AllelePair alleles;
            if (column.marker && column.width == 1) {
                const std::optional<AllelePair> split =
                    splitSingleColumn(field(column.first), separator);
                if (!split) {
                    const std::string reason = where + ": the genotype '" + field(column.first) +
                                               "' of " + *column.marker + " (sample " + fields[0] +
                                               ") cannot be split into one or two alleles";
                    message(std::string(kSingleColumnMessage) + "\n" + reason);
                    return failed(reason);
                }
                alleles = *split;
            } else if (column.marker) {
                alleles = {field(column.first), field(column.first + 1)};
            }
            read.genotypes.push_back(std::move(alleles));
        }
        rows.push_back(std::move(read));
    }

    outcome_.readingStarted = true;
    const int rowLimit = ancestry_ ? 0 : core_.genotypeTable.personCount;
    for (const Row& row : rows) {
        trace << lines[row.line - 1] << "\r\n";
        bool cancelled = false;
        const std::optional<size_t> person = choosePerson(row.sample, true, cancelled);
        if (cancelled) return failed("the merge with '" + row.sample + "' was cancelled");
        if (!person) continue;
        trace << "Import data and create new person\r\nImporting systems\r\n";
        for (size_t c = 0; c < columns.size(); ++c) {
            if (!columns[c].marker) continue;
            if (columns[c].width == 1)
                trace << "Splitting genotype: " << row.genotypes[c].first << " "
                      << row.genotypes[c].second << "\r\n";
            checkAndStore(*person, *columns[c].marker, row.genotypes[c]);
        }
        ++outcome_.samplesImported;
        if (rowLimit > 0 && outcome_.samplesImported == rowLimit) break;
    }
    return succeeded();
}

GenotypeImportOutcome Import::readPgm(const Table& table, const std::string& path,
                                      bool singleSample) {
    if (populationMissing()) return failed("no active population");
    if (!table) {
        message(kPgmUnreadableMessage);
        return failed("the file cannot be read");
    }
    const std::vector<std::string>* lines = &table->lines;
    TraceFile trace("readpersons");
    const char separator = separatorOf(lines->empty() ? std::string() : lines->front());
    trace << "Starting to process input, separator is: " << separator << "\r\n"
          << "Is ancestry: " << ancestry_ << "\r\n";
    // The one sample of a single-sample file is named after the file.
    const std::string fileName = std::filesystem::path(path).filename().string();
    const std::string fileSample =
        fileName.size() >= 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
    const size_t sampleField = 1, markerField = singleSample ? 2 : 4,
                 genotypeField = singleSample ? 4 : 6;
    // A last row without a line break that stops before its genotype is where
    // the file was cut; it is told before anything is stored.
    if (!table->endsWithBreak && lines->size() > 1 && !blank(lines->back())) {
        const std::vector<std::string> fields = splitFields(lines->back(), separator);
        if (fields.size() <= genotypeField) {
            const std::string reason = endsInsideRow(
                path, lines->size(),
                singleSample || fields.size() <= sampleField ? fileSample : fields[sampleField],
                fields.size(), genotypeField + 1);
            message(reason);
            return failed(reason);
        }
    }

    outcome_.readingStarted = true;
    std::map<std::string, std::optional<size_t>> chosen;
    for (size_t row = 1; row < lines->size(); ++row) {
        const std::string& line = (*lines)[row];
        if (blank(line)) continue;
        trace << line << "\r\n";
        const std::vector<std::string> fields = splitFields(line, separator);
        if (fields.size() <= genotypeField) continue;
        const std::optional<std::string> mapName =
            mapMarkerIgnoringCase(core_, fields[markerField]);
        if (!mapName) continue;
        const std::string& markerName = *mapName;
        const std::string sample = singleSample ? fileSample : fields[sampleField];
        auto known = chosen.find(sample);
        if (known == chosen.end()) {
            bool cancelled = false;
            known = chosen.emplace(sample, choosePerson(sample, false, cancelled)).first;
            if (known->second) ++outcome_.samplesImported;
        }
        if (!known->second) continue;
        const std::string& genotype = fields[genotypeField];
        trace << "Splitting genotype: " << genotype << "\r\n";
        AllelePair alleles;
        if (genotype.size() == 1 && genotype != "-") alleles = {genotype, genotype};
        if (genotype.size() == 2) alleles = {genotype.substr(0, 1), genotype.substr(1, 1)};
        checkAndStore(*known->second, markerName, alleles);
    }
    return succeeded();
}

GenotypeImportOutcome Import::readPed(const std::string& path) {
    if (populationMissing()) return failed("no active population");
    const Answer order = ui_.messageBox(kPedMarkerOrderQuestion, kApplicationTitle,
                                        MessageButtons::YesNoCancel, MessageIcon::Question);
    if (order == Answer::Cancel) return failed("the import was cancelled");
    if (order != Answer::Yes) {
        message(kPedOrderUnsupportedMessage);
        return failed("a separate marker map for the ped file is not supported");
    }
    const bool values = ui_.messageBox(kPedAlleleValuesQuestion, kApplicationTitle,
                                       MessageButtons::YesNo, MessageIcon::Question) == Answer::Yes;
    const Lines lines = readTextLines(path);
    if (!lines) {
        message(kPedUnreadableMessage);
        return failed("the ped file cannot be read");
    }

    struct Row {
        size_t lineNumber;
        std::vector<std::string> fields;
    };
    std::vector<Row> rows;
    bool everyLineHasSlash = true;
    for (size_t i = 0; i < lines->size(); ++i) {
        if (blank((*lines)[i])) continue;
        if ((*lines)[i].find('/') == std::string::npos) everyLineHasSlash = false;
        rows.push_back({i + 1, splitWhiteSpace((*lines)[i])});
    }
    // The whole file is checked before anything is stored. One form holds for
    // every line: both alleles in one field "a/b" only when every line has a "/".
    const std::vector<Marker>& markers = core_.markerMap.markers;
    const size_t expected = 5 + (everyLineHasSlash ? 1 : 2) * markers.size();
    for (const Row& row : rows) {
        const std::string line = path + ", line " + std::to_string(row.lineNumber);
        if (row.fields.size() != expected) {
            const std::string reason = line + " (sample FAM " + row.fields[0] + ") has " +
                                       std::to_string(row.fields.size()) + " fields, " +
                                       std::to_string(expected) + " expected";
            message(reason);
            return failed(reason);
        }
        if (row.fields[4] != "1" && row.fields[4] != "2")
            return failed(line + " has the sex '" + row.fields[4] + "', 1 or 2 expected");
    }

    // The two allele fields of every line and marker, an index resolved to its
    // allele; a field without "/" or an index outside the alleles refuses the file.
    Population& population = *core_.populationAt(core_.activePopulation);
    std::vector<std::vector<AllelePair>> genotypes;
    for (const Row& row : rows) {
        const std::vector<std::string>& f = row.fields;
        const std::string line = path + ", line " + std::to_string(row.lineNumber);
        std::vector<AllelePair> pairs;
        for (size_t m = 0; m < markers.size(); ++m) {
            const std::string& markerName = markers[m].name;
            std::string first, second;
            if (everyLineHasSlash) {
                const std::string& field = f[5 + m];
                const size_t slash = field.find('/');
                if (slash == std::string::npos) {
                    message(kPedSlashMessage);
                    return failed(line + ": the genotype '" + field + "' of " + markerName +
                                  " has no '/'");
                }
                first = field.substr(0, slash);
                second = field.substr(slash + 1);
            } else {
                first = f[5 + 2 * m];
                second = f[6 + 2 * m];
            }
            if (!values) {
                const Marker* marker = findMarker(population, markerName);
                const size_t count = marker ? marker->alleles.size() : 0;
                for (std::string* allele : {&first, &second}) {
                    if (isMissingAllele(*allele) || allele->empty()) {
                        allele->clear();
                        continue;
                    }
                    size_t index = 0;
                    const char* end = allele->data() + allele->size();
                    const auto parsed = std::from_chars(allele->data(), end, index);
                    if (parsed.ec != std::errc() || parsed.ptr != end || index < 1 ||
                        index > count) {
                        const std::string reason =
                            line + ": the allele index '" + *allele + "' of " + markerName +
                            " (sample FAM " + f[0] + " - ID " + f[1] + ") is not one of the " +
                            std::to_string(count) + " alleles of the population";
                        message(std::string(kPedIndexMessage) + "\n" + reason);
                        return failed(reason);
                    }
                    *allele = marker->alleles[index - 1].name;
                }
            }
            pairs.emplace_back(std::move(first), std::move(second));
        }
        genotypes.push_back(std::move(pairs));
    }

    outcome_.readingStarted = true;
    for (size_t r = 0; r < rows.size(); ++r) {
        const std::vector<std::string>& f = rows[r].fields;
        bool cancelled = false;
        const std::optional<size_t> person =
            choosePerson("FAM " + f[0] + " - ID " + f[1], false, cancelled);
        if (!person) continue;
        for (size_t m = 0; m < markers.size(); ++m) {
            const std::string& markerName = markers[m].name;
            auto [first, second] = genotypes[r][m];
            if (values) {
                first = checked(first, markerName);
                second = checked(second, markerName);
            }
            const Marker* marker = findMarker(population, markerName);
            if (!marker || marker->alleles.empty()) continue;
            if (first.empty() || second.empty()) continue;
            storeObservation(targets()[*person], markerName, first, second);
            ++outcome_.genotypesImported;
        }
        ++outcome_.samplesImported;
    }
    return succeeded();
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string mergeQuestion(const std::string& sampleName) {
    return kMergeQuestionStart + sampleName +
           " already detected in set of current persons, merge with new data?";
}

GenotypeImportOutcome importGenotypes(Core& core, UserInterface& ui, const std::string& path,
                                      bool ancestryMode) {
    if (endsWith(path, ".ped")) return Import(core, ui, false).readPed(path);
    Table table;
    if (TextFile file = readTextFile(path); file.text) {
        table =
            TableText{splitTextLines(*file.text), file.text->empty() || file.text->back() == '\n'};
    }
    Import import(core, ui, ancestryMode);
    const std::string first = table && !table->lines.empty() ? table->lines.front() : std::string();
    if (first.size() >= 5 && first.compare(0, 5, "Chrom") == 0 &&
        ui.messageBox(kPgmQuestion, kApplicationTitle, MessageButtons::YesNo,
                      MessageIcon::Question) == Answer::Yes) {
        const bool single =
            ui.messageBox(kPgmSingleSampleQuestion, kApplicationTitle, MessageButtons::YesNo,
                          MessageIcon::Question) == Answer::Yes;
        return import.readPgm(table, path, single);
    }
    return import.readTable(table, path);
}

std::string partialImportSummary(const GenotypeImportOutcome& outcome) {
    return "Imported before the import stopped: " + std::to_string(outcome.samplesImported) +
           (outcome.samplesImported == 1 ? " sample" : " samples") + " with " +
           std::to_string(outcome.genotypesImported) +
           (outcome.genotypesImported == 1 ? " marker genotype" : " marker genotypes") +
           ". They are kept in the case.";
}

}  // namespace relatix
