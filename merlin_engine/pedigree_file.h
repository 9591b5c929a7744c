// Streaming reader of the pedigree file: one family at a time, a family being a
// run of consecutive lines with the same family word, so that memory follows the
// largest family rather than the file.
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
    std::string father;  // "0" when not given
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

class PedigreeReader {
public:
    PedigreeReader(const MarkerSet& set, GenotypeReading reading) : set_(set), reading_(reading) {}
    bool open(const std::string& path) { return reader_.open(path); }
    // Reads the next family; false at the end of the file.
    bool next(FamilyRecord& family);

private:
    bool readPersonLine();

    const MarkerSet& set_;
    GenotypeReading reading_;
    LineReader reader_;
    std::string line_;
    std::vector<std::string_view> fields_;
    bool pending_ = false;  // fields_ hold the first line of the next family
    long ordinal_ = 0;
};

// Splits the genotype part of a pedigree line (fields after the fifth) into two
// label views per marker; missing or absent labels become empty views. Returns
// false when the line has fewer fields than the data file describes.
bool splitGenotypes(const std::vector<std::string_view>& fields, const MarkerSet& set,
                    std::vector<std::string_view>& labels, bool& extraFields);

// First pass over the pedigree file: reports malformed lines, leaves out markers
// with alleles the frequency file lacks (unless the genotypes are only toy
// genotypes) and counts alleles for markers without frequencies.
bool scanPedigreeFile(const std::string& path, MarkerSet& set, bool toyGenotypes,
                      Warnings& warnings, std::string& error);

int parseSex(std::string_view text);

}  // namespace merlin
