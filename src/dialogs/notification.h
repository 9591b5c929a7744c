// The "Notification" message box the case dialogs use for hints and refusals.
#pragma once

#include <string>

#include "platform/user_interface.h"

namespace relatix {

inline void notifyUser(UserInterface& ui, const std::string& text) {
    ui.messageBox(text, "Notification", MessageButtons::Ok, MessageIcon::Information);
}

}  // namespace relatix
