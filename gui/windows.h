// The windows of the dialog presenters, registered by presenter class.
#pragma once

namespace relatix {

class WindowRegistry;

void registerHelpWindows(WindowRegistry& registry);
void registerCaseWindows(WindowRegistry& registry);
void registerMarkerWindows(WindowRegistry& registry);
void registerSettingsWindows(WindowRegistry& registry);
void registerQuickWindows(WindowRegistry& registry);
void registerResultWindows(WindowRegistry& registry);
void registerPopulationWindows(WindowRegistry& registry);

inline void registerWindows(WindowRegistry& registry) {
    registerHelpWindows(registry);
    registerCaseWindows(registry);
    registerMarkerWindows(registry);
    registerSettingsWindows(registry);
    registerQuickWindows(registry);
    registerResultWindows(registry);
    registerPopulationWindows(registry);
}

}  // namespace relatix
