// The records of a case: persons with their DNA, populations with markers and
// alleles, the marker map's mutation settings, pedigrees and their relations.
// Positions are 1-based wherever operations take them.
#pragma once

#include <string>
#include <vector>

namespace relatix {

struct DnaObservation {
    int systemIndex = 0;  // 1-based system within its cluster; set when the genotype table is built
    std::string markerName;
    int clusterIndex = 0;  // 1-based cluster; set with systemIndex
    std::string allele1;   // as entered, never sorted
    std::string allele2;
};

struct Person {
    std::string name;
    bool isMale = false;
    std::vector<DnaObservation> dna;

    Person() = default;
    explicit Person(std::string personName, bool male = false)
        : name(std::move(personName)), isMale(male) {}
};

struct Allele {
    std::string name;
    double frequency = 0.0;
};

// Per-sex mutation settings of a marker: model 1 simple, 2 N step, 3 extended step-wise.
struct MutationSettings {
    int model = 1;
    double rate = 0.0;
    double rate2 = 0.0;
    double range = 0.0;

    bool operator==(const MutationSettings&) const = default;
};

// One record type serves both the marker map (name, chromosome, position and
// mutation settings matter) and a population (name and alleles matter).
struct Marker {
    double position = -1.0;  // cM; -1 = unknown
    int chromosome = -1;     // -1 = unknown
    double markerNewAlleleFrequency = 0.01;
    std::string name;
    std::vector<Allele> alleles;
    MutationSettings femaleMutation;
    MutationSettings maleMutation;

    Marker() = default;
    Marker(std::string markerName, int chromosomeNumber, double positionCm)
        : position(positionCm), chromosome(chromosomeNumber), name(std::move(markerName)) {}
};

struct Population {
    std::string name = "Unnamed";
    double theta = 0.0;
    std::vector<bool> markerSelection;
    std::vector<Marker> markers;
};

// The markers in map order: ascending chromosome, then ascending position.
struct MarkerMap {
    std::vector<Marker> markers;
};

struct Relation {
    int parent = 0;  // 1-based person numbers within the pedigree
    int child = 0;

    bool operator==(const Relation&) const = default;
};

struct Pedigree {
    std::string name = "No name";
    std::string label = "None";
    std::vector<Relation> relations;
};

}  // namespace relatix
