// Streaming reader of the pedigree file: one family at a time, a family being all
// lines with the same family word, so that memory follows the largest family
// rather than the file. Families come in the order of their first line; when a
// family's lines are not consecutive, the reader goes to them by their places,
// noted by the first pass over the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "marker_set.h"
#include "text_input.h"
#include "warnings.h"

namespace merlin {

struct PersonLine {
    std::string family;
    std::string id;
    std::string father;  // "0" when not given (also when written ".")
    std::string mother;
    std::string sexText;
    int sex = 0;  // 1 male, 2 female, 0 unknown
    long line = 0;
};

struct FamilyRecord {
    std::string id;
    long ordinal = 0;  // 0-based position among the families of the file
    std::vector<PersonLine> persons;
    // Allele indexes, person-major: [person][marker][2]; -1 where untyped. With
    // toy genotypes only typed (0) or untyped (-1) is recorded.
    std::vector<std::int32_t> alleles;
    int markerCount = 0;

    std::int32_t allele(int person, int marker, int which) const {
        return alleles[(static_cast<size_t>(person) * markerCount + marker) * 2 + which];
    }
};

enum class GenotypeReading { Labels, TypedOnly };

// Where each family's lines are, for a file in which some family's lines are not
// consecutive; for any other file `scattered` is false and nothing is held.
struct FamilyLayout {
    struct Place {
        long long offset;  // of the line in the file
        long line;         // its line number
    };
    bool scattered = false;
    std::vector<std::vector<Place>> families;  // in order of first appearance
};

class PedigreeReader {
public:
    PedigreeReader(const MarkerSet& set, GenotypeReading reading,
                   const FamilyLayout* layout = nullptr)
        : set_(set), reading_(reading), layout_(layout && layout->scattered ? layout : nullptr) {}
    bool open(const std::string& path) { return reader_.open(path); }
    // Reads the next family; false at the end of the file.
    bool next(FamilyRecord& family);

private:
    bool readPersonLine();
    void addPerson(FamilyRecord& family);

    const MarkerSet& set_;
    GenotypeReading reading_;
    const FamilyLayout* layout_;
    LineReader reader_;
    std::string line_;
    std::vector<std::string_view> fields_;
    std::vector<std::string_view> labels_;
    bool pending_ = false;  // fields_ hold the first line of the next family
    long ordinal_ = 0;
};

// True for the parent words that stand for no parent: 0 and "."
bool isNoParent(std::string_view word);

// Splits the genotype part of a pedigree line (fields after the fifth) into two
// label views per marker; missing or absent labels become empty views. A genotype
// is two fields "a b" or written with a slash: "a/b", "a/ b", "a /b" or "a / b".
// Returns false when the line has fewer fields than the data file describes.
bool splitGenotypes(const std::vector<std::string_view>& fields, const MarkerSet& set,
                    std::vector<std::string_view>& labels, bool& extraFields);

// First pass over the pedigree file: reports malformed lines, leaves out markers
// with alleles the frequency file lacks (unless the genotypes are only toy
// genotypes), counts alleles for markers without frequencies and notes where the
// families' lines are when some family's lines are not consecutive.
bool scanPedigreeFile(const std::string& path, MarkerSet& set, bool toyGenotypes,
                      Warnings& warnings, FamilyLayout& layout, std::string& error);

int parseSex(std::string_view text);

}  // namespace merlin
