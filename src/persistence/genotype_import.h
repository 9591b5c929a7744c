// Reading persons' genotypes from the files laboratory software writes: pedigree
// files in LINKAGE style (".ped"), delimited tables with one row per sample, and
// PGM Genotyper exports (one row per sample and marker). In normal mode every
// allele passes checkAllele and the rows go to the case's persons; in ancestry
// mode every new sample becomes an ancestry profile and no allele is checked.
#pragma once

#include <string>
#include <vector>

namespace relatix {

class Core;
class UserInterface;

inline constexpr const char* kPgmQuestion =
    "Does the file contain data exported from the PGM Genotyper plugin? (This means each row "
    "is an individual and a marker with genotype in the 5th or 7th column)";
inline constexpr const char* kPgmSingleSampleQuestion =
    "Does the file contain a single individual (genotypes in 5th column) (answer No if several "
    "individuals (genotypes in 7th column))?";
inline constexpr const char* kPedMarkerOrderQuestion =
    "Relatix will assume the ped file to contains genetic data according to the markers and "
    "sorting in the current database.\n\nPress No if a separate .map file is required.";
inline constexpr const char* kPedAlleleValuesQuestion =
    "Is input format in real allele values?\n(If No, alleles in ped file will be regarded as "
    "indices in database)";
inline constexpr const char* kMergeQuestionStart = "Person with name: ";
inline constexpr const char* kImportFormatError = "Please check the format of import file";
inline constexpr const char* kImportErrorCaption = "Import error";

// "Person with name: <name> already detected in set of current persons, merge with new data?"
std::string mergeQuestion(const std::string& sampleName);

struct GenotypeImportOutcome {
    bool success = false;
    // Samples whose rows went to a person or profile, and the genotypes stored
    // for them; an import that stops on an error keeps these.
    int samplesImported = 0;
    int genotypesImported = 0;
    // True once the reader got past its questions and began storing rows: a
    // failure after that may have left part of the file in the case.
    bool readingStarted = false;
    // Why the import failed, for callers without message boxes; empty on success.
    std::string reason;
    // The alleles the import added to the active population, as "marker allele".
    std::vector<std::string> newAlleles;
};

// Dispatches on the file: ".ped" to the pedigree-file reader (normal mode only),
// a first line beginning "Chrom" to the PGM reader when the user confirms it,
// anything else to the table reader. The table and ped readers check the whole
// file before they store a row: a genotype that cannot be split, a ped index
// outside the population's alleles or a last row cut short is told with the
// file and the line, and nothing is stored. A one-column genotype splits only
// at a separator ("/", "," or ";" that does not separate the cells, or a blank):
// one allele is a homozygote. The rows then change the core one by one; the
// user's Cancel keeps what was stored before it.
GenotypeImportOutcome importGenotypes(Core& core, UserInterface& ui, const std::string& path,
                                      bool ancestryMode);

// What the user is told after a failed import that had already stored rows:
// how many samples and genotypes were kept.
std::string partialImportSummary(const GenotypeImportOutcome& outcome);

}  // namespace relatix
