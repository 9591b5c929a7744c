#include <iostream>

#include "commands.h"
#include "platform/process_runner.h"

int main(int argc, char** argv) {
    // An interrupt ends the engine a command is waiting for; the command then
    // returns and its work folders are removed on the way out.
    relatix::installInterruptHandling();
    const int status = relatix::cli::run(argc, argv, std::cout, std::cerr);
    if (relatix::interrupted()) {
        std::cerr << "relatix2-cli: interrupted\n";
        return 128 + relatix::interruptSignal();
    }
    return status;
}
