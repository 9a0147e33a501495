// One small non-copyable owner per kind of Win32 handle. Each kind counts its
// live objects, so that a long run can prove that nothing leaks. The kernel
// kinds are here; the GUI kinds (GDI objects, icons, menus, DCs, image lists)
// are in gui/Handles.h.
#pragma once

#include <windows.h>

#include <utility>

namespace zelvane {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type h) : h_(h) {
        if (Valid()) ++live_;
    }
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            h_ = std::exchange(other.h_, Traits::Invalid());
        }
        return *this;
    }

    Type Get() const { return h_; }
    bool Valid() const { return h_ != Traits::Invalid() && h_ != Type{}; }
    explicit operator bool() const { return Valid(); }

    void Reset(Type h = Traits::Invalid()) {
        if (Valid()) {
            Traits::Close(h_);
            --live_;
        }
        h_ = h;
        if (Valid()) ++live_;
    }
    Type Release() {
        if (Valid()) --live_;
        return std::exchange(h_, Traits::Invalid());
    }

    // Number of handles of this kind that are open right now.
    static long LiveCount() { return live_; }

private:
    Type h_ = Traits::Invalid();
    static inline long live_ = 0;
};

// A kind of handle: its type, the function that closes it, and whether
// failure is reported as INVALID_HANDLE_VALUE (snapshots, files, searches)
// rather than as null.
template <typename T, auto CloseFn, bool InvalidIsMinusOne = false>
struct HandleTraits {
    using Type = T;
    static Type Invalid() {
        if constexpr (InvalidIsMinusOne) {
            return INVALID_HANDLE_VALUE;
        } else {
            return nullptr;
        }
    }
    static void Close(Type h) { CloseFn(h); }
};

using KernelHandle = UniqueHandle<HandleTraits<HANDLE, &::CloseHandle>>;
using FileHandle = UniqueHandle<HandleTraits<HANDLE, &::CloseHandle, true>>;
using RegKey = UniqueHandle<HandleTraits<HKEY, &::RegCloseKey>>;
using Library = UniqueHandle<HandleTraits<HMODULE, &::FreeLibrary>>;
using FindHandle = UniqueHandle<HandleTraits<HANDLE, &::FindClose, true>>;

}  // namespace zelvane
