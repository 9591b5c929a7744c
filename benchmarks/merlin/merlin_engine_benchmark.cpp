// End-to-end timings of merlinEngine on generated LINKAGE files: many small
// families as a simulation run produces them, and single large families.
// Set MERLIN_BENCH_KEEP=1 to keep the generated files (their folder is printed).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine.h"

namespace {

constexpr int kAlleles = 12;

struct Person {
    int father = -1, mother = -1;
    bool typed = false;
};

class Files {
public:
    explicit Files(const std::string& name) {
        folder_ = std::filesystem::temp_directory_path() / ("merlin_bench_" + name);
        std::filesystem::create_directories(folder_);
    }
    ~Files() {
        if (!std::getenv("MERLIN_BENCH_KEEP"))
            std::filesystem::remove_all(folder_);
        else
            std::cerr << "files kept in " << folder_ << "\n";
    }
    std::string path(const char* name) const { return (folder_ / name).string(); }

    void writeMarkers(int markers, double spacing, int alleles = kAlleles) const {
        std::ofstream dat(path("t.dat")), map(path("t.map")), freq(path("t.freq"));
        map << "CHROMOSOME\tMARKER\tPOSITION\n";
        for (int m = 0; m < markers; ++m) {
            dat << "M m" << m << "\n";
            map << "1\tm" << m << "\t" << 5.0 + m * spacing << "\n";
            freq << "M m" << m << "\n";
            double sum = 0;
            for (int a = 0; a < alleles; ++a) sum += 1.0 + a % 4;
            for (int a = 0; a < alleles; ++a)
                freq << "A " << a + 1 << " " << (1.0 + a % 4) / sum << "\n";
        }
    }
    std::vector<std::string> args() const {
        return {"-d", path("t.dat"), "-m",          path("t.map"), "-f",          path("t.freq"),
                "-p", path("t.ped"), "--perFamily", "--quiet",     "--likelihood"};
    }

private:
    std::filesystem::path folder_;
};

// Gene drop without recombination detail: enough to give consistent genotypes.
void appendFamily(std::ostream& out, int family, const std::vector<Person>& persons, int markers,
                  std::mt19937& random, int alleleCount = kAlleles) {
    std::vector<std::vector<int>> alleles(persons.size(), std::vector<int>(2 * markers));
    std::vector<double> weights;
    for (int a = 0; a < alleleCount; ++a) weights.push_back(1.0 + a % 4);
    std::discrete_distribution<int> draw(weights.begin(), weights.end());
    for (size_t p = 0; p < persons.size(); ++p)
        for (int m = 0; m < markers; ++m)
            for (int side = 0; side < 2; ++side) {
                const int parent = side == 0 ? persons[p].father : persons[p].mother;
                alleles[p][2 * m + side] =
                    parent < 0 ? draw(random) + 1 : alleles[parent][2 * m + random() % 2];
            }
    for (size_t p = 0; p < persons.size(); ++p) {
        out << family << ' ' << p + 1 << ' ' << persons[p].father + 1 << ' '
            << persons[p].mother + 1 << ' ' << (p % 2 ? 2 : 1);
        for (int m = 0; m < markers; ++m) {
            if (persons[p].typed)
                out << ' ' << alleles[p][2 * m] << ' ' << alleles[p][2 * m + 1];
            else
                out << " 0 0";
        }
        out << '\n';
    }
}

std::vector<std::vector<Person>> smallPedigrees() {
    return {
        // duo with the untyped mother listed
        {{-1, -1, true}, {-1, -1, false}, {0, 1, true}},
        // full siblings with untyped parents
        {{-1, -1, false}, {-1, -1, false}, {0, 1, true}, {0, 1, true}},
        // half siblings
        {{-1, -1, false}, {-1, -1, false}, {-1, -1, false}, {0, 1, true}, {0, 2, true}},
        // grandparent and grandchild
        {{-1, -1, true}, {-1, -1, false}, {0, 1, false}, {-1, -1, false}, {2, 3, true}},
    };
}

void BM_ManySmallFamilies(benchmark::State& state) {
    Files files("small");
    const int markers = 30;
    files.writeMarkers(markers, 4.0);
    {
        std::ofstream ped(files.path("t.ped"));
        std::mt19937 random(1);
        const auto shapes = smallPedigrees();
        for (int f = 0; f < 40000; ++f)
            appendFamily(ped, f + 1, shapes[f % shapes.size()], markers, random);
    }
    for (auto _ : state) {
        std::ostringstream out, err;
        const int status = merlin::runEngine(files.args(), out, err);
        if (status != 0) state.SkipWithError("engine failed");
        benchmark::DoNotOptimize(out.str().size());
    }
}
BENCHMARK(BM_ManySmallFamilies)->Unit(benchmark::kMillisecond)->Iterations(3);

std::vector<Person> sibship(int children) {
    std::vector<Person> persons = {{-1, -1, false}, {-1, -1, false}};
    for (int c = 0; c < children; ++c) persons.push_back({0, 1, true});
    return persons;
}

// A line of descent: each generation's child with a spouse from outside.
std::vector<Person> lineOfDescent(int generations) {
    std::vector<Person> persons = {{-1, -1, true}, {-1, -1, false}};
    int last = 0;
    for (int g = 0; g < generations; ++g) {
        persons.push_back({-1, -1, false});
        const int spouse = static_cast<int>(persons.size()) - 1;
        persons.push_back({last, g == 0 ? 1 : spouse, g % 2 == 1});
        last = static_cast<int>(persons.size()) - 1;
    }
    persons[last].typed = true;
    return persons;
}

// Three generations: grandparents, children with spouses, typed grandchildren.
std::vector<Person> threeGenerations(int children, int grandchildren) {
    std::vector<Person> persons = {{-1, -1, true}, {-1, -1, true}};
    for (int c = 0; c < children; ++c) {
        persons.push_back({0, 1, true});
        const int child = static_cast<int>(persons.size()) - 1;
        persons.push_back({-1, -1, false});
        const int spouse = static_cast<int>(persons.size()) - 1;
        for (int g = 0; g < grandchildren; ++g) persons.push_back({child, spouse, true});
    }
    return persons;
}

void runSingle(benchmark::State& state, const char* name, const std::vector<Person>& persons,
               int alleles = kAlleles) {
    Files files(name);
    const int markers = 40;
    files.writeMarkers(markers, 2.5, alleles);
    {
        std::ofstream ped(files.path("t.ped"));
        std::mt19937 random(3);
        appendFamily(ped, 1, persons, markers, random, alleles);
    }
    for (auto _ : state) {
        std::ostringstream out, err;
        merlin::runEngine(files.args(), out, err);
        if (out.str().find("Skipping") != std::string::npos) state.SkipWithError(out.str().c_str());
        benchmark::DoNotOptimize(out.str().size());
    }
}

// 18 meioses: 16 informative once each parent's first meiosis is fixed.
void BM_SibshipOfNine(benchmark::State& state) {
    runSingle(state, "sib9", sibship(9));
}
BENCHMARK(BM_SibshipOfNine)->Unit(benchmark::kMillisecond);

void BM_LineOfNineGenerations(benchmark::State& state) {
    runSingle(state, "line9", lineOfDescent(9));
}
BENCHMARK(BM_LineOfNineGenerations)->Unit(benchmark::kMillisecond);

// 24 informative meioses: thirteen typed sibs with untyped parents.
void BM_SibshipOfThirteen(benchmark::State& state) {
    runSingle(state, "sib13", sibship(13));
}
BENCHMARK(BM_SibshipOfThirteen)->Unit(benchmark::kMillisecond)->Iterations(1);

// 24 informative meioses: typed grandparents, four typed children with untyped
// spouses, eleven typed grandchildren.
void BM_ThreeGenerations(benchmark::State& state) {
    auto persons = threeGenerations(4, 3);
    persons.pop_back();
    runSingle(state, "gen3", persons);
}
BENCHMARK(BM_ThreeGenerations)->Unit(benchmark::kMillisecond)->Iterations(1);

// Fully typed: both parents and their children; 20 and 26 meioses, 18 and 24 bits.
void BM_TypedParentsAndTenChildren(benchmark::State& state) {
    auto persons = sibship(10);
    persons[0].typed = persons[1].typed = true;
    runSingle(state, "typed10", persons);
}
BENCHMARK(BM_TypedParentsAndTenChildren)->Unit(benchmark::kMillisecond);

void BM_TypedParentsAndThirteenChildren(benchmark::State& state) {
    auto persons = sibship(13);
    persons[0].typed = persons[1].typed = true;
    runSingle(state, "typed13", persons);
}
BENCHMARK(BM_TypedParentsAndThirteenChildren)->Unit(benchmark::kMillisecond);

// Fully typed three generations, 18 meioses: typed grandparents, three typed
// children with typed spouses, two typed grandchildren each.
void BM_TypedThreeGenerations(benchmark::State& state) {
    auto persons = threeGenerations(3, 2);
    for (Person& p : persons) p.typed = true;
    runSingle(state, "typed3gen", persons);
}
BENCHMARK(BM_TypedThreeGenerations)->Unit(benchmark::kMillisecond);

// Untyped parents, thirteen typed children and a typed grandchild through an
// untyped spouse: 25 bits, 24 with the exchange of the untyped couple.
void BM_UntypedCoupleThirteenChildrenAndGrandchild(benchmark::State& state) {
    auto persons = sibship(13);
    persons.push_back({-1, -1, false});
    persons.push_back({2, static_cast<int>(persons.size()) - 1, true});
    runSingle(state, "sib13gc", persons);
}
BENCHMARK(BM_UntypedCoupleThirteenChildrenAndGrandchild)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Two-allele markers leave most vectors possible: the whole vector is moved.
void BM_SibshipOfTwelveTwoAlleles(benchmark::State& state) {
    runSingle(state, "sib12snp", sibship(12), 2);
}
BENCHMARK(BM_SibshipOfTwelveTwoAlleles)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same with a typed grandchild: the couple's exchange halves the vector.
void BM_SibshipOfTwelveAndGrandchildTwoAlleles(benchmark::State& state) {
    auto persons = sibship(12);
    persons.push_back({-1, -1, false});
    persons.push_back({2, static_cast<int>(persons.size()) - 1, true});
    runSingle(state, "sib12gcsnp", persons, 2);
}
BENCHMARK(BM_SibshipOfTwelveAndGrandchildTwoAlleles)->Unit(benchmark::kMillisecond)->Iterations(1);

// Many duos at a few markers of 200 alleles whose persons carry only the first
// 20, against the same markers with the untyped tail lumped into one rest allele:
// the two give the same values and should cost the same per family.
void runWideMarkers(benchmark::State& state, bool cut) {
    constexpr int kWide = 200, kCarried = 20, kMarkers = 4, kFamilies = 20000;
    Files files(cut ? "wide_cut" : "wide");
    files.writeMarkers(kMarkers, 10.0, 1);
    {
        std::ofstream freq(files.path("t.freq"));
        for (int m = 0; m < kMarkers; ++m) {
            freq << "M m" << m << "\n";
            double rest = 0.0;
            for (int a = 0; a < kWide; ++a) {
                const double f = (1.0 + a % 4) / (2.5 * kWide);
                if (!cut || a < kCarried)
                    freq << "A " << a + 1 << " " << f << "\n";
                else
                    rest += f;
            }
            if (cut) freq << "A " << kCarried + 1 << " " << rest << "\n";
        }
    }
    {
        std::ofstream ped(files.path("t.ped"));
        std::mt19937 random(11);
        const std::vector<Person> duo = {{-1, -1, true}, {-1, -1, false}, {0, 1, true}};
        for (int f = 0; f < kFamilies; ++f)
            appendFamily(ped, f + 1, duo, kMarkers, random, kCarried);
    }
    for (auto _ : state) {
        std::ostringstream out, err;
        const int status = merlin::runEngine(files.args(), out, err);
        if (status != 0 || out.str().find("Skipping") != std::string::npos)
            state.SkipWithError("engine failed or skipped a family");
        benchmark::DoNotOptimize(out.str().size());
    }
    state.counters["families"] = kFamilies;
}

void BM_DuosAtTwoHundredAlleles(benchmark::State& state) {
    runWideMarkers(state, false);
}
BENCHMARK(BM_DuosAtTwoHundredAlleles)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DuosAtTwoHundredAllelesCut(benchmark::State& state) {
    runWideMarkers(state, true);
}
BENCHMARK(BM_DuosAtTwoHundredAllelesCut)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
