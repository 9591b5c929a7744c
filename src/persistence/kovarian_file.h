// Case files of the Kovarian program (".kov"): the frequency database with its
// mutation models is taken into the case as a population; the persons and
// pedigrees of the file are only read past (their DNA records are checked).
#pragma once

#include <string>

namespace relatix {

class Core;
class UserInterface;

// False when the user cancels at the population question, and when the file
// ends inside an item or a DNA record points outside the file's systems or
// their alleles: that is told with the file, the line and the item, and
// nothing of the file is read. Header errors are reported and give true with
// nothing read.
bool readKovarianFile(Core& core, UserInterface& ui, const std::string& path);

}  // namespace relatix
