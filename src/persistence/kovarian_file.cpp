#include "persistence/kovarian_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

#include "core/core.h"
#include "core/decimal_text.h"
#include "persistence/database_files.h"
#include "persistence/line_cursor.h"
#include "persistence/marker_positions.h"
#include "persistence/text_lines.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"

namespace relatix {

namespace {

constexpr const char* kTrue = "#TRUE#";

std::string unquoted(const std::string& line) {
    return line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string();
}

struct KeptRecord {
    int marker = 0;
    std::string allele1, allele2;
};

void tell(UserInterface& ui, const std::string& text) {
    ui.messageBox(text, kApplicationTitle, MessageButtons::Ok, MessageIcon::Warning);
}

// The file as read, before anything of it reaches the case: a damaged file is
// refused whole, so that no population or marker of it is left behind.
struct FileRecord {
    int first = 0, second = 0, marker = 0;
    int line = 0;
};
struct FilePerson {
    std::string name;
    std::vector<FileRecord> records;
};
struct FileSystem {
    std::string name;
    MutationSettings female, male;
    std::vector<std::pair<std::string, double>> alleles;  // name line as written, frequency
};
struct FileContent {
    std::vector<FilePerson> persons;
    std::vector<FileSystem> systems;
    std::string databaseName;
};

std::string named(const std::string& item, long long index, long long count,
                  const std::string& name) {
    return item + " " + std::to_string(index + 1) + " of " + std::to_string(count) +
           (name.empty() ? std::string() : " (" + name + ")");
}

}  // namespace

namespace {

// Everything after the header: the persons, the pedigrees and stored results
// read past, the database name and the systems. The fault names the file, the
// line and the item where the file ends early or an index points outside.
std::optional<std::string> readContent(LineCursor& file, const std::string& path,
                                       FileContent& content, TraceFile& trace) {
    file.line();
    const std::string versionText = file.line();
    const double version = wholeNumber(versionText).value_or(-1.0);
    trace << "Version: " << versionText << "\r\n";
    const bool informationText = version >= 3 || version == 0;
    if (informationText) {
        // The quoted text may span lines; it ends at the first quote after its opening one.
        const int start = file.lineNumber();
        std::string line = file.line();
        size_t from = 1;
        while (line.find('"', from) == std::string::npos && !file.pastEnd()) {
            line = file.line();
            from = 0;
        }
        if (file.pastEnd()) return endsInside(path, start, "the information text");
    } else if (versionText == "1.97") {
        file.line();
    }
    const bool secondRates = version >= 3 && version != 0;

    const long long persons = file.count();
    file.line();
    if (file.pastEnd()) return endsInside(path, file.lineNumber(), "the person count");
    trace << "Persons: " << persons << "\r\n";
    for (long long p = 0; p < persons; ++p) {
        const int start = file.lineNumber();
        FilePerson person;
        person.name = unquoted(file.line());
        file.line();
        file.number();
        file.line();
        file.line();
        file.line();  // "#TRUE#" for a male
        const long long records = file.count();
        file.line();
        for (long long d = 0; d < records && !file.pastEnd(); ++d) {
            FileRecord record;
            record.line = file.lineNumber();
            record.first = file.integer();
            file.line();
            record.second = file.integer();
            file.line();
            record.marker = file.integer();
            file.line();
            person.records.push_back(record);
        }
        if (file.pastEnd())
            return endsInside(path, start, named("person", p, persons, person.name));
        content.persons.push_back(std::move(person));
    }

    const int relationsStart = file.lineNumber();
    file.skip(3);
    const long long pairs = file.count();
    file.line();
    for (long long r = 0; r < pairs && !file.pastEnd(); ++r) file.skip(2);
    if (file.pastEnd()) return endsInside(path, relationsStart, "the common relations");
    const long long pedigrees = file.count();
    file.line();
    for (long long g = 0; g < pedigrees && !file.pastEnd(); ++g) {
        const int start = file.lineNumber();
        file.skip(4);
        const long long relations = file.count();
        file.line();
        for (long long r = 0; r < relations && !file.pastEnd(); ++r) file.skip(2);
        if (file.pastEnd()) return endsInside(path, start, named("pedigree", g, pedigrees, ""));
    }
    if (file.pastEnd()) return endsInside(path, file.lineNumber(), "the pedigree count");
    const int systemsStart = file.lineNumber();
    const std::string results = file.line();
    const long long systems = file.count();
    file.line();
    if (results == kTrue)
        file.skip((std::min(systems, 1000000000LL) + 1) * std::min(pedigrees, 1000LL) + 6);
    if (file.pastEnd())
        return endsInside(path, systemsStart, "the system count and stored results");

    content.databaseName = fileStem(path, 4);
    if (readDecimal(versionText) > 1.61) {
        if (file.line() == kTrue) content.databaseName = unquoted(file.line());
        if (file.pastEnd()) return endsInside(path, systemsStart, "the database name");
    }
    trace << "Database: " << content.databaseName << "\r\n";

    for (long long s = 0; s < systems; ++s) {
        const int start = file.lineNumber();
        FileSystem system;
        system.name = trimmedName(unquoted(file.line()));
        MutationSettings& female = system.female;
        MutationSettings& male = system.male;
        female.rate = file.number();
        file.line();
        male.rate = file.number();
        file.line();
        female.model = file.integer() + 1;
        file.line();
        male.model = file.integer() + 1;
        file.line();
        file.number();
        file.line();
        female.range = file.number();
        file.line();
        male.range = file.number();
        if (female.range == 0) female.range = 0.1;
        if (male.range == 0) male.range = 0.1;
        if (secondRates) {
            file.line();
            female.rate2 = file.number();
            file.line();
            male.rate2 = file.number();
        } else {
            female.rate2 = male.rate2 = 0.00001;
        }
        file.line();
        file.word();
        if (file.line() == kTrue) file.number();
        file.line();
        const long long alleleCount = file.count();
        file.line();
        for (long long a = 0; a < alleleCount && !file.pastEnd(); ++a) {
            std::string line = file.line();
            const double frequency = file.number();
            file.line();
            system.alleles.emplace_back(std::move(line), frequency);
        }
        if (file.pastEnd())
            return endsInside(path, start, named("system", s, systems, system.name));
        trace << "System: " << system.name << " alleles: " << system.alleles.size() << "\r\n";
        content.systems.push_back(std::move(system));
    }

    // Every DNA record points into the file's systems and their alleles.
    const long long systemTotal = static_cast<long long>(content.systems.size());
    for (const FilePerson& person : content.persons) {
        for (const FileRecord& record : person.records) {
            const std::string item = "the DNA record of " + person.name;
            if (record.marker < 0 || record.marker >= systemTotal)
                return damagedAt(path, record.line,
                                 item + " names system index " + std::to_string(record.marker) +
                                     ", but the file has " + std::to_string(systemTotal) +
                                     " systems");
            const FileSystem& system = content.systems[static_cast<size_t>(record.marker)];
            const long long alleles = static_cast<long long>(system.alleles.size());
            for (const int index : {record.first, record.second})
                if (index < 0 || index >= alleles)
                    return damagedAt(path, record.line,
                                     item + " names allele index " + std::to_string(index) +
                                         " of system " + system.name + ", which has " +
                                         std::to_string(alleles) + " alleles");
        }
    }
    return std::nullopt;
}

}  // namespace

bool readKovarianFile(Core& core, UserInterface& ui, const std::string& path) {
    const std::vector<MapEntry> table = loadDefaultMarkerPositions(core.programDirectory);
    TraceFile trace("readKovarian");
    // Regular files only, read once and whole.
    TextFile text = readTextFile(path);
    if (!text.text) {
        tell(ui,
             text.refused ? text.error : "Could not open Kovarian file, please check permissions");
        return true;
    }
    LineCursor file(std::move(*text.text));

    const std::string header = file.line();
    trace << header << "\r\n";
    if (header.size() < 9) {
        tell(ui,
             "Missing information in the beginning of the file, should contain Output from "
             "kovarian, version x.xx");
        return true;
    }
    if (header.find("<?xml") != std::string::npos) {
        tell(ui, "Current version of Relatix does not support the Kovarian xml format");
        return true;
    }
    if (header.compare(1, 6, "Output") != 0) {
        tell(ui,
             "Missing information in the start of the file, should contain Output from "
             "kovarian, version x.xx");
        return true;
    }
    FileContent content;
    if (const std::optional<std::string> fault = readContent(file, path, content, trace)) {
        trace << *fault << "\r\n";
        ui.messageBox(*fault, kApplicationTitle, MessageButtons::Ok, MessageIcon::Error);
        return false;
    }

    // The persons are only checked: contradicting records of one marker are told.
    for (const FilePerson& person : content.persons) {
        std::vector<KeptRecord> kept;
        bool reported = false;
        for (const FileRecord& record : person.records) {
            const std::string a1 = std::to_string(static_cast<long long>(record.first) + 1);
            const std::string a2 = std::to_string(static_cast<long long>(record.second) + 1);
            const auto same = std::find_if(kept.begin(), kept.end(), [&](const KeptRecord& r) {
                return r.marker == record.marker;
            });
            if (same == kept.end()) {
                kept.push_back({record.marker, a1, a2});
                continue;
            }
            if ((same->allele1 == a1 && same->allele2 == a2) ||
                (same->allele1 == a2 && same->allele2 == a1))
                continue;
            if (!reported)
                tell(ui,
                     "Input file contains samples with duplicated case DNA data! Sample named " +
                         person.name +
                         " may be corrupted, discarding markers with duplicated data");
            reported = true;
            kept.erase(same);
        }
    }

    const std::optional<size_t> found = populationToFill(core, ui, content.databaseName);
    if (!found) return false;
    const size_t target = *found;

    enum class CommaRule { Ask, Always, Once } commas = CommaRule::Ask;
    for (FileSystem& system : content.systems) {
        std::vector<Allele> alleles;
        for (auto& [written, frequency] : system.alleles) {
            std::string line = written;
            if (line.size() < 3) {
                tell(ui, "Empty allele name detected, defaulting to Rest allele");
                line = "\"Rest allele\"";
            }
            std::string allele = unquoted(line);
            const size_t comma = allele.find(',');
            if (comma != std::string::npos && commas != CommaRule::Once) {
                if (commas == CommaRule::Ask)
                    commas = ui.askYesNo("Detected ',' in allele name (" + allele +
                                         "). Change to '.' instead for all alleles?")
                                 ? CommaRule::Always
                                 : CommaRule::Once;
                allele[comma] = '.';
            }
            alleles.push_back({allele, frequency});
        }
        const auto place = findMarkerPosition(core, ui, table, system.name);
        if (!place) {
            tell(ui, "Genetic position not found for " + system.name + ", skipping this marker.");
            continue;
        }
        Marker marker(system.name, place->chromosome, place->position);
        marker.alleles = std::move(alleles);
        marker.femaleMutation = system.female;
        marker.maleMutation = system.male;
        core.populations[target].markers.push_back(std::move(marker));
    }
    return true;
}

}  // namespace relatix
