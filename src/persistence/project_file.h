// The project file: a line-oriented tagged text with root <RELATIX> that stores
// a case's settings, marker map, populations, catalogue hypotheses and persons.
#pragma once

#include <iosfwd>
#include <string>

namespace relatix {

class Core;
class UserInterface;

inline constexpr const char* kCannotWriteProjectMessage =
    "Could not open output file, check if permissions";
inline constexpr const char* kCreatedPedigreesNotSavedMessage =
    "The pedigrees you have drawn, and the DNA data of their persons, are not stored in the "
    "project file: they will be missing when the project is opened again.";

// Writes the project document of the case to a stream (lines end CR LF).
void writeProjectDocument(const Core& core, std::ostream& out);

// Writes the project file. The previous file at the path is replaced only once
// the new one is complete; on failure the user is told and the old file stays.
// Returns true when the file was written.
bool saveProject(const Core& core, const std::string& path, UserInterface& ui);

// Reads a project file into a Core that resetCore has emptied, then shows the
// import summary. False only when the file cannot be opened.
bool readProjectFile(Core& core, const std::string& path, UserInterface& ui);
// The same for the whole text of a project file that has already been read.
void readProjectText(Core& core, const std::string& text, UserInterface& ui);

}  // namespace relatix
