// Where the pictures of pedigrees come from: the relationship pictures
// "Pictures/ped<code>.png" below the program folder and the PNG plots of created
// pedigrees. Dialogs show a picture only when its file exists, so every function
// here yields "" for a file that is not there and the front end never loads a
// missing picture.
#pragma once

#include <string>

namespace relatix {

class Core;

// The relationship picture of a catalogue code, existing or not.
std::string cataloguePicturePath(const Core& core, int code);
// The PNG plot of the created pedigree at a 1-based position, existing or not;
// "" when there is no such pedigree or the case has never been saved.
std::string createdPedigreePicturePath(const Core& core, int pedigree);

// The path itself when a file exists there, else "".
std::string existingPicture(const std::string& path);

}  // namespace relatix
