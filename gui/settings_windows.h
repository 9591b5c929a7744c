// The windows of the pedigree editor ("Edit pedigree", "Add persons", "Full
// image") and of the settings and tool dialogs ("Options", "Advanced settings",
// "Mutations", "Conversion", "Import options").
#pragma once

namespace relatix {

class WindowRegistry;

void registerSettingsWindows(WindowRegistry& registry);

}  // namespace relatix
