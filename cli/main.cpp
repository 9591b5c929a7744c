#include <iostream>

#include "commands.h"

int main(int argc, char** argv) { return relatix::cli::run(argc, argv, std::cout, std::cerr); }
