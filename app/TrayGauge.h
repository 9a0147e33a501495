// The CPU indicator on the notification-area icon: one tick samples the load
// and sets the icon's image and hint.
#pragma once

#include <functional>

#include "app/TrayIcon.h"
#include "cpu/LoadIndicator.h"

namespace zelvane {

class TrayGauge {
public:
    // One tick. The icon is asked for only when the tick has something to
    // show (it may be created then). A failing tick still shows what it set
    // before the failure; its error is reported in a box, one box at a time:
    // ticks that fail while it is open are not reported again.
    void Tick(LoadSampler& sampler, const std::function<TJvTrayIcon&()>& icon);

private:
    bool errorShown_ = false;
};

}  // namespace zelvane
