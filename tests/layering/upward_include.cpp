// Compiled with the include roots of the core layer only: the include of a
// presenter from the dialogs layer, above core, must not compile.
#include "core/core.h"
#include "dialogs/modal_presenter.h"

int main() {
    return 0;
}
