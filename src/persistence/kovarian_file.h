// Case files of the Kovarian program (".kov"): the frequency database with its
// mutation models is taken into the case as a population; the persons and
// pedigrees of the file are only read past (their DNA records are checked).
#pragma once

#include <string>

namespace relatix {

class Core;
class UserInterface;

// False only when the user cancels at the population question; format errors
// are reported and give true with nothing read.
bool readKovarianFile(Core& core, UserInterface& ui, const std::string& path);

}  // namespace relatix
