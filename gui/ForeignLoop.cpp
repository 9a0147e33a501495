#include "gui/ForeignLoop.h"

#include "gui/FormOwner.h"

namespace zelvane {

namespace {

struct QueueFilter {
    HHOOK hook = nullptr;
    int scopes = 0;
};

QueueFilter& Filter() {
    static QueueFilter filter;
    return filter;
}

LRESULT CALLBACK DropQueuedSentOnly(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lp);
        if (OnlyEverSent(msg->message)) msg->message = WM_NULL;
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

bool OnlyEverSent(UINT message) { return message == WM_DPICHANGED || message == WM_GETOBJECT; }

ForeignLoopScope::ForeignLoopScope() {
    FormOwner::Get().ForgetPressedKeys();
    QueueFilter& f = Filter();
    if (f.scopes++ == 0) {
        f.hook = ::SetWindowsHookExW(WH_GETMESSAGE, &DropQueuedSentOnly, nullptr, ::GetCurrentThreadId());
    }
}

ForeignLoopScope::~ForeignLoopScope() {
    QueueFilter& f = Filter();
    if (--f.scopes == 0 && f.hook) {
        ::UnhookWindowsHookEx(f.hook);
        f.hook = nullptr;
    }
}

}  // namespace zelvane
