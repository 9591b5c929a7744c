// Compiled with the include roots of the core layer only: its own headers and
// those of the platform layer below it compile.
#include "core/core.h"
#include "platform/user_interface.h"

int main() {
    return 0;
}
