#include "tools/merlin_files.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "core/core.h"
#include "core/decimal_text.h"
#include "linkage/engine_output_cursor.h"
#include "linkage/engine_runs.h"
#include "persistence/text_lines.h"
#include "platform/atomic_file.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"
#include "platform/work_folder.h"
#include "simulation/simulated_engine_results.h"
#include "simulation/simulation_run.h"

namespace relatix {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

std::string withoutLast(const std::string& path, size_t count) {
    return path.substr(0, path.size() >= count ? path.size() - count : 0);
}

Status readLines(const std::string& path, std::vector<std::string>& lines) {
    TextFile file = readTextFile(path);
    if (!file.text) return Status::failure(file.error);
    lines = splitTextLines(*file.text);
    return {};
}

Status writeAtomically(const std::string& path, const std::string& text) {
    const AtomicWriteStatus status =
        writeFileAtomically(path, [&](std::ostream& out) { out << text; });
    if (status == AtomicWriteStatus::Written) return {};
    return Status::failure("Could not write " + path);
}

std::string number(double value) {
    return formatGeneral(value, 6);
}

// A log-likelihood as the table reads it: 0 stands for no value, whether it is
// missing or the data are impossible (ln L = -inf).
double tableValue(const LogLikelihoods& w, size_t i) {
    return i < w.size() && w[i] && std::isfinite(*w[i]) ? *w[i] : 0.0;
}

void appendRatioGroup(std::string& out, const SimulatedDataSets& first,
                      const SimulatedDataSets* second, size_t r, size_t f) {
    static const LogLikelihoods none;
    auto setOf = [&](const SimulatedDataSets& sets, size_t v) -> const LogLikelihoods& {
        const size_t index = r * f + v;
        return index < sets.size() ? sets[index] : none;
    };
    for (size_t v = 0; v < f; ++v) {
        const LogLikelihoods& a = setOf(first, v);
        for (size_t u = 0; u < f; ++u) {
            if (u == v) {
                out += "-\t";
                continue;
            }
            if (!second) {
                if (tableValue(a, u) == 0.0)
                    out += "-*";
                else if (tableValue(a, v) == 0.0)
                    out += "0";
                else
                    out += number(std::exp(tableValue(a, v) - tableValue(a, u)));
            } else {
                const LogLikelihoods& b = setOf(*second, v);
                if (tableValue(a, v) == 0.0 || tableValue(a, u) == 0.0 || tableValue(b, v) == 0.0 ||
                    tableValue(b, u) == 0.0)
                    out += "1";
                else  // the second map's ratio over the genetic map's
                    out += number(std::exp(tableValue(b, v) - tableValue(b, u)) /
                                  std::exp(tableValue(a, v) - tableValue(a, u)));
            }
            out += "\t";
        }
        out += "\t";
    }
}

// A user's file given relative to the current directory, for an engine that runs
// in its work folder.
std::string absolutePath(const std::string& path) {
    std::error_code ec;
    const fs::path full = fs::absolute(path, ec);
    return ec ? path : full.string();
}

bool hasFamilyLine(const std::string& path) {
    const std::optional<std::string> text = readWholeFile(path);
    if (!text) return false;
    for (const std::string& line : splitTextLines(*text))
        if (line.rfind("Family", 0) == 0) return true;
    return false;
}

Status engineFailure(const EngineRunOutcome& outcome, const std::string& what) {
    std::string message = "The linkage program gave no result for " + what;
    if (!outcome.errorLine.empty())
        message += ": " + outcome.errorLine;
    else if (!outcome.succeeded())
        message += ": " + outcome.message();
    return Status::failure(message);
}

}  // namespace

std::string merlinInputError(const MerlinFiles& files, const std::string& numberText,
                             bool randomSeed, const std::string& seedText) {
    for (const std::string* field : {&files.pedigreeFile, &files.dataFile, &files.frequencyFile,
                                     &files.mapFile, &files.secondMapFile})
        if (field->empty() || *field == kSelectFile) return kCheckInputFiles;
    return simulationInputError(numberText, randomSeed, seedText);
}

std::string simulationPedigreePath(const std::string& pedigreeFile) {
    return withoutLast(pedigreeFile, 4) + "_to_simulate.ped";
}
std::string simulatedDataPath(const std::string& pedigreeFile) {
    return withoutLast(pedigreeFile, 4) + "_simulated_data.ped";
}
std::string modifiedFrequencyPath(const std::string& frequencyFile) {
    return withoutLast(frequencyFile, 5) + "_modified.freq";
}

int FrequencyMarker::position(std::string_view allele) const {
    for (size_t i = 0; i < alleles.size(); ++i)
        if (alleles[i] == allele) return static_cast<int>(i) + 1;
    return 0;
}

Status readFrequencyMarkers(const std::string& path, std::vector<FrequencyMarker>& markers) {
    markers.clear();
    std::vector<std::string> lines;
    if (Status status = readLines(path, lines); !status) return status;
    FrequencyMarker current;
    bool open = false;
    auto keep = [&] {
        if (open && !current.alleles.empty()) markers.push_back(std::move(current));
        current = {};
    };
    for (const std::string& line : lines) {
        const std::vector<std::string> words = splitWords(line);
        if (words.empty()) continue;
        if (words[0] == "M" && words.size() >= 2) {
            keep();
            current.name = words[1];
            open = true;
        } else if (words[0] == "A" && words.size() >= 3) {
            current.alleles.push_back(words[1]);
            current.frequencies.push_back(readDecimal(words[2]));
        } else if (words[0] == "F") {
            // A list of frequencies for the alleles 1, 2, ... of the marker.
            for (size_t k = 1; k < words.size(); ++k) {
                current.alleles.push_back(std::to_string(current.alleles.size() + 1));
                current.frequencies.push_back(readDecimal(words[k]));
            }
        }
    }
    keep();
    return {};
}

Status writeModifiedFrequencies(const std::string& frequencyFile,
                                std::vector<FrequencyMarker>& markers) {
    if (Status status = readFrequencyMarkers(frequencyFile, markers); !status) return status;
    std::string text;
    for (const FrequencyMarker& marker : markers) {
        text += "M " + marker.name + "\r\n";
        for (size_t i = 0; i < marker.alleles.size(); ++i)
            text +=
                "A " + std::to_string(i + 1) + " " + formatShortest(marker.frequencies[i]) + "\r\n";
    }
    return writeAtomically(modifiedFrequencyPath(frequencyFile), text);
}

Status readDataColumns(const std::string& dataFile, const std::vector<FrequencyMarker>& markers,
                       std::vector<DataColumns>& layout) {
    layout.clear();
    std::vector<std::string> lines;
    if (Status status = readLines(dataFile, lines); !status) return status;
    for (const std::string& line : lines) {
        const std::vector<std::string> words = splitWords(line);
        if (words.empty() || words[0][0] == '#') continue;
        const std::string& type = words[0];
        if (type == "E" || type == "e") break;
        DataColumns item;
        if ((type == "M" || type == "m") && words.size() >= 2) {
            item.marker = true;
            item.name = words[1];
            for (size_t f = 0; f < markers.size() && item.frequencyMarker < 0; ++f)
                if (markers[f].name == words[1]) item.frequencyMarker = static_cast<int>(f);
        } else if (type == "M" || type == "m") {
            item.columns = 2;  // a marker without a name is read past
        } else if ((type[0] == 'S' || type[0] == 's') && type.size() > 1) {
            const std::optional<long long> count = parseInteger(type.substr(1));
            item.columns = count && *count >= 0 && *count <= 100000 ? static_cast<int>(*count) : 1;
        } else {
            item.columns = 1;  // A, T, C, Z, S and anything else: one column
        }
        layout.push_back(item);
    }
    return {};
}

Status readMerlinPedigree(const std::string& path, MerlinPedigree& pedigree) {
    std::vector<DataColumns> layout = std::move(pedigree.layout);
    pedigree = {};
    pedigree.layout = std::move(layout);
    std::vector<std::string> lines;
    if (Status status = readLines(path, lines); !status) return status;
    TraceFile trace("writePedfile");
    for (size_t i = 0; i < lines.size(); ++i) {
        std::vector<std::string> words;
        const std::vector<std::string> raw = splitWords(lines[i]);
        for (size_t k = 0; k < raw.size(); ++k) {
            std::string word = raw[k];
            if (words.size() >= 5) {
                // A genotype "a/b" may be written with blanks around its slash:
                // "a/ b", "a /b" and "a / b" are one genotype too.
                if (k + 1 < raw.size() && raw[k + 1][0] == '/') word += raw[++k];
                if (word.back() == '/' && k + 1 < raw.size()) word += raw[++k];
            }
            const size_t slash = word.find('/');
            if (words.size() >= 5 && slash != std::string::npos) {
                words.push_back(word.substr(0, slash));
                words.push_back(word.substr(slash + 1));
            } else {
                words.push_back(std::move(word));
            }
        }
        if (words.empty()) continue;
        trace << lines[i] << "\r\n";
        if (words.size() < 5)
            return Status::failure(path + ", line " + std::to_string(i + 1) +
                                   ": a pedigree line needs family, person, father, mother and "
                                   "sex");
        if (pedigree.lines.empty() || pedigree.lines.back()[0] != words[0]) ++pedigree.familyCount;
        pedigree.family.push_back(pedigree.familyCount - 1);
        pedigree.lines.push_back(std::move(words));
    }
    const size_t count = pedigree.lines.size();
    const size_t families = static_cast<size_t>(pedigree.familyCount);
    pedigree.match.assign(count, std::vector<int>(families, -1));
    auto sameTail = [&](size_t a, size_t b) {
        const auto& x = pedigree.lines[a];
        const auto& y = pedigree.lines[b];
        return x.size() == y.size() && std::equal(x.begin() + 4, x.end(), y.begin() + 4);
    };
    for (size_t i = 0; i < count; ++i)
        for (size_t j = 0; j < count; ++j) {
            int& slot = pedigree.match[i][static_cast<size_t>(pedigree.family[j])];
            if (slot < 0 && sameTail(i, j)) slot = static_cast<int>(j);  // the first in file order
        }
    return {};
}

namespace {

// The allele words that stand for no allele, as the linkage program reads them.
bool isMissingAlleleWord(const std::string& word) {
    return word == "0" || word == "x" || word == "X" || word == "." || word == "-" || word == "N";
}

bool isNoParentWord(const std::string& word) {
    return word == "0" || word == ".";
}

// The places in a line's words of the marker columns: per marker (in data-file
// order) the word index of its first allele.
std::vector<size_t> markerWords(const MerlinPedigree& pedigree, size_t line) {
    std::vector<size_t> at;
    if (pedigree.layout.empty()) {
        for (size_t w = 5; w < pedigree.lines[line].size(); w += 2) at.push_back(w);
        return at;
    }
    size_t w = 5;
    for (const DataColumns& item : pedigree.layout) {
        if (item.marker) at.push_back(w);
        w += static_cast<size_t>(item.columns);
    }
    return at;
}

std::string wordAt(const std::vector<std::string>& words, size_t w) {
    return w < words.size() ? words[w] : std::string("0");
}

bool isTyped(const MerlinPedigree& pedigree, size_t line) {
    const std::vector<std::string>& words = pedigree.lines[line];
    for (size_t w : markerWords(pedigree, line))
        if (!isMissingAlleleWord(wordAt(words, w)) || !isMissingAlleleWord(wordAt(words, w + 1)))
            return true;
    return false;
}

std::string familyName(const MerlinPedigree& pedigree, size_t line) {
    return "family " + pedigree.lines[line][0] + " (pedigree " +
           std::to_string(pedigree.family[line] + 1) + ")";
}

// A loop of ancestry among the lines of one family, each a parent of the next
// and the last a parent of the first; empty when there is none.
std::vector<size_t> ancestryLoop(const MerlinPedigree& pedigree, const std::vector<size_t>& lines,
                                 const std::map<std::string, size_t>& byId) {
    const size_t k = lines.size();
    std::vector<std::array<int, 2>> parents(k, {-1, -1});
    for (size_t i = 0; i < k; ++i)
        for (int side = 0; side < 2; ++side) {
            const std::string& word = pedigree.lines[lines[i]][2 + static_cast<size_t>(side)];
            const auto it = isNoParentWord(word) ? byId.end() : byId.find(word);
            if (it != byId.end())
                parents[i][static_cast<size_t>(side)] = static_cast<int>(it->second);
        }
    // Depth-first from every person up through his parents: meeting a person on
    // the current path closes a loop.
    std::vector<int> state(k, 0);  // 0 not seen, 1 on the path, 2 done
    std::vector<std::pair<size_t, int>> path;
    for (size_t start = 0; start < k; ++start) {
        if (state[start]) continue;
        path.push_back({start, 0});
        state[start] = 1;
        while (!path.empty()) {
            auto& [person, side] = path.back();
            if (side == 2) {
                state[person] = 2;
                path.pop_back();
                continue;
            }
            const int parent = parents[person][static_cast<size_t>(side++)];
            if (parent < 0 || state[static_cast<size_t>(parent)] == 2) continue;
            if (state[static_cast<size_t>(parent)] == 0) {
                state[static_cast<size_t>(parent)] = 1;
                path.push_back({static_cast<size_t>(parent), 0});
                continue;
            }
            // path holds child, parent, grandparent, ...: from the parent met again
            // down the path back to it.
            size_t from = path.size();
            while (path[from - 1].first != static_cast<size_t>(parent)) --from;
            std::vector<size_t> loop = {lines[static_cast<size_t>(parent)]};
            for (size_t j = path.size(); j-- > from - 1;) loop.push_back(lines[path[j].first]);
            loop.pop_back();  // the parent again
            return loop;
        }
    }
    return {};
}

}  // namespace

std::string merlinPedigreeProblem(const MerlinPedigree& pedigree) {
    std::vector<std::vector<size_t>> families(static_cast<size_t>(pedigree.familyCount));
    for (size_t i = 0; i < pedigree.lines.size(); ++i)
        families[static_cast<size_t>(pedigree.family[i])].push_back(i);
    for (const std::vector<size_t>& lines : families) {
        std::map<std::string, size_t> byId;
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::vector<std::string>& words = pedigree.lines[lines[i]];
            if (!byId.emplace(words[1], i).second)
                return "In " + familyName(pedigree, lines[i]) + " person " + words[1] +
                       " is listed twice";
            if (!isNoParentWord(words[2]) && words[2] == words[3])
                return "In " + familyName(pedigree, lines[i]) + " person " + words[1] +
                       " has the same father and mother";
        }
        const std::vector<size_t> loop = ancestryLoop(pedigree, lines, byId);
        if (!loop.empty()) {
            std::string chain;
            for (size_t line : loop) chain += pedigree.lines[line][1] + " -> ";
            chain += pedigree.lines[loop.front()][1];
            return "In " + familyName(pedigree, loop.front()) + " person " +
                   pedigree.lines[loop.front()][1] +
                   " is his own ancestor (each a parent of the next: " + chain + ")";
        }
    }
    // The simulated genotypes of a family's typed person are copied to his match in
    // every other family: without one, that family would be computed on less data.
    std::string unmatched;
    int count = 0;
    for (size_t i = 0; i < pedigree.lines.size(); ++i) {
        if (!isTyped(pedigree, i)) continue;
        for (size_t v = 0; v < families.size(); ++v) {
            if (static_cast<size_t>(pedigree.family[i]) == v || pedigree.match[i][v] >= 0) continue;
            if (++count <= 3)
                unmatched += (count > 1 ? "; " : "") + std::string("person ") +
                             pedigree.lines[i][1] + " of " + familyName(pedigree, i) +
                             " has no person of the same sex and toy genotypes in " +
                             familyName(pedigree, families[v].front());
        }
    }
    if (count == 0) return {};
    if (count > 3) unmatched += "; and " + std::to_string(count - 3) + " more";
    return "Every typed person must be in every family, with the same sex and toy genotypes: " +
           unmatched;
}

std::string merlinFrequencyProblem(const MerlinPedigree& pedigree,
                                   const std::vector<FrequencyMarker>& markers,
                                   const std::string& mapFile,
                                   const std::function<void(const std::string&)>& warn) {
    if (pedigree.layout.empty()) return {};  // the markers are the frequency file's own
    std::vector<std::string> mapLines;
    if (!readLines(mapFile, mapLines)) return {};  // the linkage program reports it
    std::set<std::string> mapped;
    for (const std::string& line : mapLines) {
        const std::vector<std::string> words = splitWords(line);
        if (words.size() >= 2) mapped.insert(words[1]);
    }
    std::vector<std::string> lacking;
    size_t k = 0;
    for (const DataColumns& item : pedigree.layout) {
        if (!item.marker) continue;
        const size_t markerIndex = k++;
        if (!mapped.count(item.name)) continue;  // not analysed by the linkage program
        const FrequencyMarker* marker = item.frequencyMarker >= 0
                                            ? &markers[static_cast<size_t>(item.frequencyMarker)]
                                            : nullptr;
        double sum = 0.0;
        if (marker)
            for (double f : marker->frequencies) sum += f;
        bool warned = false;
        for (size_t i = 0; i < pedigree.lines.size(); ++i) {
            const std::vector<std::string>& words = pedigree.lines[i];
            const std::vector<size_t> at = markerWords(pedigree, i);
            if (markerIndex >= at.size()) continue;
            for (size_t w : {at[markerIndex], at[markerIndex] + 1}) {
                const std::string allele = wordAt(words, w);
                if (isMissingAlleleWord(allele)) continue;
                if (!marker || sum <= 0.0) {
                    if (lacking.empty() || lacking.back() != item.name)
                        lacking.push_back(item.name);
                } else if (!warned && marker->position(allele) == 0 && warn) {
                    warn("the frequency file has no allele " + allele + " at marker " + item.name +
                         " (person " + words[1] + " of " + familyName(pedigree, i) +
                         "): a person typed with it counts as untyped there");
                    warned = true;
                }
            }
        }
    }
    if (lacking.empty()) return {};
    std::string names;
    for (size_t i = 0; i < lacking.size() && i < 5; ++i) names += (i ? ", " : "") + lacking[i];
    if (lacking.size() > 5) names += " and " + std::to_string(lacking.size() - 5) + " more";
    return "The frequency file has no frequencies for " +
           std::string(lacking.size() == 1 ? "marker " : "markers ") + names +
           ", at which the pedigree file types persons: toy genotypes only say who is typed, "
           "so the frequencies cannot be counted from them";
}

std::string simulationPedigreeText(const MerlinPedigree& pedigree,
                                   const std::vector<FrequencyMarker>& markers, int n) {
    std::string text;
    for (int copy = 0; copy < n; ++copy)
        for (size_t i = 0; i < pedigree.lines.size(); ++i) {
            const auto& words = pedigree.lines[i];
            text += std::to_string(copy * pedigree.familyCount + pedigree.family[i] + 1) + " ";
            for (size_t w = 1; w < 5; ++w) text += words[w] + " ";
            auto position = [&](int f, size_t w) {
                const bool known =
                    f >= 0 && static_cast<size_t>(f) < markers.size() && w < words.size();
                return std::to_string(known ? markers[static_cast<size_t>(f)].position(words[w])
                                            : 0) +
                       " ";
            };
            if (pedigree.layout.empty()) {
                for (size_t w = 5; w < words.size(); ++w)
                    text += position(static_cast<int>((w - 5) / 2), w);
            } else {
                size_t w = 5;
                for (const DataColumns& item : pedigree.layout)
                    for (int c = 0; c < item.columns; ++c, ++w)
                        text += item.marker
                                    ? position(item.frequencyMarker, w)
                                    : (w < words.size() ? words[w] : std::string("0")) + " ";
            }
            text += "\r\n";
        }
    return text;
}

Status writeSimulationPedigrees(const std::string& pedigreeFile, MerlinPedigree& pedigree,
                                const std::vector<FrequencyMarker>& markers, int n) {
    if (Status status = readMerlinPedigree(pedigreeFile, pedigree); !status) return status;
    if (pedigree.familyCount == 0) return Status::failure(pedigreeFile + " holds no family");
    return writeAtomically(simulationPedigreePath(pedigreeFile),
                           simulationPedigreeText(pedigree, markers, n));
}

Status convertReplicateText(const std::string& replicateText, const std::string& replicatePath,
                            const MerlinPedigree& pedigree,
                            const std::vector<FrequencyMarker>& markers, int n,
                            ConvertedReplicates& converted) {
    converted = {};
    std::vector<std::vector<std::string>> lines;
    for (const std::string& line : splitTextLines(replicateText)) {
        std::vector<std::string> words = splitWords(line);
        if (!words.empty()) lines.push_back(std::move(words));
    }
    const size_t perReplicate = pedigree.lines.size();
    const size_t expected = perReplicate * static_cast<size_t>(std::max(n, 0));
    if (lines.size() < expected)
        return Status::failure(replicatePath + " holds " + std::to_string(lines.size()) +
                               " lines of simulated persons, " + std::to_string(expected) +
                               " were expected");
    for (size_t i = 0; i < expected; ++i)
        if (lines[i].size() < 5)
            return Status::failure(replicatePath + ", line " + std::to_string(i + 1) +
                                   ": a replicate line needs family, person, father, mother "
                                   "and sex");
    auto named = [&](int f, const std::string& allele) {
        const std::optional<long long> index = parseInteger(allele);
        if (allele == "0" || !index || *index < 1 || f < 0 ||
            static_cast<size_t>(f) >= markers.size() ||
            static_cast<size_t>(*index) > markers[static_cast<size_t>(f)].alleles.size())
            return allele;
        return markers[static_cast<size_t>(f)].alleles[static_cast<size_t>(*index) - 1];
    };
    const size_t families = static_cast<size_t>(pedigree.familyCount);
    int running = 0;
    for (size_t r = 0; r < static_cast<size_t>(std::max(n, 0)); ++r) {
        const size_t base = r * perReplicate;
        for (size_t v = 0; v < families; ++v) {
            for (size_t i = 0; i < perReplicate; ++i) {
                const auto& own = lines[base + i];
                // Every family of every block starts a number of its own.
                if (i == 0 || pedigree.family[i] != pedigree.family[i - 1]) ++running;
                std::string head = std::to_string(running) + "\t";
                for (size_t w = 1; w < 5; ++w) head += own[w] + "\t";
                converted.engineText += head;
                converted.namedText += head;
                const int source = static_cast<size_t>(pedigree.family[i]) == v
                                       ? static_cast<int>(i)
                                       : pedigree.match[i][v];
                const std::vector<std::string>* from =
                    source >= 0 ? &lines[base + static_cast<size_t>(source)] : nullptr;
                // The k-th marker of the replicate line, named by frequency marker f.
                auto writeMarker = [&](size_t k, int f) {
                    if (!from || from->size() <= 5 + k) {
                        converted.engineText += "0 0 ";
                        converted.namedText += "0 0 ";
                        return;
                    }
                    const std::string& word = (*from)[5 + k];
                    converted.engineText += word + " ";
                    const size_t slash = word.find('/');
                    const std::string a = word.substr(0, slash);
                    const std::string b = slash == std::string::npos ? "0" : word.substr(slash + 1);
                    converted.namedText += named(f, a) + " " + named(f, b) + " ";
                };
                if (pedigree.layout.empty()) {
                    for (size_t k = 0; k + 5 < own.size(); ++k) writeMarker(k, static_cast<int>(k));
                } else {
                    // The person's own other columns (affection, traits, ...) stay as
                    // the user wrote them.
                    const std::vector<std::string>& written = pedigree.lines[i];
                    size_t word = 5, k = 0;
                    for (const DataColumns& item : pedigree.layout) {
                        if (item.marker) {
                            writeMarker(k++, item.frequencyMarker);
                        } else {
                            for (int c = 0; c < item.columns; ++c) {
                                const size_t at = word + static_cast<size_t>(c);
                                const std::string text =
                                    (at < written.size() ? written[at] : std::string("0")) + " ";
                                converted.engineText += text;
                                converted.namedText += text;
                            }
                        }
                        word += static_cast<size_t>(item.columns);
                    }
                }
                converted.engineText += "\r\n";
                converted.namedText += "\r\n";
            }
        }
    }
    return {};
}

Status convertReplicates(const std::string& replicatePath, const std::string& enginePedigreePath,
                         const std::string& pedigreeFile, const MerlinPedigree& pedigree,
                         const std::vector<FrequencyMarker>& markers, int n) {
    TextFile file = readTextFile(replicatePath);
    if (!file.text)
        return Status::failure("The linkage program left no simulated data (" + file.error + ")");
    ConvertedReplicates converted;
    if (Status status =
            convertReplicateText(*file.text, replicatePath, pedigree, markers, n, converted);
        !status)
        return status;
    if (Status status = writeAtomically(enginePedigreePath, converted.engineText); !status)
        return status;
    return writeAtomically(simulatedDataPath(pedigreeFile), converted.namedText);
}

Status countMapChromosomes(const std::string& mapFile, int& chromosomes) {
    std::vector<std::string> lines;
    if (Status status = readLines(mapFile, lines); !status) return status;
    std::set<std::string> seen;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> words = splitWords(lines[i]);
        if (!words.empty()) seen.insert(words[0]);
    }
    chromosomes = static_cast<int>(seen.size());
    return {};
}

Status readMerlinLikelihoods(std::string_view text, const std::string& name, int chromosomes, int n,
                             int families, SimulatedDataSets& sets) {
    const size_t blocks = static_cast<size_t>(std::max(n, 0)) * static_cast<size_t>(families);
    SimulatedDataSets all;
    if (!readSimulatedBlocks(text, std::max(chromosomes, 1) * n, families, all))
        return Status::failure(name + ": the linkage program's output holds fewer families than " +
                               std::to_string(std::max(chromosomes, 1)) + " chromosome(s) of " +
                               std::to_string(blocks) + " blocks of " + std::to_string(families) +
                               " families");
    sets.assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(blocks));
    for (int c = 1; c < chromosomes; ++c)
        for (size_t b = 0; b < blocks; ++b) {
            const LogLikelihoods& more = all[static_cast<size_t>(c) * blocks + b];
            for (size_t i = 0; i < sets[b].size(); ++i) {
                if (!sets[b][i]) continue;  // no value on an earlier chromosome
                if (!more[i])
                    sets[b][i] = more[i];  // none on this one: no value for the whole map
                else
                    sets[b][i] = *sets[b][i] + *more[i];
            }
        }
    return {};
}

std::string merlinRatioTable(const SimulatedDataSets& linked, const SimulatedDataSets& unlinked,
                             int n, int families) {
    const size_t f = static_cast<size_t>(std::max(families, 0));
    std::string out =
        "Likelihoods ratios (LR) L(Data|True hypothesis)/L(Data|Alternative hypothesis)\r\n";
    out += "NumberOfSimulations:\t" + std::to_string(n) + "\r\n\r\n";
    out += "(Accounting for linkage)\t";
    for (size_t i = 0; i + 1 < f * (f + 1); ++i) out += "-\t";
    out += "| (Not accounting for linkage)\t";
    for (size_t i = 0; i < f * (f + 1); ++i) out += "-\t";
    out += "| LR(Not accounting for linkage)/LR(Accounting for linkage)\r\n";
    const std::vector<std::string> names = merlinPedigreeNames(families);
    for (int group = 0; group < 3; ++group) {
        if (group) out += "|\t";
        for (size_t v = 0; v < f; ++v) {
            for (size_t u = 0; u < f; ++u) out += names[u] + (u == v ? " (TRUE)\t" : "\t");
            out += "\t";
        }
    }
    out += "\r\n";
    for (size_t r = 0; r < static_cast<size_t>(std::max(n, 0)); ++r) {
        appendRatioGroup(out, linked, nullptr, r, f);
        out += "|\t";
        appendRatioGroup(out, unlinked, nullptr, r, f);
        out += "|\t";
        appendRatioGroup(out, linked, &unlinked, r, f);
        out += "\r\n";
    }
    return out;
}

Status readMerlinOutput(const std::string& mapFile, const std::string& output, int n, int families,
                        SimulatedDataSets& sets) {
    // The output holds one block per chromosome that the linkage program analysed,
    // each begun by a "Chromosome" line: fewer than the map names when it places
    // markers on X or on chromosomes without a marker of the data file. Output
    // without those lines has one block per chromosome of the map.
    const std::optional<std::string> text = readWholeFile(output);
    if (!text) return Status::failure("Could not read " + output);
    int chromosomes = 0;
    for (const std::string& line : splitTextLines(*text))
        if (line.rfind("Chromosome ", 0) == 0) ++chromosomes;
    if (chromosomes == 0)
        if (Status status = countMapChromosomes(mapFile, chromosomes); !status) return status;
    return readMerlinLikelihoods(*text, output, chromosomes, n, families, sets);
}

Status writeMerlinRatioTable(Core& core, const std::string& mapFile,
                             const std::string& secondMapFile, const std::string& linkedOutput,
                             const std::string& unlinkedOutput, int n, int families,
                             const std::string& outputFile) {
    SimulatedDataSets linked, unlinked;
    if (Status status = readMerlinOutput(mapFile, linkedOutput, n, families, linked); !status)
        return status;
    if (Status status = readMerlinOutput(secondMapFile, unlinkedOutput, n, families, unlinked);
        !status)
        return status;
    core.simulatedLinkedLikelihoods = std::move(linked);
    core.simulatedUnlinkedLikelihoods = std::move(unlinked);
    core.simulatedExactLikelihoods.clear();
    core.simulatedPedigreeNames = merlinPedigreeNames(families);
    if (outputFile.empty()) return {};
    return writeAtomically(outputFile,
                           merlinRatioTable(core.simulatedLinkedLikelihoods,
                                            core.simulatedUnlinkedLikelihoods, n, families));
}

std::vector<std::string> merlinPedigreeNames(int families) {
    std::vector<std::string> names;
    for (int i = 1; i <= families; ++i) names.push_back("Pedigree " + std::to_string(i));
    return names;
}

namespace {

// Passes on the warnings a run of the linkage program wrote to its standard error
// ("Warning: ..." lines), each text once over the whole analysis.
void passOnWarnings(const std::string& errorsFile, std::set<std::string>& seen,
                    const MerlinRun& run) {
    if (!run.warn) return;
    const std::optional<std::string> text = readWholeFile(errorsFile);
    if (!text) return;
    const std::string prefix = "Warning: ";
    for (const std::string& line : splitTextLines(*text))
        if (line.rfind(prefix, 0) == 0 && seen.insert(line).second)
            run.warn("the linkage program: " + line.substr(prefix.size()));
}

std::string errorsFileOf(const std::string& folder, const EngineCommand& command) {
    return (fs::path(folder) / fs::path(command.resultsFile).filename()).string() + ".err";
}

}  // namespace

Status runMerlinAnalysis(Core& core, const MerlinRun& run, MerlinPartialResults* partial) {
    const MerlinFiles& files = run.files;
    const int n = run.simulations;
    std::vector<FrequencyMarker> markers;
    if (Status status = writeModifiedFrequencies(files.frequencyFile, markers); !status)
        return status;
    MerlinPedigree pedigree;
    if (Status status = readDataColumns(files.dataFile, markers, pedigree.layout); !status)
        return status;
    if (Status status = writeSimulationPedigrees(files.pedigreeFile, pedigree, markers, n); !status)
        return status;
    // Families the linkage program would skip, or compare on different data, give
    // ratios that look like results: refused before anything runs.
    if (std::string problem = merlinPedigreeProblem(pedigree); !problem.empty())
        return Status::failure(files.pedigreeFile + ": " + problem);
    if (std::string problem = merlinFrequencyProblem(pedigree, markers, files.mapFile, run.warn);
        !problem.empty())
        return Status::failure(files.frequencyFile + ": " + problem);

    TraceFile trace("merlinAnalyzes", true);
    trace << "Seed: " << run.seed << "\r\n";
    const WorkFolder folder(core.programDirectory);
    if (!folder.ok()) return Status::failure(folder.error());
    trace << "Work folder: " << folder.path() << "\r\n";

    std::set<std::string> warned;
    const std::string data = absolutePath(files.dataFile);
    const std::string frequencies = absolutePath(modifiedFrequencyPath(files.frequencyFile));
    const std::string pedigreeToSimulate = absolutePath(simulationPedigreePath(files.pedigreeFile));
    const EngineCommand simulation = userFileSimulationRun(
        data, absolutePath(files.mapFile), frequencies, pedigreeToSimulate, run.seed);
    const EngineRunOutcome simulated =
        runEngineInFolder(core.programDirectory, simulation, folder.path(), run.whileWaiting);
    passOnWarnings(errorsFileOf(folder.path(), simulation), warned, run);
    const std::string replicates = (fs::path(folder.path()) / "merlin-replicate.ped").string();
    if (!simulated.succeeded() || !fs::exists(replicates))
        return engineFailure(simulated, "the simulation of " + files.pedigreeFile);

    const std::string enginePedigree = (fs::path(folder.path()) / "temp2.ped").string();
    if (Status status =
            convertReplicates(replicates, enginePedigree, files.pedigreeFile, pedigree, markers, n);
        !status)
        return status;

    // Both maps are run even when the first fails, so that a failure still leaves
    // the values that exist.
    const std::pair<std::string, std::string> maps[] = {
        {files.mapFile, "./temp/linkedOutput.txt"},
        {files.secondMapFile, "./temp/unlinkedOutput.txt"}};
    SimulatedDataSets lists[2];
    Status failure;
    for (int i = 0; i < 2; ++i) {
        const EngineCommand likelihoods =
            userFileLikelihoodRun(data, absolutePath(maps[i].first), frequencies, maps[i].second);
        const EngineRunOutcome outcome =
            runEngineInFolder(core.programDirectory, likelihoods, folder.path(), run.whileWaiting);
        passOnWarnings(errorsFileOf(folder.path(), likelihoods), warned, run);
        const std::string output =
            (fs::path(folder.path()) / fs::path(maps[i].second).filename()).string();
        Status status;
        if (!outcome.succeeded() || !hasFamilyLine(output))
            status = engineFailure(outcome, "the map " + maps[i].first);
        else
            status = readMerlinOutput(maps[i].first, output, n, pedigree.familyCount, lists[i]);
        if (!status) {
            lists[i].clear();
            if (failure) failure = status;
        }
    }
    if (!failure) {
        if (partial) *partial = {std::move(lists[0]), std::move(lists[1]), pedigree.familyCount};
        return failure;
    }
    core.simulatedLinkedLikelihoods = std::move(lists[0]);
    core.simulatedUnlinkedLikelihoods = std::move(lists[1]);
    core.simulatedExactLikelihoods.clear();
    core.simulatedPedigreeNames = merlinPedigreeNames(pedigree.familyCount);
    if (files.outputFile.empty()) return {};
    return writeAtomically(files.outputFile, merlinRatioTable(core.simulatedLinkedLikelihoods,
                                                              core.simulatedUnlinkedLikelihoods, n,
                                                              pedigree.familyCount));
}

bool analyseMerlinFiles(Core& core, UserInterface& ui, const MerlinFiles& files,
                        const std::string& numberText, bool randomSeed,
                        const std::string& seedText) {
    const std::string problem = merlinInputError(files, numberText, randomSeed, seedText);
    if (!problem.empty()) {
        ui.error(problem);
        return false;
    }
    MerlinRun run;
    run.files = files;
    run.simulations = static_cast<int>(typedInteger(numberText));
    run.seed = simulationSeed(randomSeed, seedText);
    run.whileWaiting = [&ui] { ui.processEvents(); };
    std::string warnings;
    run.warn = [&warnings](const std::string& text) { warnings += text + "\n"; };
    ui.progressOpen("Analyze Merlin files", 0, 1, "Running the linkage program...");
    const Status status = runMerlinAnalysis(core, run);
    ui.progressClose();
    if (!warnings.empty())
        ui.messageBox(warnings, "Warning", MessageButtons::Ok, MessageIcon::Warning);
    if (!status) {
        ui.error(status.message());
        return false;
    }
    return true;
}

}  // namespace relatix
