// Helpers of the merlinEngine tests: input files in a scratch folder, runs of the
// engine in this process or as the real executable, the values it prints, and an
// independent brute-force likelihood for small pedigrees.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace merlin::testing {

class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::string write(const std::string& name, const std::string& content) const;
    std::string path(const std::string& name) const { return (root_ / name).string(); }
    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path root_;
};

struct RunResult {
    int status = 0;
    std::string out;
    std::string err;
};

// Runs the engine in this process on the four files of the folder (t.dat, t.map,
// t.freq, t.ped) with the extra options.
RunResult runFiles(const Scratch& scratch, const std::vector<std::string>& extra = {"--perFamily"});
RunResult runEngineArgs(const std::vector<std::string>& args);
// Runs the real executable through the shell; with a time limit in seconds it is
// killed when it runs longer (status -1 or 137 then).
RunResult runExecutable(const std::string& arguments, const std::string& workingDirectory,
                        int timeLimit = 0);

// The numbers after "lnLikelihood =" in order; skipped families give NaN.
std::vector<double> lnLikelihoods(const std::string& out);

// A small pedigree for the brute-force reference: persons listed parents first.
struct RefPerson {
    int father = -1;
    int mother = -1;
    std::vector<std::pair<int, int>> genotypes;  // per marker, 0-based alleles or -1
};

// The likelihood by plain enumeration of every meiosis and founder allele, with
// Haldane recombination between neighbouring positions (in cM).
double referenceLikelihood(const std::vector<RefPerson>& persons,
                           const std::vector<std::vector<double>>& frequencies,
                           const std::vector<double>& positions);

// How pedigree lines are written: parents 0 and genotypes "a b", or parents "."
// and genotypes with a slash, "a/ b", "a/b", "a /b" and "a / b" by turns.
enum class LineForm { Plain, Slashed };

// Writes one family as pedigree lines with person ids 1..n (alleles 1-based).
std::string pedigreeLines(const std::string& family, const std::vector<RefPerson>& persons,
                          LineForm form = LineForm::Plain);
std::string dataFile(int markers);
std::string mapFile(const std::vector<double>& positions, int chromosome = 1);
std::string frequencyFile(const std::vector<std::vector<double>>& frequencies);

double haldane(double cm);

}  // namespace merlin::testing
