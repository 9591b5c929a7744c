// Writes the bundled example case: two paternal half siblings typed at 31
// autosomal STR markers on ten chromosomes, most with several linked markers.
// The main hypothesis is half siblings; the alternatives are uncle, grandparent
// and unrelated. Half siblings, uncle-nephew and grandparent-grandchild share
// the same expected allele sharing at a single marker, so with unlinked markers
// their likelihood ratios are 1; along linked markers they differ.
//
// The genotypes are drawn here by gene dropping with a fixed seed: the father's
// two haplotypes and each mother's haplotype from the population frequencies,
// each child's paternal haplotype by crossing over between the father's two
// along the genetic map (Haldane). Usage: make-example-case OUTPUT.sav

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <random>
#include <vector>

#include "core/core.h"
#include "persistence/project_file.h"
#include "platform/console_user_interface.h"

namespace {

using namespace relatix;

struct MapEntry {
    const char* name;
    int chromosome;
    double position;
    int firstAllele;  // repeat number of the shortest allele
    int alleleCount;
};

const std::vector<MapEntry> kMarkers = {
    {"F13B", 1, 160, 6, 6},        {"D1S1656", 1, 244.2, 10, 10},  {"TPOX", 2, 1.7, 6, 8},
    {"D2S1360", 2, 35.1, 20, 10},  {"D2S441", 2, 90.5, 9, 8},      {"D2S1338", 2, 223.5, 15, 12},
    {"D3S1358", 3, 16.2, 12, 8},   {"D3S1744", 3, 157.2, 14, 9},   {"D5S2500", 5, 70.3, 8, 8},
    {"D5S818", 5, 126.7, 7, 10},   {"CSF1PO", 5, 154.4, 7, 9},     {"D5S2360", 5, 171, 17, 9},
    {"F13A01", 6, 6, 3, 12},       {"D6S389", 6, 38, 12, 10},      {"D6S1043", 6, 93, 9, 14},
    {"SE33", 6, 95.4, 12, 22},     {"D6S474", 6, 118.7, 13, 7},    {"D8S639", 8, 16, 15, 10},
    {"LPL", 8, 19, 8, 8},          {"D8S320", 8, 85, 14, 10},      {"D8S580", 8, 116, 11, 9},
    {"D8S1132", 8, 119.7, 16, 11}, {"D8S1179", 8, 136.4, 8, 11},   {"D12S1090", 12, 2.5, 17, 10},
    {"vWA", 12, 15.6, 11, 10},     {"D12S391", 12, 27.6, 15, 12},  {"D21S11", 21, 14.6, 24, 14},
    {"PENTA_D", 21, 44, 5, 12},    {"D21S2055", 21, 49.5, 21, 12}, {"D18S51", 18, 88.9, 9, 15},
    {"D19S433", 19, 48.9, 9, 11},
};

class Random {
public:
    explicit Random(std::uint32_t seed) : engine_(seed) {}
    // Uniform in [0, 1), from the generator's raw output so it is the same everywhere.
    double uniform() { return engine_() / 4294967296.0; }

private:
    std::mt19937 engine_;
};

// A bell-shaped distribution over the marker's alleles with some seeded noise,
// rounded to four decimals and summing to exactly 1.
std::vector<double> frequenciesFor(const MapEntry& entry, Random& random) {
    std::vector<double> weights;
    const double centre = (entry.alleleCount - 1) / 2.0;
    double sum = 0;
    for (int i = 0; i < entry.alleleCount; ++i) {
        const double z = (i - centre) / (entry.alleleCount / 4.0);
        const double w = std::exp(-z * z / 2) * (0.6 + 0.8 * random.uniform()) + 0.01;
        weights.push_back(w);
        sum += w;
    }
    double total = 0;
    for (double& w : weights) {
        w = std::round(w / sum * 10000) / 10000;
        if (w < 0.0005) w = 0.0005;
        total += w;
    }
    weights[static_cast<size_t>(centre)] += 1.0 - total;
    return weights;
}

int draw(const std::vector<double>& frequencies, Random& random) {
    double u = random.uniform(), acc = 0;
    for (size_t i = 0; i < frequencies.size(); ++i) {
        acc += frequencies[i];
        if (u < acc) return static_cast<int>(i);
    }
    return static_cast<int>(frequencies.size()) - 1;
}

double haldane(double cM) {
    return 0.5 * (1 - std::exp(-2 * cM / 100));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-example-case OUTPUT.sav\n";
        return 2;
    }
    Random random(20261209);
    Core core;
    core.setProjectName("half_siblings_linked");

    Population population;
    population.name = "Example population";
    std::vector<std::vector<double>> frequencies;
    for (const MapEntry& entry : kMarkers) {
        Marker mapEntry(entry.name, entry.chromosome, entry.position);
        mapEntry.maleMutation = {1, 0.002, 0, 0.1};
        mapEntry.femaleMutation = {1, 0.0005, 0, 0.1};
        core.markerMap.markers.push_back(mapEntry);
        Marker marker(entry.name, entry.chromosome, entry.position);
        frequencies.push_back(frequenciesFor(entry, random));
        for (int i = 0; i < entry.alleleCount; ++i)
            marker.alleles.push_back({std::to_string(entry.firstAllele + i),
                                      frequencies.back()[static_cast<size_t>(i)]});
        population.markers.push_back(marker);
    }
    // Map order: ascending chromosome, then position.
    std::stable_sort(core.markerMap.markers.begin(), core.markerMap.markers.end(),
                     [](const Marker& a, const Marker& b) {
                         return a.chromosome != b.chromosome ? a.chromosome < b.chromosome
                                                             : a.position < b.position;
                     });
    core.populations.push_back(population);
    core.activePopulation = 1;

    // Gene dropping for two paternal half siblings.
    Person first("Sibling 1", true), second("Sibling 2", true);
    const size_t n = core.markerMap.markers.size();
    std::vector<int> fatherA(n), fatherB(n);
    auto indexOf = [&](const std::string& name) {
        for (size_t i = 0; i < kMarkers.size(); ++i)
            if (name == kMarkers[i].name) return i;
        return size_t{0};
    };
    for (size_t m = 0; m < n; ++m) {
        const auto& f = frequencies[indexOf(core.markerMap.markers[m].name)];
        fatherA[m] = draw(f, random);
        fatherB[m] = draw(f, random);
    }
    for (Person* child : {&first, &second}) {
        bool fromA = random.uniform() < 0.5;
        for (size_t m = 0; m < n; ++m) {
            const Marker& marker = core.markerMap.markers[m];
            if (m > 0 && marker.chromosome == core.markerMap.markers[m - 1].chromosome) {
                const double r = haldane(marker.position - core.markerMap.markers[m - 1].position);
                if (random.uniform() < r) fromA = !fromA;
            } else if (m > 0) {
                fromA = random.uniform() < 0.5;
            }
            const size_t k = indexOf(marker.name);
            const int paternal = fromA ? fatherA[m] : fatherB[m];
            const int maternal = draw(frequencies[k], random);
            DnaObservation dna;
            dna.markerName = marker.name;
            dna.allele1 = std::to_string(kMarkers[k].firstAllele + paternal);
            dna.allele2 = std::to_string(kMarkers[k].firstAllele + maternal);
            if (random.uniform() < 0.5) std::swap(dna.allele1, dna.allele2);
            child->dna.push_back(dna);
        }
    }
    core.persons = {first, second};

    // Half siblings (code 4) against uncle (13), grandparent (17) and unrelated (5).
    core.selectMainHypothesis(3);
    core.alternativeHypotheses = {3, 5, 1};
    for (int code : {13, 17, 5}) core.addAlternativePedigree(code);

    ConsoleUserInterface ui;
    return saveProject(core, argv[1], ui) ? 0 : 1;
}
