#include "gui/Timer.h"

#include <map>
#include <utility>

#include "gui/Window.h"

namespace zelvane {

namespace {
std::map<std::pair<HWND, UINT_PTR>, Timer*>& TimerTable() {
    static std::map<std::pair<HWND, UINT_PTR>, Timer*> table;
    return table;
}
UINT_PTR NextTimerId() {
    static UINT_PTR next = 100;
    return ++next;
}
}  // namespace

Timer::Timer(Window& owner, UINT interval, bool enabled, std::function<void()> onTimer)
    : owner_(owner), ownerHandle_(owner.Handle()), interval_(interval), enabled_(enabled), onTimer_(std::move(onTimer)), id_(NextTimerId()) {
    TimerTable()[{ownerHandle_, id_}] = this;
    Update();
}

Timer::~Timer() {
    if (running_ && ::IsWindow(ownerHandle_)) ::KillTimer(ownerHandle_, id_);
    TimerTable().erase({ownerHandle_, id_});
}

void Timer::SetInterval(UINT ms) {
    if (ms == interval_) return;
    interval_ = ms;
    Update();
}

void Timer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    Update();
}

void Timer::Update() {
    HWND h = ownerHandle_;
    if (running_) {
        ::KillTimer(h, id_);
        running_ = false;
    }
    if (enabled_ && interval_ > 0 && h) Arm();
}

void Timer::Arm() {
    // SetTimer with the identifier of a running timer starts its period anew.
    running_ = ::SetTimer(ownerHandle_, id_, interval_, nullptr) != 0;
    if (running_) ++periodsStarted_;
}

void StartOnOnePhase(std::initializer_list<Timer*> timers) {
    for (Timer* t : timers) {
        if (t->running_) t->Arm();
    }
}

void Timer::Fire() {
    if (onTimer_) onTimer_();
}

bool Timer::Dispatch(HWND owner, UINT_PTR id) {
    auto& t = TimerTable();
    auto it = t.find({owner, id});
    if (it == t.end()) return false;
    it->second->Fire();
    return true;
}

}  // namespace zelvane
