// Base of every dialog presenter: a toolkit-independent model of one dialog
// (its fields, lists and buttons as methods). Front ends bind widgets to it;
// tests drive it directly.
#pragma once

#include <string>

namespace relatix {

class Presenter {
public:
    virtual ~Presenter() = default;
    // The dialog's title, which also identifies it to scripted tests.
    virtual std::string title() const = 0;
};

}  // namespace relatix
