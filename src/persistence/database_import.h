// The Import command of the frequency-database dialogs: each chosen file goes to
// the reader of its kind, and a single-system text database is read here.
#pragma once

#include <string>

namespace relatix {

class Core;
class UserInterface;

inline constexpr const char* kReplaceDatabaseQuestion =
    "This will replace the current database, continue?";

// ".freq" and ".map" files (by the end of the name, case-sensitive) go to their
// readers, ".kov" files and files with the Kovarian header to readKovarianFile;
// anything else is a single-system text database. The systems chosen from a text
// database replace the calculation database and, so that the next calculation
// keeps them, become the active population (named after the file).
bool readDatabase(Core& core, UserInterface& ui, const std::string& path);

}  // namespace relatix
