// The check of an allele typed or imported for a person against the population's
// marker: missing designations, known alleles, and the "New allele!" question for
// alleles the population lacks.
#pragma once

#include <functional>
#include <string>

#include "core/core.h"
#include "core/records.h"

namespace relatix {

class UserInterface;

// Shows "New allele!" for an allele the population's marker lacks; true when the
// user added it. The dialogs layer installs it (installDialogQuestions); without
// one the allele is kept and nothing is added.
using NewAlleleQuestion =
    std::function<bool(UserInterface& ui, Population* population, const std::string& markerName,
                       const std::string& allele)>;
void setNewAlleleQuestion(NewAlleleQuestion question);

// "-", "x", "0" and "N" stand for an allele that was not typed.
bool isMissingAllele(const std::string& text);

// Returns the allele to store for the person: empty for a missing designation,
// otherwise the text itself. A text that the population's marker of that name
// lacks opens "New allele!", which may add it to that marker (a marker is never
// created here); the person keeps the allele whatever the user answers.
// population may be null. Appends a trace to Debug/0Debug_checkAllele.txt when
// the Debug folder exists.
std::string checkAllele(UserInterface& ui, const std::string& allele, const std::string& markerName,
                        Population* population);

// The same against the core's active population.
std::string checkAllele(Core& core, UserInterface& ui, const std::string& allele,
                        const std::string& markerName);

}  // namespace relatix
