// Save files of earlier Relatix versions (first line "[Save file - Relatix
// Version x]"), read only: generation 1 below version 2.0, generation 2 from 2.0.
#pragma once

#include <string>

namespace relatix {

class Core;
class UserInterface;

// Reads a legacy save file into an emptied Core: the calculation database, the
// analysis persons and the hypotheses as stored. What was read is also taken
// into the marker map, a population named after the file (made active) and the
// persons, so that it lasts through the next calculation and a save.
// False only when the file cannot be read.
bool readLegacySaveFile(Core& core, UserInterface& ui, const std::string& path, double version);

}  // namespace relatix
