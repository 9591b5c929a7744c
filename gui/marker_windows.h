// The windows of the frequency database dialogs: "Edit markers", "Edit allele
// system", "Populations", "New allele!" and "Select systems".
#pragma once

namespace relatix {

class WindowRegistry;

void registerMarkerWindows(WindowRegistry& registry);

}  // namespace relatix
