// merlinEngine: per-family log-likelihoods of linked marker data in LINKAGE files.
#include <iostream>
#include <string>
#include <vector>

#include "engine.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return merlin::runEngine(args, std::cout, std::cerr);
}
