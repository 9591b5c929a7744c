// The markers of a run: the columns of the data file, their map positions and
// their allele labels with frequencies, read from the data, map and frequency files.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "warnings.h"

namespace merlin {

struct TransparentHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

struct Marker {
    std::string name;
    bool duplicate = false;           // a later data-file line with a name used before
    bool mapped = false;              // has a usable map line
    bool onX = false;                 // mapped to the X chromosome, which is not analysed
    int chromosome = 0;               // the autosome (1 up) when analysed, 0 otherwise
    double position = 0.0;            // cM
    bool countFromGenotypes = false;  // no usable frequencies: counted from the pedigree file
    bool excluded = false;            // left out: the pedigree file holds an allele the labels lack
    std::vector<std::string> labels;
    std::vector<double> frequencies;  // parallel to labels, sum 1 once finished
    std::vector<long long> counts;    // allele counts when counting from genotypes
    std::vector<double> cumulative;   // running sums of the frequencies, for drawing

    // Index of the label, or -1.
    int find(std::string_view label) const;
    // Index of the label, added with frequency 0 when new.
    int findOrAdd(std::string_view label);
    bool analysed() const { return chromosome > 0 && !excluded && !duplicate; }

private:
    std::unordered_map<std::string, int, TransparentHash, std::equal_to<>> index_;
    std::vector<int> smallIntegers_;  // label value -> index for labels like "12"
};

// One column group of the pedigree file after the five first fields.
struct DataItem {
    bool isMarker = false;
    int marker = -1;  // index into MarkerSet::markers when isMarker
    int columns = 1;  // fields taken when not a marker
};

struct Chromosome {
    int number = 0;
    std::vector<int> markers;  // analysed markers in map order
};

struct MarkerSet {
    std::vector<DataItem> items;
    std::vector<Marker> markers;          // every M line of the data file, in order
    std::vector<Chromosome> chromosomes;  // ascending, built by finish()

    // Turns counts into frequencies, rescales frequencies to sum 1 and builds the
    // chromosome list. Called once the pedigree file has been scanned.
    void finish(Warnings& warnings);
};

// Each reader returns false with a message when the file cannot be opened.
bool readDataFile(const std::string& path, MarkerSet& set, Warnings& warnings, std::string& error);
bool readMapFile(const std::string& path, MarkerSet& set, Warnings& warnings, std::string& error);
bool readFrequencyFile(const std::string& path, MarkerSet& set, Warnings& warnings,
                       std::string& error);
// Without a frequency file every marker's frequencies are counted from the
// pedigree file.
void countAllFrequencies(MarkerSet& set);

// Why no marker of the set is analysed, for the one line of a run that has none.
std::string whyNothingIsAnalysed(const MarkerSet& set);

// True for the texts that stand for a missing allele: 0 x X . - N
bool isMissingAllele(std::string_view label);

}  // namespace merlin
