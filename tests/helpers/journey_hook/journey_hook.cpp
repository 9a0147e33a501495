// A WH_GETMESSAGE hook that the journey driver sets on the program's GUI
// thread: it writes each input message the thread takes (keys, characters,
// mouse, the notification icon's callbacks) to the shared input log, and
// answers the driver's probes with the thread's queue status. It changes
// nothing else.
#include "input_log.h"

namespace {

journey::InputLog* g_log = nullptr;
UINT g_probe = 0;

journey::InputLog* Log() {
    if (!g_log) {
        HANDLE mapping = ::OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, journey::kLogName);
        if (!mapping) return nullptr;
        // Kept for the life of the process, as the mapping is.
        g_log = static_cast<journey::InputLog*>(::MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        g_probe = ::RegisterWindowMessageW(journey::kProbeMessageName);
    }
    return g_log;
}

bool Logged(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
           // Private messages: the notification icon's callback among them.
           (message >= WM_USER && message < 0xC000);
}

void Append(journey::InputLog* log, const journey::Entry& entry) {
    const LONG n = log->count;
    log->entries[n % journey::kLogCapacity] = entry;
    ::InterlockedExchange(&log->count, n + 1);
}

}  // namespace

// Messages sent by another thread: the shell reports to the notification
// icon's window this way.
extern "C" __declspec(dllexport) LRESULT CALLBACK JourneyCallWindowHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && !wp) {
        // wp: whether the current thread sent it.
        auto* msg = reinterpret_cast<CWPSTRUCT*>(lp);
        if (msg->message >= WM_USER && msg->message < 0xC000) {
            if (journey::InputLog* log = Log()) Append(log, {msg->message, msg->wParam, msg->lParam, msg->hwnd});
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK JourneyGetMessageHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lp);
        if (journey::InputLog* log = Log()) {
            if (msg->message == g_probe) {
                // A probe before a screenshot: what the thread has drawn goes to
                // the screen now (Wine does this whenever the thread comes to
                // wait for messages, which may be after the screenshot).
                if (msg->lParam & journey::kProbeFlushes) ::MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
                const LPARAM status = HIWORD(::GetQueueStatus(QS_ALLINPUT));
                Append(log, {msg->message, msg->wParam, status, msg->hwnd});
                msg->message = WM_NULL;
            } else if (Logged(msg->message)) {
                Append(log, {msg->message, msg->wParam, msg->lParam, msg->hwnd});
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}
