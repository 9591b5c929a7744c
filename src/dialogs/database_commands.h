// The Import and Export commands shared by "Edit markers" and "Populations".
#pragma once

#include <string>

namespace relatix {

class Core;
class UserInterface;

inline constexpr const char* kEditMarkersImportFilter =
    "Text Files (*.txt)|*.txt|Map Files (*.map)|*.map|Freq Files (*.freq)|*.freq|"
    "Kovarian Files (*.kov)|*.kov|All Files (*.*)|*.*||";
inline constexpr const char* kPopulationsImportFilter =
    "txt/freq files (*.txt;.freq)|*.txt;*.freq|All Files (*.*)|*.*||";
inline constexpr const char* kExportNotice =
    "This will export three files,\n1. Text file with markers, alleles and frequencies\n2. Freq "
    "file with the same as above but different format\n3. Map file with marker positions";

// Asks for one or more files and reads each with the database reader.
// Returns the number of files read successfully.
int importDatabaseFiles(Core& core, UserInterface& ui, const std::string& filter);

// Tells what is written, asks for a file name and exports the active population.
bool exportActivePopulation(Core& core, UserInterface& ui);

}  // namespace relatix
