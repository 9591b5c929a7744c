#include "pedigree_file.h"

#include <unordered_map>
#include <unordered_set>

namespace merlin {

namespace {

std::string shown(std::string_view text) {
    constexpr size_t kLimit = 40;
    return text.size() <= kLimit ? std::string(text) : std::string(text.substr(0, kLimit)) + "...";
}

// Reads one genotype from fields[next...] and moves next past it; false when the
// line ends within it.
bool takeGenotype(const std::vector<std::string_view>& fields, size_t& next,
                  std::string_view& first, std::string_view& second) {
    auto following = [&](std::string_view& target) {
        if (next >= fields.size()) return false;
        target = fields[next++];
        return true;
    };
    if (!following(first)) return false;
    const size_t slash = first.find('/');
    if (slash != std::string_view::npos) {  // "a/b", or "a/ b"
        second = first.substr(slash + 1);
        first = first.substr(0, slash);
        return !second.empty() || following(second);
    }
    if (!following(second)) return false;
    if (second[0] != '/') return true;  // "a b"
    second.remove_prefix(1);            // "a /b", or "a / b"
    return !second.empty() || following(second);
}

// Places of the lines of every family, in order of first appearance.
bool indexFamilies(const std::string& path, FamilyLayout& layout) {
    LineReader reader;
    if (!reader.open(path)) return false;
    std::unordered_map<std::string, size_t, TransparentHash, std::equal_to<>> index;
    std::string line;
    std::vector<std::string_view> fields;
    size_t runs = 0;
    std::string previousWord;
    while (reader.next(line)) {
        splitFields(line, fields);
        if (fields.size() < 5) continue;
        if (runs == 0 || fields[0] != previousWord) {
            ++runs;
            previousWord = std::string(fields[0]);
        }
        auto it = index.find(fields[0]);
        if (it == index.end()) {
            it = index.emplace(std::string(fields[0]), layout.families.size()).first;
            layout.families.emplace_back();
        }
        layout.families[it->second].push_back({reader.lineOffset(), reader.lineNumber()});
    }
    layout.scattered = runs > layout.families.size();
    if (!layout.scattered) layout.families.clear();
    return true;
}

}  // namespace

bool isNoParent(std::string_view word) {
    return word == "0" || word == ".";
}

int parseSex(std::string_view text) {
    if (text == "1" || text == "m" || text == "M") return 1;
    if (text == "2" || text == "f" || text == "F") return 2;
    return 0;
}

bool splitGenotypes(const std::vector<std::string_view>& fields, const MarkerSet& set,
                    std::vector<std::string_view>& labels, bool& extraFields) {
    labels.assign(set.markers.size() * 2, std::string_view());
    size_t next = 5;
    bool complete = true;
    for (const DataItem& item : set.items) {
        if (!item.isMarker) {
            next += item.columns;
            if (next > fields.size()) complete = false;
            continue;
        }
        std::string_view first, second;
        if (!takeGenotype(fields, next, first, second)) {
            complete = false;
            continue;
        }
        if (first.empty() || second.empty() || isMissingAllele(first) || isMissingAllele(second))
            continue;  // untyped, half-typed included
        labels[item.marker * 2] = first;
        labels[item.marker * 2 + 1] = second;
    }
    extraFields = next < fields.size();
    return complete;
}

bool PedigreeReader::readPersonLine() {
    while (reader_.next(line_)) {
        splitFields(line_, fields_);
        if (fields_.size() >= 5) return true;
    }
    return false;
}

void PedigreeReader::addPerson(FamilyRecord& family) {
    PersonLine person;
    person.family = family.id;
    person.id = std::string(fields_[1]);
    person.father = isNoParent(fields_[2]) ? "0" : std::string(fields_[2]);
    person.mother = isNoParent(fields_[3]) ? "0" : std::string(fields_[3]);
    person.sexText = std::string(fields_[4]);
    person.sex = parseSex(fields_[4]);
    person.line = reader_.lineNumber();
    family.persons.push_back(std::move(person));
    bool extra = false;
    splitGenotypes(fields_, set_, labels_, extra);
    for (size_t m = 0; m < set_.markers.size(); ++m) {
        const Marker& marker = set_.markers[m];
        std::int32_t a = -1, b = -1;
        if (!labels_[2 * m].empty()) {
            if (reading_ == GenotypeReading::TypedOnly) {
                a = b = 0;
            } else if (marker.analysed()) {
                a = marker.find(labels_[2 * m]);
                b = marker.find(labels_[2 * m + 1]);
                if (a < 0 || b < 0) a = b = -1;
            }
        }
        family.alleles.push_back(a);
        family.alleles.push_back(b);
    }
}

bool PedigreeReader::next(FamilyRecord& family) {
    family.persons.clear();
    family.alleles.clear();
    family.markerCount = static_cast<int>(set_.markers.size());
    if (layout_) {
        if (ordinal_ >= static_cast<long>(layout_->families.size())) return false;
        family.ordinal = ordinal_;
        bool first = true;
        for (const FamilyLayout::Place& place : layout_->families[ordinal_]) {
            if (!reader_.seek(place.offset, place.line) || !reader_.next(line_)) continue;
            splitFields(line_, fields_);
            if (fields_.size() < 5) continue;  // the file changed since the first pass
            if (first) family.id = std::string(fields_[0]);
            first = false;
            addPerson(family);
        }
        ++ordinal_;
        return true;
    }
    if (!pending_ && !readPersonLine()) return false;
    pending_ = false;
    family.id = std::string(fields_[0]);
    family.ordinal = ordinal_++;
    for (;;) {
        addPerson(family);
        if (!readPersonLine()) break;
        if (fields_[0] != family.id) {
            pending_ = true;
            break;
        }
    }
    return true;
}

bool scanPedigreeFile(const std::string& path, MarkerSet& set, bool toyGenotypes,
                      Warnings& warnings, FamilyLayout& layout, std::string& error) {
    LineReader reader;
    std::string why;
    if (!reader.open(path, &why)) {
        error = describeRefusal(path, why) + " (the pedigree file)";
        return false;
    }
    std::string line;
    std::vector<std::string_view> fields;
    std::vector<std::string_view> labels;
    // Hashes of the family words whose lines have ended: a word met again may start
    // a family's second run of lines, which the exact index then settles.
    std::unordered_set<size_t> ended;
    std::string family;
    bool anyFamily = false, mayRecur = false;
    while (reader.next(line)) {
        splitFields(line, fields);
        if (fields.empty()) continue;
        const std::string where = "pedigree file line " + std::to_string(reader.lineNumber());
        if (fields.size() < 5) {
            warnings.warn("ped-short", where + ": fewer than five fields, line ignored");
            continue;
        }
        if (!anyFamily || fields[0] != family) {
            const TransparentHash hash;
            if (anyFamily) ended.insert(hash(family));
            mayRecur |= ended.count(hash(fields[0])) > 0;
            family = std::string(fields[0]);
            anyFamily = true;
        }
        bool extra = false;
        if (!splitGenotypes(fields, set, labels, extra))
            warnings.warn("ped-columns", where +
                                             ": fewer fields than the data file describes; "
                                             "the missing genotypes count as untyped");
        else if (extra)
            warnings.warn("ped-columns", where +
                                             ": more fields than the data file describes; "
                                             "the extra fields are ignored");
        for (size_t m = 0; m < set.markers.size(); ++m) {
            Marker& marker = set.markers[m];
            if (labels[2 * m].empty() || marker.duplicate) continue;
            for (int k = 0; k < 2; ++k) {
                const std::string_view label = labels[2 * m + k];
                if (marker.countFromGenotypes) {
                    const int index = marker.findOrAdd(label);
                    if (marker.counts.size() <= static_cast<size_t>(index))
                        marker.counts.resize(index + 1, 0);
                    ++marker.counts[index];
                } else if (!toyGenotypes && !marker.excluded && marker.chromosome > 0) {
                    const int index = marker.find(label);
                    if (index < 0) {
                        marker.excluded = true;
                        warnings.warn("ped-allele", "marker " + shown(marker.name) +
                                                        " is left out: allele " + shown(label) +
                                                        " on " + where +
                                                        " is not in the frequency file");
                    } else if (marker.frequencies[static_cast<size_t>(index)] == 0.0) {
                        // The family becomes inconsistent: say why.
                        warnings.warn("ped-zero", "marker " + shown(marker.name) + ": person " +
                                                      shown(fields[1]) + " of family " +
                                                      shown(fields[0]) + " on " + where +
                                                      " carries allele " + shown(label) +
                                                      ", whose frequency is 0");
                    }
                }
            }
        }
    }
    if (reader.lineTooLong()) {
        error = "pedigree file '" + path + "', line " + std::to_string(reader.lineNumber() + 1) +
                ": longer than " + std::to_string(kLargestInputSize >> 20) + " MB";
        return false;
    }
    layout = FamilyLayout();
    if (mayRecur && !indexFamilies(path, layout)) {
        error = "cannot open pedigree file '" + path + "'";
        return false;
    }
    return true;
}

}  // namespace merlin
