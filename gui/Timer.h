// Window timers: each timer is a SetTimer of its owner window under an
// identifier of its own, and the owner's WM_TIMER reaches it through Dispatch
// (gui/Surface does that for every form and panel).
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>

#include "gui/Window.h"

namespace zelvane {

// A window timer on an owner window. Interval 0 does not fire; a new interval
// on a running timer starts its period anew. Each timer keeps its own period:
// arming one never moves the next tick of another.
class Timer {
public:
    Timer(Window& owner, UINT interval, bool enabled, std::function<void()> onTimer);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    UINT Interval() const { return interval_; }
    void SetInterval(UINT ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    // Runs the handler as a tick would (the owner calls it on WM_TIMER).
    void Fire();

    // Dispatches WM_TIMER of `owner` to its timer; false when it is not ours.
    static bool Dispatch(HWND owner, UINT_PTR id);

private:
    friend void StartOnOnePhase(std::initializer_list<Timer*> timers);
    friend class TimerProbe;  // the tests' view of the identifier and the periods
    void Update();
    void Arm();
    HWND ownerHandle_;
    UINT interval_;
    bool enabled_;
    std::function<void()> onTimer_;
    UINT_PTR id_;
    bool running_ = false;
    unsigned periodsStarted_ = 0;  // each SetTimer that succeeded
};

// Starts anew, in one moment, the periods of those of `timers` that run, so
// that timers whose intervals divide each other (200 and 1000 ms) fall due
// together and the program wakes once for all of them. Nothing ties them
// afterwards: a timer armed again later (switched on, given a new interval)
// starts a new period for itself alone and leaves the others' ticks alone.
void StartOnOnePhase(std::initializer_list<Timer*> timers);

}  // namespace zelvane
