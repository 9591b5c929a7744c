#include <filesystem>
#include <fstream>
#include <ostream>

#include "core/catalogue.h"
#include "core/core.h"
#include "persistence/number_format.h"
#include "persistence/project_file.h"
#include "platform/atomic_file.h"
#include "platform/user_interface.h"

namespace relatix {
namespace {

// Writes one line at its nesting depth; every line ends CR LF and is flushed.
class TagWriter {
public:
    TagWriter(std::ostream& out, int digits) : out_(out), digits_(digits) {}
    void setDigits(int digits) { digits_ = digits; }
    void open(int depth, const std::string& tag) { line(depth, "<" + tag + ">"); }
    void close(int depth, const std::string& tag) { line(depth, "</" + tag + ">"); }
    void leaf(int depth, const std::string& tag, const std::string& value) {
        line(depth, "<" + tag + ">" + escapeProjectText(value) + "</" + tag + ">");
    }
    void leaf(int depth, const std::string& tag, double value) {
        leaf(depth, tag, formatGeneral(value, digits_));
    }
    void leaf(int depth, const std::string& tag, int value) {
        leaf(depth, tag, std::to_string(value));
    }

private:
    void line(int depth, const std::string& text) {
        out_ << std::string(static_cast<size_t>(depth), '\t') << text << "\r\n";
        out_.flush();
    }
    std::ostream& out_;
    int digits_;
};

void writeDnaObservations(TagWriter& w, int depth, const std::vector<DnaObservation>& dna,
                          const std::string& prefix) {
    for (const DnaObservation& observation : dna) {
        w.open(depth, prefix + "OBSERVATION");
        w.leaf(depth + 1, prefix + "OBSERVATIONMARKER", observation.markerName);
        w.leaf(depth + 1, prefix + "OBSERVATIONALLELE", observation.allele1);
        w.leaf(depth + 1, prefix + "OBSERVATIONALLELE", observation.allele2);
        w.close(depth, prefix + "OBSERVATION");
    }
}

// The drawn pedigrees with the persons they are drawn over. Every tag of the
// section is one that readers without it do not know at the top level, so such
// a reader lists the section's lines as unrecognised and reads the rest as before.
void writeCreatedPedigrees(TagWriter& w, const Core& core) {
    w.open(1, "CREATEDPEDIGREES");
    w.open(2, "CREATEDPERSONS");
    for (const Person& person : core.genotypeTable.pedigreePersons) {
        w.open(3, "CREATEDPERSON");
        w.leaf(4, "CREATEDPERSONNAME", person.name);
        w.leaf(4, "CREATEDPERSONGENDER", std::string(person.isMale ? "Male" : "Female"));
        w.open(4, "CREATEDPERSONDNA");
        writeDnaObservations(w, 5, person.dna, "CREATEDDNA");
        w.close(4, "CREATEDPERSONDNA");
        w.close(3, "CREATEDPERSON");
    }
    w.close(2, "CREATEDPERSONS");
    for (const Pedigree& pedigree : core.createdPedigrees) {
        w.open(2, "CREATEDPEDIGREE");
        w.leaf(3, "CREATEDPEDIGREENAME", pedigree.name);
        w.leaf(3, "CREATEDPEDIGREELABEL", pedigree.label);
        for (const Relation& relation : pedigree.relations) {
            w.open(3, "CREATEDRELATION");
            w.leaf(4, "CREATEDRELATIONPARENT", relation.parent);
            w.leaf(4, "CREATEDRELATIONCHILD", relation.child);
            w.close(3, "CREATEDRELATION");
        }
        w.close(2, "CREATEDPEDIGREE");
    }
    w.close(1, "CREATEDPEDIGREES");
}

void writeMutation(TagWriter& w, const char* sex, const MutationSettings& m) {
    const std::string prefix = std::string("MARKER") + sex + "MUTATION";
    w.leaf(4, prefix + "MODEL", m.model);
    w.leaf(4, prefix + "RATE", m.rate);
    w.leaf(4, prefix + "RANGE", m.range);
    w.leaf(4, prefix + "RATE2", m.rate2);
}

void writeHypotheses(TagWriter& w, const Core& core) {
    w.open(1, "HYPOTHESES");
    if (core.mainHypothesis == kCreatedPedigrees) {
        w.leaf(2, "MAINHYPOTHESIS", std::string("CREATED PEDIGREE"));
    } else {
        const int code = core.mainHypothesis >= 0 ? core.mainHypothesis + 1 : 0;
        w.leaf(2, "MAINHYPOTHESIS", catalogueName(code, NameSeparator::Space));
        w.open(2, "ALTERNATIVEHYPOTHESES");
        const std::vector<int> alternatives = catalogueAlternatives(code);
        for (int position : core.alternativeHypotheses) {
            const int alternative =
                position >= 0 && position < static_cast<int>(alternatives.size())
                    ? alternatives[static_cast<size_t>(position)]
                    : 0;
            w.leaf(3, "ALTERNATIVEHYPOTHESIS", catalogueName(alternative, NameSeparator::Space));
        }
        w.close(2, "ALTERNATIVEHYPOTHESES");
    }
    w.close(1, "HYPOTHESES");
}

}  // namespace

std::string escapeProjectText(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else if (byte < 0x20 && c != '\t')
            escaped += "&#" + std::to_string(byte) + ";";
        else
            escaped += c;
    }
    return escaped;
}

void writeProjectDocument(const Core& core, std::ostream& out) {
    TagWriter w(out, 6);
    w.open(0, "RELATIX");
    w.leaf(1, "VERSION", core.softwareVersion);
    w.open(1, "GENERAL");
    w.leaf(2, "NEWALLELEFREQUENCY", core.clusterDatabase.newAlleleFrequency);
    w.leaf(2, "ACTIVEPOPULATION", core.activePopulation);
    w.leaf(2, "MUTATIONSOFF", std::string(core.mutationsOff ? "Yes" : "No"));
    w.close(1, "GENERAL");

    w.open(1, "ADVANCED");
    w.open(2, "PEDIGREESETTINGS");
    for (int code = 1; code <= kCatalogueCount; ++code) {
        const size_t i = static_cast<size_t>(code - 1);
        w.open(3, "PEDIGREE");
        w.leaf(4, "PEDIGREENAME", catalogueName(code, NameSeparator::Space));
        w.leaf(4, "PEDIGREETHRESHOLD", core.pedigreeSettings.threshold[i]);
        w.leaf(4, "PEDIGREESTEPS", static_cast<double>(core.pedigreeSettings.steps[i]));
        w.leaf(4, "PEDIGREELUMPALLELES",
               std::string(core.pedigreeSettings.lumpAlleles[i] ? "Yes" : "No"));
        w.close(3, "PEDIGREE");
    }
    w.close(2, "PEDIGREESETTINGS");
    w.close(1, "ADVANCED");

    w.setDigits(10);
    w.open(1, "MARKERS");
    for (const Marker& marker : core.markerMap.markers) {
        w.open(2, "MARKER");
        w.leaf(3, "MARKERNAME", marker.name);
        w.leaf(3, "MARKERCHROMOSOME", marker.chromosome);
        w.leaf(3, "MARKERPOSITION", marker.position);
        w.open(3, "MARKERMUTATIONSETTINGS");
        writeMutation(w, "MALE", marker.maleMutation);
        writeMutation(w, "FEMALE", marker.femaleMutation);
        w.close(3, "MARKERMUTATIONSETTINGS");
        w.close(2, "MARKER");
    }
    w.close(1, "MARKERS");

    w.open(1, "POPULATIONS");
    for (const Population& population : core.populations) {
        w.open(2, "POPULATION");
        w.leaf(3, "POPULATIONNAME", population.name);
        w.leaf(3, "POPULATIONTHETA", population.theta);
        w.open(3, "POPULATIONMARKERS");
        for (const Marker& marker : population.markers) {
            w.open(4, "POPULATIONMARKER");
            w.leaf(5, "POPULATIONMARKERNAME", marker.name);
            w.open(5, "POPULATIONMARKERALLELES");
            for (const Allele& allele : marker.alleles) {
                w.open(6, "POPULATIONMARKERALLELE");
                w.leaf(7, "POPULATIONMARKERALLELENAME", allele.name);
                w.leaf(7, "POPULATIONMARKERALLELEFREQUENCY", allele.frequency);
                w.close(6, "POPULATIONMARKERALLELE");
            }
            w.close(5, "POPULATIONMARKERALLELES");
            w.close(4, "POPULATIONMARKER");
        }
        w.close(3, "POPULATIONMARKERS");
        w.close(2, "POPULATION");
    }
    w.close(1, "POPULATIONS");

    writeHypotheses(w, core);

    w.open(1, "PERSONS");
    int id = 0;
    for (const Person& person : core.persons) {
        w.open(2, "PERSON");
        w.leaf(3, "PERSONNAME", person.name);
        w.leaf(3, "PERSONID", ++id);
        w.leaf(3, "PERSONGENDER", std::string(person.isMale ? "Male" : "Female"));
        w.open(3, "PERSONDNA");
        writeDnaObservations(w, 4, person.dna, "DNA");
        w.close(3, "PERSONDNA");
        w.close(2, "PERSON");
    }
    w.close(1, "PERSONS");
    if (core.mainHypothesis == kCreatedPedigrees) writeCreatedPedigrees(w, core);
    w.close(0, "RELATIX");
}

bool isProjectFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string first;
    if (!in || !std::getline(in, first)) return false;
    if (!first.empty() && first.back() == '\r') first.pop_back();
    return first == "<RELATIX>";
}

bool mayWriteProjectTo(const std::string& path, UserInterface& ui) {
    std::error_code error;
    if (!std::filesystem::exists(path, error) || isProjectFile(path)) return true;
    // An empty file holds nothing to lose.
    if (std::filesystem::is_regular_file(path, error) &&
        std::filesystem::file_size(path, error) == 0)
        return true;
    const std::string name = std::filesystem::path(path).filename().string();
    return ui.messageBox(name +
                             " is not a Relatix project file. Saving the project replaces it "
                             "with the project file. Replace it?",
                         "Warning", MessageButtons::YesNo, MessageIcon::Warning) == Answer::Yes;
}

bool saveProject(const Core& core, const std::string& path, UserInterface& ui) {
    std::string reason;
    const AtomicWriteStatus status = writeFileAtomically(
        path, [&](std::ostream& out) { writeProjectDocument(core, out); }, &reason);
    if (status == AtomicWriteStatus::Written) return true;
    // A file that could be created but not written whole (a full disk) names the
    // system's reason; the file on disk is as it was.
    const std::string message = status == AtomicWriteStatus::CannotCreate
                                    ? std::string(kCannotWriteProjectMessage)
                                    : "Could not write the project file " + path +
                                          (reason.empty() ? std::string() : ": " + reason) +
                                          "; the file on disk is as it was";
    ui.messageBox(message, kApplicationTitle, MessageButtons::Ok, MessageIcon::Error);
    return false;
}

}  // namespace relatix
