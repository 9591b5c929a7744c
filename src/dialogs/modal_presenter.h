// A presenter of a modal dialog that closes itself from one of its commands. The
// front end runs its modal loop until closed() turns true and then returns
// result() from UserInterface::runDialog. A command that leaves the dialog open
// simply returns with closed() still false.
#pragma once

#include "platform/presenter.h"
#include "platform/user_interface.h"

namespace relatix {

class ModalPresenter : public Presenter {
public:
    bool closed() const { return closed_; }
    DialogResult result() const { return result_; }
    // Makes a long-lived dialog ready to be shown again after it closed, with the
    // result it gives when it is closed from the window frame.
    void reopen(DialogResult initial = DialogResult::Cancel) {
        closed_ = false;
        result_ = initial;
    }

protected:
    void closeWith(DialogResult result) {
        closed_ = true;
        result_ = result;
    }

private:
    bool closed_ = false;
    DialogResult result_ = DialogResult::Cancel;
};

}  // namespace relatix
