#include "support/kovarian_case_writer.h"

#include <cstdlib>
#include <sstream>

namespace relatix::testing {

std::string kovarianCaseText(const KovCase& kov) {
    std::ostringstream t;
    const std::string& e = kov.lineEnd;
    auto quoted = [&](const std::string& text) { t << '"' << text << '"' << e; };
    quoted("Output from Kovarian, version " + kov.version);
    quoted("written by a test");
    t << kov.version << e;
    // Files of the older layout (versions above 0 and below 1.97) have no line
    // here and no second mutation rates; 1.97 has the line but no second rates.
    const double v = std::atof(kov.version.c_str());
    const bool older = v > 0 && v < 1.97;
    const bool secondRates = kov.version == "3.0" || (kov.version != "1.97" && !older);
    if (kov.version == "1.97" || !older) quoted("Information text");
    t << kov.persons.size() << e;
    for (const KovPerson& person : kov.persons) {
        quoted(person.name);
        t << "x" << e << "1" << e << "x" << e << (person.male ? "#TRUE#" : "#FALSE#") << e;
        t << person.records.size() << e;
        for (const KovRecord& r : person.records)
            t << r.first << e << r.second << e << r.system << e;
    }
    t << "skip" << e << "skip" << e << "skip" << e;
    t << kov.commonRelations.size() << e;
    for (const auto& [parent, child] : kov.commonRelations) t << parent << e << child << e;
    t << kov.pedigrees.size() << e;
    for (const KovPedigree& pedigree : kov.pedigrees) {
        t << "pedigree follows" << e;
        quoted(pedigree.name);
        t << pedigree.extraFemales << e << pedigree.extraMales << e;
        t << pedigree.relations.size() << e;
        for (const auto& [parent, child] : pedigree.relations) t << parent << e << child << e;
    }
    t << (kov.storedResults ? "#TRUE#" : "#FALSE#") << e << kov.systems.size() << e;
    if (kov.storedResults) {
        const size_t lines = (kov.systems.size() + 1) * kov.pedigrees.size() + 6;
        for (size_t i = 0; i < lines; ++i) t << "stored result" << e;
    }
    t << "#TRUE#" << e;
    quoted("Database");
    for (const KovSystem& system : kov.systems) {
        quoted(system.name);
        // Rates, models, allele count, ranges, second rates, two more lines.
        t << "0.001" << e << "0.002" << e << "0" << e << "1" << e << system.alleles.size() << e
          << "0" << e << "0.5" << e;
        if (secondRates) t << "0.0001" << e << "0.0002" << e;
        t << "0" << e << "skip" << e;
        t << system.alleles.size() << e;
        for (const auto& [name, frequency] : system.alleles) {
            quoted(name);
            t << frequency << e;
        }
    }
    return t.str();
}

KovCase duoCase() {
    KovCase kov;
    kov.persons = {{"Father", true, {{0, 0, 0}, {0, 1, 1}}},
                   {"Child", false, {{0, 1, 0}, {1, 2, 1}}}};
    kov.pedigrees = {{"Paternity", 0, 0, {{0, 1}}}, {"Unrelated", 0, 0, {}}};
    kov.systems = {{"D1S1656", {{"12", 0.1}, {"13", 0.2}, {"14", 0.7}}},
                   {"D3S1358", {{"15", 0.3}, {"16", 0.1}, {"17", 0.6}}}};
    return kov;
}

}  // namespace relatix::testing
