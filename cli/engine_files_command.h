// relatix2-cli engine-files --ped F --dat F --freq F --map F --map2 F -n N [--seed S]
//                           -o OUT.txt [--scale K] [--json]
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace relatix::cli {

int runEngineFilesCommand(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err);

}  // namespace relatix::cli
