#include <algorithm>
#include <cstdio>
#include <optional>
#include <tuple>

#include "core/catalogue.h"
#include "core/core.h"
#include "core/frequency_database.h"
#include "core/theta_check.h"
#include "persistence/import_warnings.h"
#include "persistence/number_format.h"
#include "persistence/project_file.h"
#include "persistence/text_lines.h"
#include "platform/user_interface.h"

namespace relatix {
namespace {

constexpr const char* kLineEnd = "\r\n";
// The main hypothesis of a case whose hypotheses are drawn pedigrees.
constexpr const char* kCreatedPedigreeName = "CREATED PEDIGREE";

// The checks of the values a file brings in. Each gives the value, or nothing
// when the text is not a number of its range.
std::optional<double> decimalWithin(const std::string& text, double low, bool lowIncluded,
                                    double high, bool highIncluded) {
    const std::optional<double> value = parseDecimal(text);
    if (!value) return std::nullopt;
    if (lowIncluded ? *value < low : *value <= low) return std::nullopt;
    if (highIncluded ? *value > high : *value >= high) return std::nullopt;
    return value;
}
std::optional<double> frequencyValue(const std::string& text) {
    return decimalWithin(text, 0.0, false, 1.0, true);
}
std::optional<double> probabilityValue(const std::string& text) {
    return decimalWithin(text, 0.0, true, 1.0, true);
}
std::optional<double> nonNegativeValue(const std::string& text) {
    const std::optional<double> value = parseDecimal(text);
    if (!value || *value < 0) return std::nullopt;
    return value;
}
std::optional<int> integerWithin(const std::string& text, long long low, long long high) {
    const std::optional<long long> value = parseInteger(text);
    if (!value || *value < low || *value > high) return std::nullopt;
    return static_cast<int>(*value);
}
std::optional<int> chromosomeValue(const std::string& text) {
    return integerWithin(text, 1, 1000000);
}
std::optional<int> stepsValue(const std::string& text) {
    const std::optional<double> value = parseDecimal(text);
    if (!value || *value < 0 || *value > 1000000 || *value != static_cast<int>(*value))
        return std::nullopt;
    return static_cast<int>(*value);
}
std::optional<int> mutationModelValue(const std::string& text) {
    return integerWithin(text, 1, 3);
}

constexpr const char* kFrequencyRange = "a frequency must be a number above 0 and at most 1";
constexpr const char* kPositionRange = "a position must be a number of cM from 0";
constexpr const char* kChromosomeRange = "a chromosome must be a whole number from 1";
constexpr const char* kModelRange = "a mutation model must be 1, 2 or 3";
constexpr const char* kRateRange = "a mutation rate must be a number from 0 to 1";
constexpr const char* kRangeRange = "a mutation range must be a number from 0";
// The second mutation value is model 2's largest number of steps or model 3's
// second rate, so it is a number from 0 up.
constexpr const char* kRate2Range = "a second mutation value must be a number from 0";

struct TaggedLine {
    std::string tag;
    std::string value;
};

// The byte an entity at text[at] ("&" up to ";") stands for, with its length.
std::optional<std::pair<char, size_t>> entityAt(const std::string& text, size_t at) {
    const size_t end = text.find(';', at + 1);
    // Every reference read here fits in seven characters, as "&#x0FF;" does.
    if (end == std::string::npos || end - at > 6) return std::nullopt;
    const std::string name = text.substr(at + 1, end - at - 1);
    const size_t length = end - at + 1;
    if (name == "amp") return std::pair{'&', length};
    if (name == "lt") return std::pair{'<', length};
    if (name == "gt") return std::pair{'>', length};
    if (name == "quot") return std::pair{'"', length};
    if (name == "apos") return std::pair{'\'', length};
    if (name.size() < 2 || name[0] != '#') return std::nullopt;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return std::nullopt;
    int value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value * (hex ? 16 : 10) + digit;
    }
    if (value > 255) return std::nullopt;
    return std::pair{static_cast<char>(static_cast<unsigned char>(value)), length};
}

// A line's tag is the text between its first "<" and the next ">"; its value
// runs from that ">" to the next "<" or the end of the line.
TaggedLine parseTaggedLine(const std::string& line) {
    TaggedLine parsed;
    const size_t open = line.find('<');
    if (open == std::string::npos) return parsed;
    const size_t close = line.find('>', open + 1);
    if (close == std::string::npos) {
        parsed.tag = line.substr(open + 1);
        return parsed;
    }
    parsed.tag = line.substr(open + 1, close - open - 1);
    const size_t next = line.find('<', close + 1);
    parsed.value = unescapeProjectText(
        line.substr(close + 1, next == std::string::npos ? std::string::npos : next - close - 1));
    return parsed;
}

class ProjectReader {
public:
    ProjectReader(Core& core, UserInterface& ui, std::vector<std::string> lines)
        : core_(core), ui_(ui), lines_(std::move(lines)) {}

    std::string read();

private:
    // The next non-empty line, or false at the end of the file.
    bool next(TaggedLine& line) {
        while (position_ < lines_.size()) {
            current_ = &lines_[position_++];
            if (current_->empty()) continue;
            line = parseTaggedLine(*current_);
            return true;
        }
        return false;
    }
    // The current line without its indentation, as the import warnings name it.
    std::string currentText() const {
        const size_t start = current_->find_first_not_of(" \t");
        return start == std::string::npos ? std::string() : current_->substr(start);
    }
    // The 1-based line of the current line in the file.
    int currentLine() const { return static_cast<int>(position_); }
    void unrecognised() {
        unrecognised_ += *current_ + kLineEnd;
        reportImportWarning(currentLine(), "not recognized: " + currentText());
    }
    // A known line whose value is refused; what it would have set keeps its
    // default, or the value `instead` says.
    void rejected(const std::string& reason, const std::string& instead = {}) {
        const std::string end = "; not used" + (instead.empty() ? std::string() : ", " + instead);
        unrecognised_ += "Line " + std::to_string(position_) + ": " + *current_ + " - " + reason +
                         end + kLineEnd;
        reportImportWarning(currentLine(), currentText() + " - " + reason + end);
    }
    // Stores the checked value of the current line, or lists the line.
    template <typename T, typename Check>
    void take(T& target, const std::string& value, Check check, const char* reason) {
        if (const auto checked = check(value))
            target = *checked;
        else
            rejected(reason);
    }
    // A line that breaks the nesting of the blocks, or repeats what its block
    // already holds: what the record it belongs to is not imported is said.
    void misplaced(const std::string& what) {
        unrecognised_ +=
            "Line " + std::to_string(position_) + ": " + *current_ + " - " + what + kLineEnd;
        reportImportWarning(currentLine(), currentText() + " - " + what);
    }
    void dropped(const std::string& what) {
        unrecognised_ += "Line " + std::to_string(position_) + ": " + what + kLineEnd;
        reportImportWarning(currentLine(), what);
    }
    // A finding of the summary's own text that names no line (a section cut short).
    std::string failed(const std::string& text) {
        reportImportWarning(std::nullopt, text);
        return text + kLineEnd;
    }
    // The theta of a population: a value out of range is refused and the
    // population keeps the theta it has; an unusually large one is taken and
    // named in the summary.
    void readTheta(Population& population, const std::string& value, std::string& text);
    bool complete() const { return complete_; }

    std::string readPopulation();
    std::string readMarkers();
    std::string readPersons();
    std::string readHypotheses();
    std::string readSettings();
    std::string readCreatedPedigrees();
    void readCreatedPerson();
    void readCreatedPedigree();
    // Gives the case the drawn pedigrees, when the file names them as its hypotheses.
    std::string applyCreatedPedigrees();

    Core& core_;
    UserInterface& ui_;
    std::vector<std::string> lines_;
    size_t position_ = 0;
    const std::string* current_ = nullptr;
    std::string unrecognised_;
    bool complete_ = false;
    // The main hypothesis "CREATED PEDIGREE", and the section of the drawn
    // pedigrees: they are given to the case together, once the file is read.
    bool createdModeNamed_ = false;
    int createdModeLine_ = 0;
    bool createdSectionRead_ = false;
    std::vector<Person> createdPersons_;
    std::vector<Pedigree> createdPedigrees_;
    bool mutationsOff_ = false;
};

std::string ProjectReader::read() {
    std::string summary;
    TaggedLine line;
    bool started = false;
    bool activeSeen = false;
    std::string activeValue;
    while (next(line)) {
        if (!started) {
            started = line.tag == "RELATIX";
            continue;
        }
        const std::string& tag = line.tag;
        if (tag == "/RELATIX") {
            complete_ = true;
            break;
        }
        if (tag == "TITLE" || tag == "TIMESTAMP" || tag == "/TIMESTAMP" || tag == "INFORMATION" ||
            tag == "/INFORMATION" || tag == "NEWALLELEFREQUENCY") {
            continue;
        } else if (tag == "ACTIVEPOPULATION" || tag == "DATABASEUSED") {
            if (integerWithin(line.value, 0, 1000000)) {
                activeSeen = true;
                activeValue = line.value;
            } else {
                rejected("the active population must be a whole number from 0");
            }
        } else if (tag == "MUTATIONSOFF") {
            if (line.value == "Yes" || line.value == "No")
                mutationsOff_ = line.value == "Yes";
            else
                rejected("the mutation switch must be Yes or No");
        } else if (tag == "CREATEDPEDIGREES") {
            summary += readCreatedPedigrees();
        } else if (tag == "PROJECTNAME") {
            core_.setProjectName(line.value);
        } else if (tag == "VERSION") {
            char version[32];
            std::snprintf(version, sizeof version, "%.4f", core_.softwareVersion);
            std::string software = version;
            software.pop_back();  // four decimals cut to three
            const std::string rule(29, '-');
            summary += rule + kLineEnd + "File version: " + line.value + kLineEnd +
                       "Software version: " + software + kLineEnd + rule + kLineEnd;
        } else if (tag == "FREQUENCYDATABASE" || tag == "POPULATION") {
            summary += readPopulation();
        } else if (tag == "MARKERS" || tag == "SYSTEMS") {
            summary += readMarkers();
            summary += "Imported " + std::to_string(core_.markerMap.markers.size()) + " markers" +
                       kLineEnd;
        } else if (tag == "PERSONS") {
            summary += readPersons();
            summary += "Imported " + std::to_string(core_.persons.size()) + " persons" + kLineEnd;
        } else if (tag == "HYPOTHESES" || tag == "PEDIGREES") {
            summary += readHypotheses();
        } else if (tag == "ADVANCED") {
            summary += readSettings();
        } else if (tag == "FIXED RELATIONS" || tag == "FIXEDRELATIONS" || tag == "RESULTS" ||
                   tag == "PEDIGREERESULTS" || tag == "MARKERRESULTS" || tag == "POPULATIONS" ||
                   tag == "/POPULATIONS" || tag == "GENERAL" || tag == "/GENERAL" ||
                   tag == "DVIDATA") {
            continue;
        } else {
            unrecognised();
        }
    }
    core_.activePopulation = activeSeen ? parseLeadingInt(activeValue) : 0;
    // A file without the switch was written when calculations always used mutation.
    core_.mutationsOff = mutationsOff_;
    summary += applyCreatedPedigrees();
    // A file cut short must not be reported as a successful import.
    constexpr const char* kNoStart = "The file has no <RELATIX> line; nothing was imported";
    constexpr const char* kCutShort = "The file ends before </RELATIX>; it may be incomplete";
    if (!started || !complete_) reportImportWarning(std::nullopt, !started ? kNoStart : kCutShort);
    const std::string heading =
        !started    ? std::string(kNoStart) + kLineEnd
        : complete_ ? std::string("Import was successful, below follows a summary.") + kLineEnd
                    : std::string(kCutShort) + kLineEnd +
                          "Below follows a summary of what was read." + kLineEnd;
    return heading + summary + kLineEnd +
           "The following tags/lines (if any) were not recognized by Relatix" + kLineEnd +
           std::string(27, '-') + kLineEnd + unrecognised_;
}

std::string ProjectReader::readPopulation() {
    std::string text;
    Population population;
    std::string markerName;
    int chromosome = -1;
    double position = -1;
    std::vector<Allele> alleles;
    std::string pendingName, pendingFrequency;
    // An allele whose closing line is missing is still taken, and named, so that
    // a typed allele does not fall back on the new-allele frequency unseen.
    auto unclosedAllele = [&] {
        if (pendingName.empty() && pendingFrequency.empty()) return;
        if (!pendingName.empty() && !pendingFrequency.empty()) {
            alleles.push_back({pendingName, *frequencyValue(pendingFrequency)});
            misplaced("the allele " + pendingName +
                      " before this line has no </POPULATIONMARKERALLELE> line; it is taken "
                      "with frequency " +
                      pendingFrequency);
        } else {
            misplaced(
                "an allele before this line has no </POPULATIONMARKERALLELE> line and "
                "was not imported");
        }
        pendingName.clear();
        pendingFrequency.clear();
    };
    TaggedLine line;
    while (next(line)) {
        const std::string& tag = line.tag;
        const std::string& value = line.value;
        if (tag == "POPULATIONNAME") {
            if (!value.empty()) {
                population.name = value;
                text += "Imported population: " + value + kLineEnd;
            }
        } else if (tag == "POPULATIONTHETA") {
            if (!value.empty()) readTheta(population, value, text);
        } else if (tag == "POPULATIONMARKERNAME") {
            if (!value.empty()) markerName = value;
        } else if (tag == "POPULATIONMARKERCHROMOSOME") {
            if (!value.empty()) take(chromosome, value, chromosomeValue, kChromosomeRange);
        } else if (tag == "POPULATIONMARKERPOSITION") {
            if (!value.empty()) take(position, value, nonNegativeValue, kPositionRange);
        } else if (tag == "POPULATIONMARKERALLELENAME") {
            if (!value.empty()) pendingName = value;
        } else if (tag == "POPULATIONMARKERALLELEFREQUENCY") {
            // A refused frequency leaves the allele out, as one without a frequency.
            if (!value.empty()) {
                if (frequencyValue(value))
                    pendingFrequency = value;
                else
                    rejected(kFrequencyRange);
            }
        } else if (tag == "/POPULATIONMARKERALLELE") {
            const bool listed =
                std::any_of(alleles.begin(), alleles.end(),
                            [&](const Allele& allele) { return allele.name == pendingName; });
            if (!pendingName.empty() && !pendingFrequency.empty() && listed)
                dropped("the allele " + pendingName + " of marker " + markerName +
                        " is listed twice; its first entry is used");
            else if (!pendingName.empty() && !pendingFrequency.empty())
                alleles.push_back({pendingName, *frequencyValue(pendingFrequency)});
            pendingName.clear();
            pendingFrequency.clear();
        } else if (tag == "/POPULATIONMARKER") {
            unclosedAllele();
            if (!markerName.empty() && !alleles.empty()) {
                Marker marker(markerName, chromosome, position);
                marker.alleles = alleles;
                population.markers.push_back(std::move(marker));
            }
            alleles.clear();
            markerName.clear();
        } else if (tag == "POPULATIONMARKERS" || tag == "/POPULATIONMARKERS" ||
                   tag == "POPULATIONMARKER" || tag == "POPULATIONMARKERALLELES" ||
                   tag == "/POPULATIONMARKERALLELES") {
            continue;
        } else if (tag == "POPULATIONMARKERALLELE") {
            unclosedAllele();
        } else if (tag == "/POPULATION") {
            core_.populations.push_back(std::move(population));
            return text;
        } else {
            unrecognised();
        }
    }
    return text + failed("Failed to import population");
}

void ProjectReader::readTheta(Population& population, const std::string& value, std::string& text) {
    const std::optional<double> theta = parseDecimal(value);
    const ThetaVerdict verdict = theta ? checkTheta(*theta) : ThetaVerdict::Refused;
    if (verdict == ThetaVerdict::Refused) {
        rejected(thetaRangeMessage(),
                 "the population's theta stays " + formatGeneral(population.theta, 6));
        return;
    }
    population.theta = *theta;
    if (verdict == ThetaVerdict::TakenUnusuallyLarge) {
        const std::string warning = largeThetaWarning(*theta);
        text += "Line " + std::to_string(position_) + ": " + warning + kLineEnd;
        reportImportWarning(currentLine(), warning);
    }
}

std::string ProjectReader::readMarkers() {
    struct Current {
        std::string name;
        int chromosome = -1;
        double position = -1;
        MutationSettings male{1, 0, 0, 0.1};
        MutationSettings female{1, 0, 0, 0.1};
        bool open = false;  // a MARKER line without its /MARKER line yet
        // Which mutation lines the block held: a model without its rate is named.
        bool maleModel = false, maleRate = false, femaleModel = false, femaleRate = false;
    } current;
    // A marker whose block did not close: it is not imported, and the user is told.
    auto unclosed = [&] {
        if (current.open && !current.name.empty())
            dropped("the marker " + current.name + " has no </MARKER> line and was not imported");
    };
    TaggedLine line;
    while (next(line)) {
        const std::string& tag = line.tag;
        const std::string& value = line.value;
        if (tag == "MARKER") {
            unclosed();
            current.name.clear();
            current.chromosome = -1;
            current.position = -1;
            current.open = true;
        } else if (tag == "MARKERNAME") {
            if (!value.empty()) current.name = value;
        } else if (tag == "MARKERCHROMOSOME") {
            if (!value.empty()) take(current.chromosome, value, chromosomeValue, kChromosomeRange);
        } else if (tag == "MARKERPOSITION") {
            if (!value.empty()) take(current.position, value, nonNegativeValue, kPositionRange);
        } else if (tag == "MARKERMALEMUTATIONMODEL") {
            current.maleModel = true;
            if (!value.empty()) take(current.male.model, value, mutationModelValue, kModelRange);
        } else if (tag == "MARKERFEMALEMUTATIONMODEL") {
            current.femaleModel = true;
            if (!value.empty()) take(current.female.model, value, mutationModelValue, kModelRange);
        } else if (tag == "MARKERMALEMUTATIONRATE") {
            current.maleRate = true;
            if (!value.empty()) take(current.male.rate, value, probabilityValue, kRateRange);
        } else if (tag == "MARKERFEMALEMUTATIONRATE") {
            current.femaleRate = true;
            if (!value.empty()) take(current.female.rate, value, probabilityValue, kRateRange);
        } else if (tag == "MARKERMALEMUTATIONRATE2") {
            if (!value.empty()) take(current.male.rate2, value, nonNegativeValue, kRate2Range);
        } else if (tag == "MARKERFEMALEMUTATIONRATE2") {
            if (!value.empty()) take(current.female.rate2, value, nonNegativeValue, kRate2Range);
        } else if (tag == "MARKERMALEMUTATIONRANGE") {
            if (!value.empty()) take(current.male.range, value, nonNegativeValue, kRangeRange);
        } else if (tag == "MARKERFEMALEMUTATIONRANGE") {
            if (!value.empty()) take(current.female.range, value, nonNegativeValue, kRangeRange);
        } else if (tag == "/MARKER") {
            if (!current.name.empty() && (current.chromosome == -1 || current.position == -1))
                dropped("the marker " + current.name + " has no valid " +
                        (current.chromosome == -1 ? "chromosome" : "position") +
                        " and was not imported");
            if (!current.name.empty() && current.chromosome != -1 && current.position != -1) {
                const int at = addMarkerDefinition(core_, ui_, current.name, current.chromosome,
                                                   current.position);
                if (at >= 1 && at <= static_cast<int>(core_.markerMap.markers.size())) {
                    Marker& marker = core_.markerMap.markers[static_cast<size_t>(at - 1)];
                    marker.maleMutation = current.male;
                    marker.femaleMutation = current.female;
                }
                for (const auto& [sex, model, rate, value] :
                     {std::tuple{"male", current.maleModel, current.maleRate, current.male.rate},
                      std::tuple{"female", current.femaleModel, current.femaleRate,
                                 current.female.rate}})
                    if (model && !rate)
                        dropped("the marker " + current.name + " has a " + sex +
                                " mutation model but no " + sex + " mutation rate line; the rate " +
                                formatGeneral(value, 6) + " is used");
            }
            current = Current{};
        } else if (tag == "MARKERMUTATIONSETTINGS" || tag == "/MARKERMUTATIONSETTINGS") {
            continue;
        } else if (tag == "/MARKERS") {
            unclosed();
            return {};
        } else {
            unrecognised();
        }
    }
    unclosed();
    return {};
}

std::string ProjectReader::readPersons() {
    // The person and the observation being read. A record whose nesting is
    // damaged (a line outside its parent, a value given twice, a block that does
    // not close) is read to its end and dropped: one line missing must not move
    // the genotypes of one person or marker to another.
    struct Record {
        bool open = false;
        bool damaged = false;
    };
    Person person("NN");
    Record personState;
    bool nameSeen = false, genderSeen = false;
    DnaObservation observation;
    Record observationState;
    bool markerSeen = false;
    auto freshObservation = [] {
        DnaObservation dna;
        dna.markerName = "NN";
        dna.allele1 = "N";
        dna.allele2 = "N";
        return dna;
    };
    auto startPerson = [&](bool damaged) {
        person = Person("NN");
        personState = {true, damaged};
        nameSeen = genderSeen = false;
        observationState = {};
    };
    auto startObservation = [&](bool damaged) {
        observation = freshObservation();
        observationState = {true, damaged};
        markerSeen = false;
    };
    // A line of a person outside any person opens a damaged one, so that what
    // follows up to its </PERSON> line is not taken for another person.
    auto needPerson = [&](const char* what) {
        if (personState.open) return;
        misplaced(std::string(what) + " outside a <PERSON> block; the person was not imported");
        startPerson(true);
    };
    auto needObservation = [&](const char* what) {
        needPerson(what);
        if (observationState.open) return;
        misplaced(std::string(what) +
                  " outside a <DNAOBSERVATION> block; the observation was not imported");
        startObservation(true);
    };
    auto unclosedObservation = [&] {
        if (!observationState.open) return;
        if (!observationState.damaged)
            misplaced("the DNA observation of " + observation.markerName +
                      " has no </DNAOBSERVATION> line and was not imported");
        observationState = {};
    };
    auto unclosedPerson = [&] {
        if (!personState.open) return;
        unclosedObservation();
        if (!personState.damaged)
            misplaced("the person " + person.name + " has no </PERSON> line and was not imported");
        personState = {};
    };
    observation = freshObservation();
    TaggedLine line;
    while (next(line)) {
        const std::string& tag = line.tag;
        const std::string& value = line.value;
        if (tag == "PERSON") {
            unclosedPerson();
            startPerson(false);
        } else if (tag == "PERSONNAME") {
            needPerson("<PERSONNAME>");
            if (nameSeen && !personState.damaged) {
                misplaced("a second <PERSONNAME> in one person; the person " + person.name +
                          " was not imported");
                personState.damaged = true;
            }
            nameSeen = true;
            if (!value.empty()) person.name = value;
        } else if (tag == "PERSONGENDER") {
            needPerson("<PERSONGENDER>");
            if (genderSeen && !personState.damaged) {
                misplaced("a second <PERSONGENDER> in one person; the person " + person.name +
                          " was not imported");
                personState.damaged = true;
            }
            genderSeen = true;
            if (!value.empty()) person.isMale = value != "Female";
        } else if (tag == "DNAOBSERVATION") {
            needPerson("<DNAOBSERVATION>");
            unclosedObservation();
            startObservation(false);
        } else if (tag == "DNAOBSERVATIONMARKER") {
            needObservation("<DNAOBSERVATIONMARKER>");
            if (markerSeen && !observationState.damaged) {
                misplaced(
                    "a second <DNAOBSERVATIONMARKER> in one observation; the observation "
                    "of " +
                    observation.markerName + " was not imported");
                observationState.damaged = true;
            }
            markerSeen = true;
            if (!value.empty()) observation.markerName = value;
        } else if (tag == "DNAOBSERVATIONALLELE") {
            needObservation("<DNAOBSERVATIONALLELE>");
            if (!value.empty())
                (observation.allele1 == "N" ? observation.allele1 : observation.allele2) = value;
        } else if (tag == "/DNAOBSERVATION") {
            needObservation("</DNAOBSERVATION>");
            const bool taken =
                std::any_of(person.dna.begin(), person.dna.end(), [&](const DnaObservation& dna) {
                    return dna.markerName == observation.markerName;
                });
            if (observationState.damaged) {
                // reported where the damage was found
            } else if (taken) {
                misplaced("a second observation of " + observation.markerName +
                          " in one person; the first one is used");
            } else {
                person.dna.push_back(observation);
            }
            observationState = {};
        } else if (tag == "/PERSON") {
            needPerson("</PERSON>");
            unclosedObservation();
            if (!personState.damaged) core_.persons.push_back(person);
            personState = {};
        } else if (tag == "PERSONDNA" || tag == "/PERSONDNA" || tag == "PERSONID" ||
                   tag == "/PERSONID") {
            continue;
        } else if (tag == "/PERSONS") {
            unclosedPerson();
            return {};
        } else {
            unrecognised();
        }
    }
    return failed("Failed to import persons");
}

std::string ProjectReader::readHypotheses() {
    std::string text;
    int mainCode = -1;
    std::vector<int> alternativeCodes;
    bool ended = false;
    TaggedLine line;
    while (!ended && next(line)) {
        const std::string& tag = line.tag;
        const std::string& value = line.value;
        if (tag == "MAINHYPOTHESIS") {
            if (value.empty()) continue;
            if (value == kCreatedPedigreeName) {
                createdModeNamed_ = true;
                createdModeLine_ = currentLine();
                continue;
            }
            const int code = codeOfName(value);
            if (code >= 1 && code <= kCatalogueCount) {
                core_.selectMainHypothesis(code - 1);
                mainCode = code;
            } else {
                text += "Could not add main hypothesis: " + value;
                reportImportWarning(currentLine(), "Could not add main hypothesis: " + value);
            }
        } else if (tag == "ALTERNATIVEHYPOTHESIS") {
            if (value.empty()) continue;
            const int code = codeOfName(value);
            if (code >= 1 && code <= kCatalogueCount) alternativeCodes.push_back(code);
        } else if (tag == "/MAINHYPOTHESIS" || tag == "/ALTERNATIVEHYPOTHESIS" ||
                   tag == "ALTERNATIVEHYPOTHESES" || tag == "/ALTERNATIVEHYPOTHESES") {
            continue;
        } else if (tag == "/HYPOTHESES" || tag == "/PEDIGREES") {
            ended = true;
        } else {
            unrecognised();
        }
    }
    if (mainCode > 0) {
        core_.alternativeHypotheses.clear();
        const std::vector<int> offered = catalogueAlternatives(mainCode);
        for (int code : alternativeCodes) {
            for (size_t k = 0; k < offered.size(); ++k) {
                if (offered[k] != code) continue;
                core_.alternativeHypotheses.push_back(static_cast<int>(k));
                core_.addAlternativePedigree(code);
                break;
            }
        }
    }
    if (!ended) text += failed("Failed to import hypotheses");
    return text;
}

std::string ProjectReader::readSettings() {
    std::string name;
    double threshold = -1;
    int steps = -1;
    bool lump = false;
    TaggedLine line;
    while (next(line)) {
        const std::string& tag = line.tag;
        const std::string& value = line.value;
        if (tag == "PEDIGREESETTINGS" || tag == "PEDIGREE" || tag == "/PEDIGREESETTINGS") {
            continue;
        } else if (tag == "PEDIGREENAME") {
            if (!value.empty()) name = value;
        } else if (tag == "PEDIGREETHRESHOLD") {
            if (!value.empty())
                take(threshold, value, nonNegativeValue, "a threshold must be a number from 0");
        } else if (tag == "PEDIGREESTEPS") {
            // Written as a double; a whole number is expected.
            if (!value.empty())
                take(steps, value, stepsValue, "steps must be a whole number from 0");
        } else if (tag == "PEDIGREELUMPALLELES") {
            if (value == "Yes") lump = true;
        } else if (tag == "/PEDIGREE") {
            if (!name.empty() && threshold != -1 && steps != -1) {
                const int code = codeOfName(name);
                if (code >= 1 && code <= kCatalogueCount) {
                    const size_t i = static_cast<size_t>(code - 1);
                    core_.pedigreeSettings.threshold[i] = threshold;
                    core_.pedigreeSettings.steps[i] = steps;
                    core_.pedigreeSettings.lumpAlleles[i] = lump;
                }
            }
            name.clear();
            threshold = -1;
            steps = -1;
            lump = false;
        } else if (tag == "/ADVANCED") {
            return {};
        } else {
            unrecognised();
        }
    }
    return {};
}

std::string ProjectReader::readCreatedPedigrees() {
    createdSectionRead_ = true;
    createdPersons_.clear();
    createdPedigrees_.clear();
    TaggedLine line;
    while (next(line)) {
        const std::string& tag = line.tag;
        if (tag == "CREATEDPERSON") {
            readCreatedPerson();
        } else if (tag == "CREATEDPEDIGREE") {
            readCreatedPedigree();
        } else if (tag == "CREATEDPERSONS" || tag == "/CREATEDPERSONS") {
            continue;
        } else if (tag == "/CREATEDPEDIGREES") {
            return {};
        } else {
            unrecognised();
        }
    }
    createdSectionRead_ = false;
    return failed("Failed to import the drawn pedigrees");
}

void ProjectReader::readCreatedPerson() {
    Person person("NN");
    DnaObservation observation;
    int alleles = 0;
    TaggedLine line;
    while (next(line)) {
        const std::string& tag = line.tag;
        const std::string& value = line.value;
        if (tag == "CREATEDPERSONNAME") {
            person.name = value;
        } else if (tag == "CREATEDPERSONGENDER") {
            if (value == "Male" || value == "Female")
                person.isMale = value == "Male";
            else
                rejected("a gender must be Male or Female");
        } else if (tag == "CREATEDDNAOBSERVATION") {
            observation = DnaObservation{};
            alleles = 0;
        } else if (tag == "CREATEDDNAOBSERVATIONMARKER") {
            observation.markerName = value;
        } else if (tag == "CREATEDDNAOBSERVATIONALLELE") {
            (alleles++ == 0 ? observation.allele1 : observation.allele2) = value;
        } else if (tag == "/CREATEDDNAOBSERVATION") {
            if (!observation.markerName.empty())
                person.dna.push_back(observation);
            else
                dropped("a DNA observation without a marker was not imported");
        } else if (tag == "CREATEDPERSONDNA" || tag == "/CREATEDPERSONDNA") {
            continue;
        } else if (tag == "/CREATEDPERSON") {
            createdPersons_.push_back(std::move(person));
            return;
        } else {
            unrecognised();
        }
    }
}

void ProjectReader::readCreatedPedigree() {
    Pedigree pedigree;
    Relation relation;
    TaggedLine line;
    while (next(line)) {
        const std::string& tag = line.tag;
        const std::string& value = line.value;
        if (tag == "CREATEDPEDIGREENAME") {
            pedigree.name = value;
        } else if (tag == "CREATEDPEDIGREELABEL") {
            pedigree.label = value;
        } else if (tag == "CREATEDRELATION") {
            relation = Relation{};
        } else if (tag == "CREATEDRELATIONPARENT") {
            take(
                relation.parent, value,
                [](const std::string& text) { return integerWithin(text, 1, 1000000); },
                "a parent must be a person number from 1");
        } else if (tag == "CREATEDRELATIONCHILD") {
            take(
                relation.child, value,
                [](const std::string& text) { return integerWithin(text, 1, 1000000); },
                "a child must be a person number from 1");
        } else if (tag == "/CREATEDRELATION") {
            // The persons are checked once the whole section is read.
            pedigree.relations.push_back(relation);
        } else if (tag == "/CREATEDPEDIGREE") {
            createdPedigrees_.push_back(std::move(pedigree));
            return;
        } else {
            unrecognised();
        }
    }
}

std::string ProjectReader::applyCreatedPedigrees() {
    if (!createdModeNamed_) {
        if (createdSectionRead_) {
            const std::string notUsed =
                std::string("The drawn pedigrees were not used: the main hypothesis of the ") +
                "file is not " + kCreatedPedigreeName;
            unrecognised_ += notUsed + kLineEnd;
            reportImportWarning(std::nullopt, notUsed);
        }
        return {};
    }
    // A file written before drawn pedigrees were stored names the mode only.
    if (!createdSectionRead_) {
        const std::string notAdded =
            std::string("Could not add main hypothesis: ") + kCreatedPedigreeName;
        reportImportWarning(createdModeLine_, notAdded);
        return notAdded;
    }
    const int persons = static_cast<int>(createdPersons_.size());
    std::string text;
    for (Pedigree& pedigree : createdPedigrees_) {
        const auto before = pedigree.relations.size();
        std::erase_if(pedigree.relations, [persons](const Relation& r) {
            return r.parent < 1 || r.child < 1 || r.parent > persons || r.child > persons ||
                   r.parent == r.child;
        });
        if (pedigree.relations.size() != before) {
            const std::string lost = "The pedigree " + pedigree.name + " lost " +
                                     std::to_string(before - pedigree.relations.size()) +
                                     " relation(s) naming no drawn person";
            unrecognised_ += lost + kLineEnd;
            reportImportWarning(std::nullopt, lost);
        }
    }
    core_.mainHypothesis = kCreatedPedigrees;
    core_.alternativeHypotheses.clear();
    core_.removeHypothesisPedigrees(false);
    core_.createdPedigrees = std::move(createdPedigrees_);
    GenotypeTable& table = core_.genotypeTable;
    table.pedigreePersons = std::move(createdPersons_);
    // The analysis persons of the drawn pedigrees are their persons, as the DNA
    // entry lines them up.
    core_.resizeGenotypeTable(persons);
    for (const Person& person : table.pedigreePersons) {
        table.sexCodes.push_back(person.isMale ? 1 : 2);
        table.personNames.push_back(person.name);
    }
    text += "Imported " + std::to_string(core_.createdPedigrees.size()) + " drawn pedigrees over " +
            std::to_string(persons) + " persons" + kLineEnd;
    return text;
}

// The calculations use the theta of the cluster database, which the file does
// not store; the active population's theta is what the user set for the case.
void restoreCaseTheta(Core& core) {
    if (const Population* active = core.populationAt(core.activePopulation))
        core.clusterDatabase.theta = active->theta < 0 ? 0.0 : active->theta;
}

}  // namespace

std::string unescapeProjectText(const std::string& text) {
    if (text.find('&') == std::string::npos) return text;
    std::string plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '&') {
            if (const auto entity = entityAt(text, i)) {
                plain += entity->first;
                i += entity->second;
                continue;
            }
        }
        plain += text[i++];
    }
    return plain;
}

void readProjectText(Core& core, const std::string& text, UserInterface& ui) {
    ProjectReader reader(core, ui, splitTextLines(text));
    const std::string summary = reader.read();
    restoreCaseTheta(core);
    ui.showTextWindow(summary);
}

bool readProjectFile(Core& core, const std::string& path, UserInterface& ui) {
    const TextFile file = readTextFile(path);
    if (!file.text) {
        ui.messageBox(file.refused ? file.error : std::string("Could not open input file"),
                      kApplicationTitle, MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    readProjectText(core, *file.text, ui);
    return true;
}

}  // namespace relatix
