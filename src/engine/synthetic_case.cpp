#include "engine/synthetic_case.h"

#include <string>

#include "core/core.h"

namespace relatix {
namespace {

class Random {
public:
    explicit Random(unsigned seed) : state_(seed) {}
    double uniform() { return next() / 32768.0; }
    int below(int n) { return static_cast<int>(uniform() * n); }

private:
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7fff);
    }
    unsigned state_;
};

int drawAllele(const std::vector<double>& frequencies, Random& random) {
    double u = random.uniform();
    for (size_t a = 0; a < frequencies.size(); ++a) {
        u -= frequencies[a];
        if (u < 0.0) return static_cast<int>(a);
    }
    return static_cast<int>(frequencies.size()) - 1;
}

// A letter followed by a number, built without operator+ on string temporaries
// (which g++ 12 warns about falsely at -O3).
std::string numbered(char letter, int number) {
    std::string text(1, letter);
    text.append(std::to_string(number));
    return text;
}

}  // namespace

void fillSyntheticCase(Core& core, const SyntheticCaseOptions& options) {
    Random random(options.seed);
    core.clusterDatabase.clusters.clear();
    core.clusterDatabase.clusterNames.clear();
    core.markerMap.markers.clear();
    GenotypeTable& table = core.genotypeTable;
    table.clear();
    const int persons = static_cast<int>(options.typed.size());
    table.personCount = persons;
    table.sexCodes = options.sexCodes;
    table.sexCodes.resize(static_cast<size_t>(persons), 1);
    for (int p = 0; p < persons; ++p) table.personNames.push_back(numbered('P', p + 1));

    double position = 0.0;
    for (int m = 0; m < options.markers; ++m) {
        const int chromosome = 1 + m / options.markersPerChromosome;
        if (m % options.markersPerChromosome == 0)
            position = 5.0 + random.uniform() * 10.0;
        else
            position += options.spacingCm * (0.5 + random.uniform());

        ClusterSystem system;
        system.name = numbered('M', m + 1);
        system.position = position;
        const int span = options.maxAlleles - options.minAlleles + 1;
        const int alleles = options.minAlleles + random.below(span);
        double sum = 0.0;
        for (int a = 0; a < alleles; ++a) {
            system.alleleNames.push_back(std::to_string(6 + a));
            const double u = random.uniform();
            system.frequencies.push_back(u * u + 0.01);
            sum += system.frequencies.back();
        }
        for (double& f : system.frequencies) f /= sum;
        const ClusterMutation mutation{options.mutation.model, options.mutation.rate,
                                       options.mutation.range, options.mutation.rate2};
        system.mutation[0] = mutation;
        system.mutation[1] = mutation;

        // Gene dropping through the family, one marker at a time.
        int g[7][2];
        for (int s = 0; s < 2; ++s) {
            g[0][s] = drawAllele(system.frequencies, random);
            g[1][s] = drawAllele(system.frequencies, random);
            g[4][s] = drawAllele(system.frequencies, random);
        }
        auto child = [&random](const int* mother, const int* father, int* out) {
            out[0] = mother[random.below(2)];
            out[1] = father[random.below(2)];
        };
        child(g[0], g[1], g[2]);
        child(g[0], g[1], g[3]);
        child(g[4], g[3], g[5]);
        child(g[4], g[3], g[6]);

        Cluster cluster;
        cluster.chromosome = chromosome - 1;
        cluster.systems.push_back(system);
        core.clusterDatabase.clusters.push_back(cluster);
        core.clusterDatabase.clusterNames.push_back(system.name);
        core.markerMap.markers.emplace_back(system.name, chromosome, position);

        table.systemsPerCluster.push_back(1);
        std::vector<GenotypeTable::TextSlots> texts;
        for (FamilyMember member : options.typed) {
            const int* pair = g[static_cast<int>(member)];
            texts.push_back({system.alleleNames[static_cast<size_t>(pair[0])],
                             system.alleleNames[static_cast<size_t>(pair[1])]});
        }
        table.alleleTexts.push_back({texts});
    }
    core.mainHypothesis = options.mainHypothesis;
    core.alternativeHypotheses.clear();
}

}  // namespace relatix
