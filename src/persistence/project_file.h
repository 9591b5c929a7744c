// The project file: a line-oriented tagged text with root <RELATIX> that stores
// a case's settings, marker map, populations, hypotheses (catalogue ones, or the
// pedigrees drawn by the user with their persons) and persons.
#pragma once

#include <iosfwd>
#include <string>

namespace relatix {

class Core;
class UserInterface;

inline constexpr const char* kCannotWriteProjectMessage =
    "Could not open output file, check if permissions";

// Every text the writer puts between two tags is escaped, so that a name may hold
// any byte: "&" becomes "&amp;", "<" "&lt;", ">" "&gt;", and a control character
// other than the tab (a line break above all) becomes a numeric reference such as
// "&#10;". Quotes, tabs and bytes from 128 up (the 8-bit code page) are written
// as they are. Reading turns "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" and the
// numeric references "&#N;" and "&#xH;" of the bytes 0 to 255 back; an "&" that
// starts none of them is read as itself, so files written before escaping, which
// hold no references, read as they always did.
std::string escapeProjectText(const std::string& text);
std::string unescapeProjectText(const std::string& text);

// Writes the project document of the case to a stream (lines end CR LF).
void writeProjectDocument(const Core& core, std::ostream& out);

// Writes the project file. The previous file at the path is replaced only once
// the new one is complete; on failure the user is told and the old file stays.
// Returns true when the file was written.
bool saveProject(const Core& core, const std::string& path, UserInterface& ui);

// Whether the file at the path is a project file (its first line is <RELATIX>).
bool isProjectFile(const std::string& path);
// Before a project is written over an existing file that is not a project file
// (a Kovarian case file, a legacy save file, anything else), asks whether to
// replace it. True when the path may be written: no file there, a project file,
// or the user said Yes.
bool mayWriteProjectTo(const std::string& path, UserInterface& ui);

// Reads a project file into a Core that resetCore has emptied, then shows the
// import summary. False only when the file cannot be opened.
bool readProjectFile(Core& core, const std::string& path, UserInterface& ui);
// The same for the whole text of a project file that has already been read.
void readProjectText(Core& core, const std::string& text, UserInterface& ui);

}  // namespace relatix
