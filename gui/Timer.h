// Window timers: each on an owner window of ours, dispatched by the owner's
// window procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>

namespace zelvane {

class Window;

// A window timer on an owner surface. Interval 0 does not fire; a new interval
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
    UINT_PTR Id() const { return id_; }
    // How many periods were started so far (each SetTimer that succeeded).
    unsigned PeriodsStarted() const { return periodsStarted_; }

    // Dispatches WM_TIMER of `owner` to its timer; false when it is not ours.
    static bool Dispatch(HWND owner, UINT_PTR id);

private:
    friend void StartOnOnePhase(std::initializer_list<Timer*> timers);
    void Update();
    void Arm();
    Window& owner_;
    HWND ownerHandle_;
    UINT interval_;
    bool enabled_;
    std::function<void()> onTimer_;
    UINT_PTR id_;
    bool running_ = false;
    unsigned periodsStarted_ = 0;
};

// Starts anew, in one moment, the periods of those of `timers` that run, so
// that timers whose intervals divide each other (200 and 1000 ms) fall due
// together and the program wakes once for all of them. Nothing ties them
// afterwards: a timer armed again later (switched on, given a new interval)
// starts a new period for itself alone and leaves the others' ticks alone.
void StartOnOnePhase(std::initializer_list<Timer*> timers);

}  // namespace zelvane
