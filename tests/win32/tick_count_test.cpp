#include <windows.h>

#include <gtest/gtest.h>

// The import slot that sys/TickCount64.cpp defines for the runtime.
extern "C" ULONGLONG(WINAPI* tickCount64Slot)() __asm__("__imp__GetTickCount64@0");

// A call through the slot binds the system's own GetTickCount64 (Wine, like
// Vista and later, has one) and counts as it does.
TEST(TickCount64, TheRuntimesSlotBindsTheSystemsFunction) {
    using Fn = ULONGLONG(WINAPI*)();
    const auto system = reinterpret_cast<Fn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    ASSERT_NE(nullptr, system);
    const ULONGLONG before = system();
    const ULONGLONG count = ::GetTickCount64();
    const ULONGLONG after = system();
    EXPECT_LE(before, count);
    EXPECT_LE(count, after);
    EXPECT_EQ(system, tickCount64Slot);
}
