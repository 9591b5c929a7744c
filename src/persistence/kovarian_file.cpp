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
    file.line();
    const std::string versionText = file.line();
    const double version = wholeNumber(versionText).value_or(-1.0);
    trace << "Version: " << versionText << "\r\n";
    const bool informationText = version >= 3 || version == 0;
    if (informationText) {
        // The quoted text may span lines; it ends at the first quote after its opening one.
        std::string line = file.line();
        size_t from = 1;
        while (line.find('"', from) == std::string::npos && !file.atEnd()) {
            line = file.line();
            from = 0;
        }
    } else if (versionText == "1.97") {
        file.line();
    }
    const bool secondRates = version >= 3 && version != 0;

    // The persons, read past with the check of their DNA records.
    const long long persons = file.count();
    file.line();
    trace << "Persons: " << persons << "\r\n";
    for (long long p = 0; p < persons && !file.atEnd(); ++p) {
        const std::string name = unquoted(file.line());
        file.line();
        file.number();
        file.line();
        file.line();
        file.line();  // "#TRUE#" for a male
        const long long records = file.count();
        file.line();
        std::vector<KeptRecord> kept;
        bool reported = false;
        for (long long d = 0; d < records && !file.atEnd(); ++d) {
            const int first = file.integer();
            file.line();
            const int second = file.integer();
            file.line();
            const int marker = file.integer();
            file.line();
            const std::string a1 = std::to_string(static_cast<long long>(first) + 1);
            const std::string a2 = std::to_string(static_cast<long long>(second) + 1);
            const auto same = std::find_if(kept.begin(), kept.end(),
                                           [&](const KeptRecord& r) { return r.marker == marker; });
            if (same == kept.end()) {
                kept.push_back({marker, a1, a2});
                continue;
            }
            if ((same->allele1 == a1 && same->allele2 == a2) ||
                (same->allele1 == a2 && same->allele2 == a1))
                continue;
            if (!reported)
                tell(ui,
                     "Input file contains samples with duplicated case DNA data! Sample named " +
                         name + " may be corrupted, discarding markers with duplicated data");
            reported = true;
            kept.erase(same);
        }
    }

    file.skip(3);
    const long long pairs = file.count();
    file.line();
    for (long long r = 0; r < pairs && !file.atEnd(); ++r) file.skip(2);
    const long long pedigrees = file.count();
    file.line();
    for (long long g = 0; g < pedigrees && !file.atEnd(); ++g) {
        file.skip(4);
        const long long relations = file.count();
        file.line();
        for (long long r = 0; r < relations && !file.atEnd(); ++r) file.skip(2);
    }
    const std::string results = file.line();
    const long long systems = file.count();
    file.line();
    if (results == kTrue)
        file.skip((std::min(systems, 1000000000LL) + 1) * std::min(pedigrees, 1000LL) + 6);

    std::string databaseName = fileStem(path, 4);
    if (readDecimal(versionText) > 1.61) {
        if (file.line() == kTrue) databaseName = unquoted(file.line());
    }
    trace << "Database: " << databaseName << "\r\n";

    const std::optional<size_t> found = populationToFill(core, ui, databaseName);
    if (!found) return false;
    const size_t target = *found;

    enum class CommaRule { Ask, Always, Once } commas = CommaRule::Ask;
    for (long long s = 0; s < systems && !file.atEnd(); ++s) {
        const std::string name = trimmedName(unquoted(file.line()));
        MutationSettings female, male;
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
        std::vector<Allele> alleles;
        for (long long a = 0; a < alleleCount && !file.atEnd(); ++a) {
            std::string line = file.line();
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
            const double frequency = file.number();
            file.line();
            alleles.push_back({allele, frequency});
        }
        trace << "System: " << name << " alleles: " << alleles.size() << "\r\n";
        const auto place = findMarkerPosition(core, ui, table, name);
        if (!place) {
            tell(ui, "Genetic position not found for " + name + ", skipping this marker.");
            continue;
        }
        Marker marker(name, place->chromosome, place->position);
        marker.alleles = std::move(alleles);
        marker.femaleMutation = female;
        marker.maleMutation = male;
        core.populations[target].markers.push_back(std::move(marker));
    }
    return true;
}

}  // namespace relatix
