#include "engine_test_support.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

#include "engine.h"

namespace merlin::testing {

Scratch::Scratch() {
    static int counter = 0;
    std::random_device device;
    root_ = std::filesystem::temp_directory_path() /
            ("merlin_test_" + std::to_string(device()) + "_" + std::to_string(++counter));
    std::filesystem::create_directories(root_);
}

Scratch::~Scratch() {
    std::error_code ec;
    // RELATIX_KEEP_TEST_FILES=<folder> keeps a copy of the files (the fuzz
    // targets' seed corpora are taken from them).
    if (const char* keep = std::getenv("RELATIX_KEEP_TEST_FILES"); keep && *keep) {
        const auto target = std::filesystem::path(keep) / "merlin" / root_.filename();
        std::filesystem::create_directories(target, ec);
        std::filesystem::copy(root_, target, std::filesystem::copy_options::recursive, ec);
    }
    std::filesystem::remove_all(root_, ec);
}

std::string Scratch::write(const std::string& name, const std::string& content) const {
    const std::string file = path(name);
    std::ofstream(file, std::ios::binary) << content;
    return file;
}

RunResult runEngineArgs(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    RunResult result;
    result.status = merlin::runEngine(args, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

RunResult runFiles(const Scratch& scratch, const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"-d", scratch.path("t.dat"),  "-m", scratch.path("t.map"),
                                     "-f", scratch.path("t.freq"), "-p", scratch.path("t.ped")};
    args.insert(args.end(), extra.begin(), extra.end());
    return runEngineArgs(args);
}

RunResult runExecutable(const std::string& arguments, const std::string& workingDirectory,
                        int timeLimit) {
    RunResult result;
    const std::string errFile = workingDirectory + "/stderr.txt";
    const std::string limit =
        timeLimit > 0 ? "timeout -s KILL " + std::to_string(timeLimit) + " " : std::string();
    const std::string command = "cd '" + workingDirectory + "' && " + limit +
                                "'" MERLIN_ENGINE_PATH "' " + arguments + " 2>'" + errFile + "'";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, "", ""};
    std::array<char, 4096> buffer;
    size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), got);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errFile, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    result.err = text.str();
    return result;
}

std::vector<double> lnLikelihoods(const std::string& out) {
    std::vector<double> values;
    std::istringstream in(out);
    std::string line;
    bool skipped = false;
    while (std::getline(in, line)) {
        if (line.rfind("Skipping", 0) == 0) skipped = true;
        if (line.rfind("lnLikelihood = ", 0) == 0) {
            values.push_back(skipped ? std::numeric_limits<double>::quiet_NaN()
                                     : std::stod(line.substr(15)));
            skipped = false;
        }
    }
    return values;
}

double haldane(double cm) {
    return 0.5 * (1.0 - std::exp(-2.0 * std::fabs(cm) / 100.0));
}

double referenceLikelihood(const std::vector<RefPerson>& persons,
                           const std::vector<std::vector<double>>& frequencies,
                           const std::vector<double>& positions) {
    const int n = static_cast<int>(persons.size());
    std::vector<int> founders, slots;
    std::vector<int> index(n, -1);
    for (int p = 0; p < n; ++p) {
        if (persons[p].father < 0) {
            index[p] = static_cast<int>(founders.size());
            founders.push_back(p);
        } else {
            index[p] = static_cast<int>(slots.size());
            slots.push_back(p);
        }
    }
    const int bits = 2 * static_cast<int>(slots.size());
    const size_t states = size_t{1} << bits;
    const int nodes = 2 * static_cast<int>(founders.size());
    std::vector<double> alpha(states, 1.0 / states);
    double likelihood = 1.0;
    for (size_t m = 0; m < positions.size(); ++m) {
        if (m > 0) {  // one meiosis after the other recombines with Haldane's fraction
            const double t = haldane(positions[m] - positions[m - 1]);
            for (int b = 0; b < bits; ++b) {
                std::vector<double> next(states, 0.0);
                for (size_t v = 0; v < states; ++v) {
                    next[v] += (1 - t) * alpha[v];
                    next[v ^ (size_t{1} << b)] += t * alpha[v];
                }
                alpha.swap(next);
            }
        }
        const auto& f = frequencies[m];
        const int alleles = static_cast<int>(f.size());
        double total = 0.0;
        for (size_t v = 0; v < states; ++v) {
            // Which founder allele each person carries on each side.
            std::vector<std::array<int, 2>> carried(n);
            for (int p = 0; p < n; ++p) {
                if (persons[p].father < 0) {
                    carried[p] = {2 * index[p], 2 * index[p] + 1};
                } else {
                    const int s = index[p];
                    const int bp = (v >> (2 * s)) & 1;
                    const int bm = (v >> (2 * s + 1)) & 1;
                    carried[p] = {carried[persons[p].father][bp], carried[persons[p].mother][bm]};
                }
            }
            double sum = 0.0;
            std::vector<int> assign(nodes, 0);
            for (;;) {
                double w = 1.0;
                for (int k = 0; k < nodes; ++k) w *= f[assign[k]];
                for (int p = 0; p < n && w > 0; ++p) {
                    const auto [a, b] = persons[p].genotypes[m];
                    if (a < 0) continue;
                    const int x = assign[carried[p][0]];
                    const int y = assign[carried[p][1]];
                    if (!((x == a && y == b) || (x == b && y == a))) w = 0;
                }
                sum += w;
                int k = 0;
                while (k < nodes && ++assign[k] == alleles) assign[k++] = 0;
                if (k == nodes) break;
            }
            alpha[v] *= sum;
            total += alpha[v];
        }
        if (total == 0.0) return 0.0;
        likelihood *= total;
        for (double& a : alpha) a /= total;
    }
    return likelihood;
}

std::string pedigreeLines(const std::string& family, const std::vector<RefPerson>& persons,
                          LineForm form) {
    const bool slashed = form == LineForm::Slashed;
    const char* const joints[] = {"/ ", "/", " /", " / "};
    std::string text;
    int genotypes = 0;
    for (size_t p = 0; p < persons.size(); ++p) {
        const RefPerson& person = persons[p];
        auto parent = [&](int index) {
            return index < 0 && slashed ? std::string(".") : std::to_string(index + 1);
        };
        text += family + " " + std::to_string(p + 1) + " " + parent(person.father) + " " +
                parent(person.mother) + " " + (p % 2 ? "2" : "1");
        for (const auto& [a, b] : person.genotypes) {
            text += ' ';
            text += std::to_string(a + 1);
            text += slashed ? joints[genotypes++ % 4] : " ";
            text += std::to_string(b + 1);
        }
        text += "\n";
    }
    return text;
}

std::string dataFile(int markers) {
    std::string text;
    for (int m = 0; m < markers; ++m) text += "M m" + std::to_string(m + 1) + "\n";
    return text;
}

std::string mapFile(const std::vector<double>& positions, int chromosome) {
    std::string text = "CHROMOSOME\tMARKER\tPOSITION\n";
    for (size_t m = 0; m < positions.size(); ++m) {
        char line[100];
        std::snprintf(line, sizeof line, "%d\tm%zu\t%.17g\n", chromosome, m + 1, positions[m]);
        text += line;
    }
    return text;
}

std::string frequencyFile(const std::vector<std::vector<double>>& frequencies) {
    std::string text;
    for (size_t m = 0; m < frequencies.size(); ++m) {
        text += "M m" + std::to_string(m + 1) + "\n";
        for (size_t a = 0; a < frequencies[m].size(); ++a) {
            char line[100];
            std::snprintf(line, sizeof line, "A %zu %.17g\n", a + 1, frequencies[m][a]);
            text += line;
        }
    }
    return text;
}

}  // namespace merlin::testing
