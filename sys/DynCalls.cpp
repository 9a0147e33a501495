#include "sys/DynCalls.h"

#include "sys/SystemLibrary.h"

namespace zelvane::dyn {
namespace {

const wchar_t* LibraryName(Lib lib) {
    switch (lib) {
    case Lib::Kernel32: return L"kernel32.dll";
    case Lib::Ntdll: return L"ntdll.dll";
    case Lib::Psapi: return L"PSAPI.dll";
    case Lib::Shell32: return L"shell32.dll";
    case Lib::Comdlg32: return L"comdlg32.dll";
    case Lib::Version: return L"version.dll";
    case Lib::User32: return L"user32.dll";
    case Lib::Oleacc: return L"oleacc.dll";
    case Lib::Ole32: return L"ole32.dll";
    case Lib::Oleaut32: return L"oleaut32.dll";
    case Lib::Shcore: return L"shcore.dll";
    case Lib::kCount: break;
    }
    return nullptr;
}

// The library, loaded at its first use that succeeds and never freed; null
// while it cannot be loaded.
HMODULE Module(Lib lib) {
    static HMODULE modules[static_cast<int>(Lib::kCount)] = {};
    HMODULE& module = modules[static_cast<int>(lib)];
    if (!module) module = LoadSystemLibrary(LibraryName(lib));
    return module;
}

// One function, bound once its library is there.
template <typename Fn>
Fn Bind(Fn& bound, bool& done, Lib lib, const char* name) {
    if (!done) {
        const HMODULE module = Module(lib);
        if (!module) return nullptr;
        // Through a plain function pointer type: GetProcAddress's FARPROC
        // matches no real signature.
        bound = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
        done = true;
    }
    return bound;
}

}  // namespace

// #name is the name as written in the list, before <psapi.h>'s renaming.
#define ZELVANE_DYN_DEFINE(lib, name, type)              \
    type name() {                                        \
        static type bound = nullptr;                     \
        static bool done = false;                        \
        return Bind(bound, done, Lib::lib, #name);       \
    }
ZELVANE_DYN_CALLS(ZELVANE_DYN_DEFINE)
#undef ZELVANE_DYN_DEFINE

}  // namespace zelvane::dyn
