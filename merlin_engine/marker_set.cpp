#include "marker_set.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "text_input.h"

namespace merlin {

namespace {

constexpr int kSmallIntegerLimit = 1 << 20;
constexpr long long kLargestChromosome = 1 << 30;

// Value of a label written as a plain positive decimal without leading zeros.
int smallIntegerValue(std::string_view label) {
    if (label.empty() || label.size() > 7 || label[0] == '0') return -1;
    int value = 0;
    for (char c : label) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value < kSmallIntegerLimit ? value : -1;
}

std::string shown(std::string_view text) {
    constexpr size_t kLimit = 40;
    return text.size() <= kLimit ? std::string(text) : std::string(text.substr(0, kLimit)) + "...";
}

}  // namespace

bool isMissingAllele(std::string_view label) {
    return label == "0" || label == "x" || label == "X" || label == "." || label == "-" ||
           label == "N";
}

int Marker::find(std::string_view label) const {
    const int value = smallIntegerValue(label);
    if (value >= 0 && static_cast<size_t>(value) < smallIntegers_.size() &&
        smallIntegers_[value] >= 0)
        return smallIntegers_[value];
    if (index_.empty()) return -1;
    const auto it = index_.find(label);
    return it == index_.end() ? -1 : it->second;
}

int Marker::findOrAdd(std::string_view label) {
    const int found = find(label);
    if (found >= 0) return found;
    const int index = static_cast<int>(labels.size());
    labels.emplace_back(label);
    frequencies.push_back(0.0);
    // Plain numbers go to a table indexed by their value while it stays dense.
    const int value = smallIntegerValue(label);
    if (value >= 0 && static_cast<size_t>(value) < 16 * (labels.size() + 64)) {
        if (static_cast<size_t>(value) >= smallIntegers_.size())
            smallIntegers_.resize(std::max<size_t>(value + 1, smallIntegers_.size() * 2), -1);
        smallIntegers_[value] = index;
    } else {
        index_.emplace(std::string(label), index);
    }
    return index;
}

bool readDataFile(const std::string& path, MarkerSet& set, Warnings& warnings, std::string& error) {
    LineReader reader;
    std::string why;
    if (!reader.open(path, &why, kLargestInputSize)) {
        error = describeRefusal(path, why) + " (the data file)";
        return false;
    }
    std::map<std::string, int, std::less<>> names;
    std::string line;
    std::vector<std::string_view> fields;
    while (reader.next(line)) {
        splitFields(line, fields);
        if (fields.empty() || fields[0][0] == '#') continue;
        const std::string_view type = fields[0];
        const std::string where = "data file line " + std::to_string(reader.lineNumber());
        if (type == "E" || type == "e") break;
        if (type == "M" || type == "m") {
            if (fields.size() < 2) {
                warnings.warn("data", where + ": marker without a name is read past");
                set.items.push_back({false, -1, 2});
                continue;
            }
            Marker marker;
            marker.name = std::string(fields[1]);
            if (names.count(marker.name)) {
                warnings.warn("data", where + ": marker " + shown(marker.name) +
                                          " named twice, the later one is left out");
                marker.duplicate = true;
            } else {
                names.emplace(marker.name, static_cast<int>(set.markers.size()));
            }
            set.items.push_back({true, static_cast<int>(set.markers.size()), 2});
            set.markers.push_back(std::move(marker));
        } else if (type == "A" || type == "T" || type == "C" || type == "Z" || type == "a" ||
                   type == "t" || type == "c" || type == "z") {
            // Affection, trait, covariate and zygosity: one column each.
            set.items.push_back({false, -1, 1});
        } else if (type[0] == 'S' || type[0] == 's') {
            // "S" skips one column (the next word is its name); "S2" skips two.
            int columns = 1;
            if (type.size() > 1) {
                const auto n = parseInteger(type.substr(1));
                if (!n || *n < 0 || *n > 100000) {
                    warnings.warn("data", where + ": skip item '" + shown(type) +
                                              "' has no column count, read as one column");
                } else {
                    columns = static_cast<int>(*n);
                }
            }
            set.items.push_back({false, -1, columns});
        } else {
            warnings.warn(
                "data", where + ": unknown item type '" + shown(type) + "' is read as one column");
            set.items.push_back({false, -1, 1});
        }
    }
    return true;
}

bool readMapFile(const std::string& path, MarkerSet& set, Warnings& warnings, std::string& error) {
    LineReader reader;
    std::string why;
    if (!reader.open(path, &why, kLargestInputSize)) {
        error = describeRefusal(path, why) + " (the map file)";
        return false;
    }
    std::map<std::string_view, int, std::less<>> byName;
    for (size_t i = 0; i < set.markers.size(); ++i)
        if (!set.markers[i].duplicate) byName.emplace(set.markers[i].name, static_cast<int>(i));
    std::string line;
    std::vector<std::string_view> fields;
    bool first = true;
    while (reader.next(line)) {
        splitFields(line, fields);
        if (fields.empty()) continue;
        const std::string where = "map file line " + std::to_string(reader.lineNumber());
        const bool header = first && (fields.size() < 3 || !parseFiniteDouble(fields[2]));
        first = false;
        if (header) continue;
        if (fields.size() < 3) {
            warnings.warn("map", where + ": fewer than three fields, line left out");
            continue;
        }
        const auto position = parseFiniteDouble(fields[2]);
        if (!position) {
            warnings.warn("map", where + ": position '" + shown(fields[2]) +
                                     "' is not a number, line left out");
            continue;
        }
        const auto it = byName.find(fields[1]);
        if (it == byName.end()) {
            warnings.warn("map-unused", where + ": marker " + shown(fields[1]) +
                                            " is not in the data file, left out");
            continue;
        }
        Marker& marker = set.markers[it->second];
        if (marker.mapped) {
            warnings.warn("map", where + ": marker " + shown(marker.name) +
                                     " placed twice, the later line is left out");
            continue;
        }
        marker.mapped = true;
        marker.position = *position;
        // Any whole number from 1 names an autosome; X, also written 23, is not
        // analysed yet, and the run says so once.
        const std::string_view label = fields[0];
        const auto chromosome = parseInteger(label);
        if (label == "X" || label == "x" || (chromosome && *chromosome == 23)) {
            marker.onX = true;
        } else if (chromosome && *chromosome >= 1 && *chromosome <= kLargestChromosome) {
            marker.chromosome = static_cast<int>(*chromosome);
        } else {
            warnings.warn("map-chromosome", "marker " + shown(marker.name) + " on chromosome " +
                                                shown(fields[0]) + " is left out");
        }
    }
    for (const Marker& marker : set.markers)
        if (!marker.mapped && !marker.duplicate)
            warnings.warn("map-missing",
                          "marker " + shown(marker.name) + " has no map position and is left out");
    return true;
}

bool readFrequencyFile(const std::string& path, MarkerSet& set, Warnings& warnings,
                       std::string& error) {
    LineReader reader;
    std::string why;
    if (!reader.open(path, &why, kLargestInputSize)) {
        error = describeRefusal(path, why) + " (the frequency file)";
        return false;
    }
    std::map<std::string_view, int, std::less<>> byName;
    for (size_t i = 0; i < set.markers.size(); ++i)
        if (!set.markers[i].duplicate) byName.emplace(set.markers[i].name, static_cast<int>(i));
    std::vector<bool> seen(set.markers.size(), false);
    Marker* current = nullptr;
    bool skipping = false;  // inside the block of a marker the data file does not name
    std::string line;
    std::vector<std::string_view> fields;
    while (reader.next(line)) {
        splitFields(line, fields);
        if (fields.empty()) continue;
        const std::string_view type = fields[0];
        const std::string where = "frequency file line " + std::to_string(reader.lineNumber());
        if (type == "M" || type == "m") {
            current = nullptr;
            skipping = true;
            if (fields.size() < 2) continue;
            const auto it = byName.find(fields[1]);
            if (it == byName.end()) continue;
            if (seen[it->second]) {
                warnings.warn("freq", where + ": marker " + shown(fields[1]) +
                                          " listed twice, the later block is ignored");
                continue;
            }
            seen[it->second] = true;
            current = &set.markers[it->second];
            skipping = false;
        } else if (type == "A" || type == "a" || type == "F" || type == "f") {
            if (!current) {
                if (!skipping) warnings.warn("freq", where + ": allele line outside a marker");
                continue;
            }
            const bool single = type == "A" || type == "a";
            if (single && fields.size() < 3) {
                warnings.warn("freq", where + ": allele line needs a label and a frequency");
                continue;
            }
            const size_t firstValue = single ? 2 : 1;
            const size_t lastValue = single ? 3 : fields.size();
            const size_t numberBase = current->labels.size() + 1;
            for (size_t k = firstValue; k < lastValue; ++k) {
                const auto frequency = parseFiniteDouble(fields[k]);
                if (!frequency || *frequency < 0.0) {
                    warnings.warn("freq", where + ": frequency '" + shown(fields[k]) +
                                              "' is not a number from 0 up, ignored");
                    continue;
                }
                const std::string label =
                    single ? std::string(fields[1]) : std::to_string(numberBase + k - firstValue);
                if (isMissingAllele(label)) {
                    warnings.warn("freq", where + ": label " + shown(label) +
                                              " stands for a missing allele, ignored");
                    continue;
                }
                if (current->find(label) >= 0) {
                    warnings.warn("freq", where + ": allele " + shown(label) + " of marker " +
                                              shown(current->name) + " listed twice, ignored");
                    continue;
                }
                const int index = current->findOrAdd(label);
                current->frequencies[index] = *frequency;
            }
        } else {
            warnings.warn("freq", where + ": unknown line type '" + shown(type) + "' ignored");
        }
    }
    // A frequency file that was given but lacks markers (an empty one, say) changes
    // every value of those markers, so this is said also under --quiet: one line
    // for all of them.
    std::vector<std::string> lacking;
    for (size_t i = 0; i < set.markers.size(); ++i) {
        Marker& marker = set.markers[i];
        if (marker.duplicate) continue;
        double sum = 0.0;
        for (double f : marker.frequencies) sum += f;
        if (sum <= 0.0) {
            if (marker.chromosome > 0) lacking.push_back(shown(marker.name));
            marker.countFromGenotypes = true;
        }
    }
    if (!lacking.empty()) {
        constexpr size_t kNamed = 5;
        std::string names;
        for (size_t i = 0; i < lacking.size() && i < kNamed; ++i)
            names += (i ? ", " : "") + lacking[i];
        if (lacking.size() > kNamed)
            names += " and " + std::to_string(lacking.size() - kNamed) + " more";
        const bool one = lacking.size() == 1;
        warnings.warnAlways((one ? "marker " : "markers ") + names + (one ? " has" : " have") +
                            " no frequencies; they are counted from the pedigree file (the "
                            "frequency file '" +
                            path + "' lacks " + (one ? "it)" : "them)"));
    }
    return true;
}

void countAllFrequencies(MarkerSet& set) {
    for (Marker& marker : set.markers)
        if (!marker.duplicate) marker.countFromGenotypes = true;
}

std::string whyNothingIsAnalysed(const MarkerSet& set) {
    if (set.markers.empty()) return "no marker can be analysed (the data file names none)";
    int twice = 0, unmapped = 0, onX = 0, other = 0, excluded = 0;
    for (const Marker& marker : set.markers) {
        if (marker.duplicate)
            ++twice;
        else if (!marker.mapped)
            ++unmapped;
        else if (marker.onX)
            ++onX;
        else if (marker.chromosome <= 0)
            ++other;
        else if (marker.excluded)
            ++excluded;
    }
    const size_t total = set.markers.size();
    std::string why = "no marker can be analysed (data file: " + std::to_string(total) +
                      (total == 1 ? " marker" : " markers");
    auto part = [&](int count, const char* what) {
        if (count > 0) why += "; " + std::to_string(count) + " " + what;
    };
    part(onX, "on the X chromosome, which is not analysed");
    part(unmapped, "without a map position");
    part(other, "on a chromosome that is not a whole number from 1");
    part(excluded, "with alleles that the frequency file lacks");
    part(twice, "named twice");
    return why + ")";
}

void MarkerSet::finish(Warnings& warnings) {
    for (Marker& marker : markers) {
        if (marker.duplicate) continue;
        if (marker.countFromGenotypes) {
            long long total = 0;
            for (long long c : marker.counts) total += c;
            marker.frequencies.assign(marker.labels.size(), 0.0);
            for (size_t a = 0; a < marker.counts.size() && total > 0; ++a)
                marker.frequencies[a] = static_cast<double>(marker.counts[a]) / total;
            continue;
        }
        double sum = 0.0;
        for (double f : marker.frequencies) sum += f;
        if (std::fabs(sum - 1.0) > 1e-4 && marker.chromosome > 0)
            warnings.warn("freq-sum", "frequencies of marker " + shown(marker.name) + " sum to " +
                                          std::to_string(sum) + " and are rescaled to 1");
        if (sum != 1.0)
            for (double& f : marker.frequencies) f /= sum;
    }
    for (Marker& marker : markers) {
        marker.cumulative.resize(marker.frequencies.size());
        double running = 0.0;
        for (size_t a = 0; a < marker.frequencies.size(); ++a)
            marker.cumulative[a] = running += marker.frequencies[a];
    }
    chromosomes.clear();
    std::map<int, std::vector<int>> byChromosome;
    for (size_t i = 0; i < markers.size(); ++i)
        if (markers[i].chromosome > 0 && !markers[i].duplicate && markers[i].mapped)
            byChromosome[markers[i].chromosome];
    for (size_t i = 0; i < markers.size(); ++i)
        if (markers[i].analysed())
            byChromosome[markers[i].chromosome].push_back(static_cast<int>(i));
    for (auto& [number, list] : byChromosome) {
        std::stable_sort(list.begin(), list.end(),
                         [&](int a, int b) { return markers[a].position < markers[b].position; });
        chromosomes.push_back({number, list});
    }
}

}  // namespace merlin
