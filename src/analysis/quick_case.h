// The quick analysis of a Kovarian case file: the case as the analysis keeps it
// (persons with their DNA records, pedigrees, systems placed on the genetic map),
// the genetic map it places the systems with, and the reader of the case file.
#pragma once

#include <string>
#include <vector>

#include "persistence/marker_positions.h"
#include "platform/status.h"

namespace relatix {

struct QuickDnaRecord {
    int firstAllele = 0;   // 0-based in the system's allele list
    int secondAllele = 0;  // 0-based in the system's allele list
    int system = 0;        // 0-based in the file's system list
    std::string firstName, secondName;
};

struct QuickPerson {
    std::string name;
    int sex = 2;  // 1 male, 2 female
    std::vector<QuickDnaRecord> records;
};

struct QuickRelation {
    int parent = 0;  // person indexes inside a pedigree
    int child = 0;
};

struct QuickPedigree {
    std::string name;
    int extraFemales = 0;
    int extraMales = 0;
    // The pedigree's own relations in file order, then the common relations.
    std::vector<QuickRelation> relations;
};

struct QuickAllele {
    std::string name;
    double frequency = 0.0;
};

struct QuickSystem {
    std::string name;
    int chromosome = -1;     // -1 when the map lacks the name
    double position = -1.0;  // -1 when the map lacks the name
    std::vector<QuickAllele> alleles;
};

struct QuickCase {
    std::vector<QuickPerson> persons;
    std::vector<QuickRelation> commonRelations;
    std::vector<QuickPedigree> pedigrees;
    std::vector<QuickSystem> systems;
    // What the reader left out (relations of a person with itself), for the report.
    std::vector<std::string> warnings;
};

// The two refusals that are told to the user.
inline constexpr const char* kQuickTooFewPedigrees =
    "Error, Relatix needs at least two defined pedigrees/hypotheses, aborting";
inline constexpr const char* kQuickNoSystems =
    "Relatix could not detect any markers/loci in the Kovarian file, aborting";

// How reading a case file ended. A refused file carries the reason; `tell` is set
// for the refusals the user is shown (the two messages above, and a file that
// ends inside an item or whose index points outside its list, named with the
// file, the line and the item); the others (a file that cannot be read, a first
// line that is not a Kovarian header) are silent.
struct QuickCaseRead {
    Status status;
    bool tell = false;
};

// The genetic map of a quick analysis: the map file when it can be read, else
// markerPositions.map in the current directory, else the one in the program
// folder (when given), else the built-in table. A map file's first line is a
// header; each further line holds the name up to a tab, then the chromosome and
// the position; a line whose numbers cannot be read ends the map.
std::vector<MapEntry> loadQuickMarkerMap(const std::string& mapPath,
                                         const std::string& programDirectory = {});
// A map file the user named ("Default" and empty name none) must be read and
// give at least one marker a position; otherwise the failure says which.
Status checkQuickMarkerMap(const std::string& mapPath);
// The map entries of a map file's text.
std::vector<MapEntry> parseQuickMarkerMap(const std::string& text);

// Reads a Kovarian case file into quickCase, placing each system with the first
// map entry of its name (ignoring case). A file that ends inside an item, a DNA
// record that points outside the systems or their alleles and a relation that
// points outside its pedigree's persons refuse the file.
QuickCaseRead readQuickCaseFile(const std::string& path, const std::vector<MapEntry>& map,
                                QuickCase& quickCase);

}  // namespace relatix
