#include "app/help_dialogs.h"

#include "platform/user_interface.h"

namespace relatix {

void HowToCitePresenter::selectFormat(int index) {
    if (index >= 0 && index < static_cast<int>(formats_.size())) selected_ = index;
}

void HowToCitePresenter::exportReference() {
    ui_.messageBox("Not available yet", "Notification", MessageButtons::Ok,
                   MessageIcon::Information);
}

}  // namespace relatix
