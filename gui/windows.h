// The windows of the dialog presenters, registered by presenter class.
#pragma once

namespace relatix {

class WindowRegistry;

void registerHelpWindows(WindowRegistry& registry);
void registerCaseWindows(WindowRegistry& registry);

inline void registerWindows(WindowRegistry& registry) {
    registerHelpWindows(registry);
    registerCaseWindows(registry);
}

}  // namespace relatix
