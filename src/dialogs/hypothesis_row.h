// One entry of the hypothesis selection lists: a catalogue relationship or a
// created pedigree, with its name and the picture to show beside it.
#pragma once

#include <string>

namespace relatix {

struct HypothesisRow {
    std::string name;
    std::string picturePath;  // "" when there is no picture file to show
    int code = 0;             // catalogue code 1..26; 0 for a created pedigree
    bool createdPedigree() const { return code == 0; }
};

}  // namespace relatix
