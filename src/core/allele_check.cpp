#include "core/allele_check.h"

#include <algorithm>
#include <vector>

#include "core/frequency_database.h"
#include "platform/trace_file.h"
#include "platform/user_interface.h"

namespace relatix {

namespace {

NewAlleleQuestion& newAlleleQuestion() {
    static NewAlleleQuestion question;
    return question;
}

}  // namespace

void setNewAlleleQuestion(NewAlleleQuestion question) {
    newAlleleQuestion() = std::move(question);
}

bool isMissingAllele(const std::string& text) {
    return text == "-" || text == "x" || text == "0" || text == "N";
}

std::string checkAllele(UserInterface& ui, const std::string& allele, const std::string& markerName,
                        Population* population) {
    TraceFile trace("checkAllele", true);
    trace << "Checking alleles\r\n" << allele << "\r\n";
    if (isMissingAllele(allele)) return {};

    const std::vector<std::string> known =
        population ? alleleNames(*population, markerName) : std::vector<std::string>{};
    trace << "System: " << markerName << "\r\n"
          << "Looping system alleles\r\n"
          << "Found alleles\r\n";
    for (const std::string& name : known) trace << name << "\r\n";
    if (std::find(known.begin(), known.end(), allele) != known.end()) return allele;

    const bool added =
        newAlleleQuestion() && newAlleleQuestion()(ui, population, markerName, allele);
    trace << (added ? "New allele added\r\n" : "New allele not added\r\n");
    return allele;
}

std::string checkAllele(Core& core, UserInterface& ui, const std::string& allele,
                        const std::string& markerName) {
    return checkAllele(ui, allele, markerName, core.populationAt(core.activePopulation));
}

}  // namespace relatix
